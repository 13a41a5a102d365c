#include "sound/wave_format.h"

namespace placarim::sound {

bool IsPlayableFormat(const platform::AudioFormat& format) {
  const bool channels_ok = format.channels == 1 || format.channels == 2;
  const bool bits_ok = format.bits == 8 || format.bits == 16;
  const bool rate_ok = format.rate >= kMinRate && format.rate <= kMaxRate;
  return channels_ok && bits_ok && rate_ok;
}

uint8_t SilenceByte(uint16_t bits) { return bits == 8 ? 128 : 0; }

uint64_t SpeedUpRate(uint32_t rate) {
  const uint64_t triple = uint64_t{rate} * 3;
  uint64_t result = triple / 2;
  const bool exactly_half = (triple % 2) != 0;
  if (exactly_half && (result % 2) != 0) ++result;
  return result;
}

}  // namespace placarim::sound
