#include "sound/block_fill.h"

#include <algorithm>

#include "sound/wave_format.h"

namespace placarim::sound {

size_t FinishBlock(std::span<uint8_t> block, size_t count, const platform::AudioFormat& format) {
  const size_t length = std::max(count, kMinBlockLength);
  // Every format is padded with its own silence: a stale tail of the previous
  // sound in this block would otherwise be heard.
  std::fill(block.begin() + count, block.begin() + length, SilenceByte(format.bits));
  const bool mono8 = format.channels == 1 && format.bits == 8;
  if (mono8 && count > 0 && count != kBlockSize) block[count - 1] = 128;
  return length;
}

const char* UnprepareErrorText(int code) {
  switch (code) {
    case 5: return "Specified device handle is invalid.";
    case 6: return "No device driver is present.";
    case 7: return "Unable to allocate or lock memory.";
    case 33: return "The data block pointed to by the pwh parameter is still in queue";
    default: return "";
  }
}

}  // namespace placarim::sound
