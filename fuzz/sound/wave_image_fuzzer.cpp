// Feeds arbitrary bytes, as an in-memory wave image, through the image walker
// and the block preparation of every piece.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/block_fill.h"
#include "sound/condense.h"
#include "sound/riff_walker.h"
#include "sound/wave_format.h"

using namespace placarim::sound;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> image(data, size);
  const auto found = FindImageSamples(image);
  if (!found) return 0;
  const auto& samples = found->samples;
  if (samples.data() < data || samples.data() + samples.size() > data + size) std::abort();

  std::vector<uint8_t> block(kBlockSize);
  for (size_t at = 0; at < samples.size(); at += kBlockSize) {
    const auto piece = samples.subspan(at, std::min(kBlockSize, samples.size() - at));
    std::copy(piece.begin(), piece.end(), block.begin());
    size_t count = piece.size();
    // Both parameter sets: the voice rate and any other.
    for (uint32_t rate : {11025u, found->format.rate}) {
      std::copy(piece.begin(), piece.end(), block.begin());
      count = CondenseMono({block.data(), piece.size()}, found->format.bits, rate);
      if (count > piece.size()) std::abort();
    }
    if (FinishBlock(block, count, {found->format.rate, 8, 1}) < kMinBlockLength) std::abort();
  }
  return 0;
}
