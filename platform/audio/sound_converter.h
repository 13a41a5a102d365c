// Sound in any wave format turned into the audio device's one fixed format by
// SDL's converter. Each block is converted whole when it is written: SDL
// 2.26's streaming converter holds small pieces back until it is flushed and
// loses sound when handed large ones, so every block is fed in small pieces
// and flushed. Main thread only.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "platform/platform.h"

namespace placarim::platform::audio {

// The device side: SDL's sample format, rate and channels.
struct OutputFormat {
  SDL_AudioFormat format = AUDIO_S16SYS;
  int rate = 48000;
  int channels = 2;
  int FrameBytes() const { return SDL_AUDIO_BITSIZE(format) / 8 * channels; }
  uint8_t Silence() const { return format == AUDIO_U8 ? 0x80 : 0; }
  friend bool operator==(const OutputFormat&, const OutputFormat&) = default;
};

// SDL's sample format for wave data of `bits` (little-endian; 8-bit is
// unsigned); 0 when there is none.
SDL_AudioFormat SdlFormatOf(uint16_t bits);

// `samples` in the output format; empty when SDL cannot convert them.
std::vector<uint8_t> ConvertSound(const AudioFormat& source, std::span<const uint8_t> samples,
                                  const OutputFormat& output);

class BlockConverter {
 public:
  // The format of the blocks that follow; false when SDL cannot convert it.
  bool SetSource(const AudioFormat& source, const OutputFormat& output);
  // Block `id` in the output format: `data` itself when it is already in it,
  // else a buffer kept until block `id` is converted again (the caller keeps
  // an id until the device has reported the block done).
  // A frame may straddle two blocks (65,534-byte blocks of 16-bit stereo): its
  // first part waits for the next block.
  std::span<const uint8_t> Convert(int id, std::span<const uint8_t> data);
  // The next block starts a new sound.
  void DropPartialFrame() { partial_.clear(); }

 private:
  AudioFormat source_;
  OutputFormat output_;
  bool same_ = false;
  std::vector<uint8_t> partial_;
  std::map<int, std::vector<uint8_t>> converted_;
};

}  // namespace placarim::platform::audio
