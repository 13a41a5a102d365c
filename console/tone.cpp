#include "console/tone.h"

#include <algorithm>
#include <cstddef>

namespace placarim::console {
namespace {

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutTag(std::vector<uint8_t>& out, size_t at, const char (&tag)[5]) {
  std::copy(tag, tag + 4, out.begin() + static_cast<ptrdiff_t>(at));
}

}  // namespace

std::vector<uint8_t> MakeToneImage(uint16_t frequency) {
  const int f = std::clamp<int>(frequency, 1, kToneRate);
  const int period = kToneRate / f;
  const auto start = [f](int n) { return static_cast<int>(int64_t{n} * kToneRate / f); };

  std::vector<uint8_t> samples;
  int n = 0;
  // Whole periods only, stopping short of the buffer's end.
  while (start(n) + 44 <= kToneRate - period) {
    const int next = start(n + 1);
    for (int s = start(n); s < next; ++s) samples.push_back(s - start(n) < period / 2 ? 96 : 160);
    ++n;
  }
  const int end = start(n);
  samples.resize(static_cast<size_t>(end));
  if (end > 0) samples.back() = 128;  // end on silence so the loop does not click

  std::vector<uint8_t> image(44 + samples.size());
  PutTag(image, 0, "RIFF");
  Put32(image, 4, static_cast<uint32_t>(end + 36));
  PutTag(image, 8, "WAVE");
  PutTag(image, 12, "fmt ");
  Put32(image, 16, 16);
  Put16(image, 20, 1);  // PCM
  Put16(image, 22, 1);  // mono
  Put32(image, 24, kToneRate);
  Put32(image, 28, kToneRate);
  Put16(image, 32, 1);
  Put16(image, 34, 8);
  PutTag(image, 36, "data");
  Put32(image, 40, static_cast<uint32_t>(end));
  std::copy(samples.begin(), samples.end(), image.begin() + 44);
  return image;
}

}  // namespace placarim::console
