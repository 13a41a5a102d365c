// Feeds arbitrary bytes to the tone player's RIFF/WAVE image reader: it must
// never read outside the image, and what it finds must describe bytes that
// are really there in a format that can be played.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/audio/wave_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> image(data, size);
  const auto wave = placarim::platform::audio::ReadWaveImage(image);
  if (!wave) return 0;
  if (wave->samples.data() < data || wave->samples.data() + wave->samples.size() > data + size) std::abort();
  if (wave->format.channels == 0 || wave->format.rate == 0) std::abort();
  if (wave->format.bits != 8 && wave->format.bits != 16) std::abort();
  uint32_t sum = 0;  // touch every sample so the sanitizer checks the span
  for (const uint8_t b : wave->samples) sum += b;
  return static_cast<int>(sum & 0);
}
