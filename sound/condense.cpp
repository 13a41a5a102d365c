#include "sound/condense.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace placarim::sound {
namespace {

constexpr uint32_t kVoiceRate = 11025;
constexpr size_t kMinCondensed = 1000;
// The tail after the last kept period runs on until the sound is this close
// to the silence level, so the piece does not end on a click.
constexpr int kQuietEnough = 20;

// Position of the largest sample in [from, to] (cut to the piece), the first
// on ties. A window of equal samples (all zero, say) yields its first position,
// so the search always moves forward.
size_t PeakIn(std::span<const uint8_t> s, size_t from, size_t to) {
  const size_t last = std::min(to, s.size() - 1);
  size_t best = std::min(from, last);
  for (size_t i = best + 1; i <= last; ++i) {
    if (s[i] > s[best]) best = i;
  }
  return best;
}

}  // namespace

CondenseParams CondenseParamsForRate(uint32_t rate) {
  if (rate == kVoiceRate) return {200, 80, 50};
  return {800, 320, 200};
}

size_t ConvertToUnsigned8(std::span<uint8_t> samples16) {
  const size_t count = samples16.size() / 2;
  for (size_t i = 0; i < count; ++i) samples16[i] = samples16[2 * i + 1] ^ 0x80;
  return count;
}

size_t CondenseMono(std::span<uint8_t> samples, uint16_t bits, uint32_t rate) {
  size_t length = samples.size();
  if (bits == 16) length = ConvertToUnsigned8(samples);
  if (length < kMinCondensed) return length;
  const std::span<uint8_t> s = samples.first(length);
  const CondenseParams p = CondenseParamsForRate(rate);
  const size_t reach = 2 * (p.min_period + p.window);

  // `base` is the peak that ends the last kept period; `next` the first
  // sample not yet taken; `write` where the kept sound continues.
  const size_t first_peak = PeakIn(s, p.start, p.start + p.min_period + p.window);
  size_t write = first_peak;
  size_t base = first_peak;
  size_t next = first_peak;
  while (length > reach && base < length - reach) {
    const size_t a = PeakIn(s, base + p.min_period, base + p.min_period + p.window);
    const size_t b = PeakIn(s, a + p.min_period, a + p.min_period + p.window);
    const size_t kept = b - a + 1;
    std::memmove(&s[write], &s[a], kept);
    write += kept;
    base = b;
    next = b + 1;
  }
  while (next < length && write > 0 && std::abs(int{s[write - 1]} - 128) > kQuietEnough) {
    s[write++] = s[next++];
  }
  return write;
}

}  // namespace placarim::sound
