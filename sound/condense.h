// Condensing: speech made shorter without raising its pitch, by dropping one
// of every two pitch periods of mono sound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace placarim::sound {

// Where the pitch search starts, the shortest pitch period it assumes and the
// width of the window in which it looks for the next period's peak, in samples.
struct CondenseParams {
  size_t start;
  size_t min_period;
  size_t window;
  friend bool operator==(const CondenseParams&, const CondenseParams&) = default;
};

// (200, 80, 50) at 11,025 samples per second, four times that at any other
// rate (the rate is the one the device plays at, after any speed-up).
CondenseParams CondenseParamsForRate(uint32_t rate);

// Turns signed 16-bit little-endian samples into unsigned 8-bit ones in place
// (the high byte with its top bit inverted); returns the new byte count.
size_t ConvertToUnsigned8(std::span<uint8_t> samples16);

// Condenses a mono piece in place and returns its new length in bytes; the
// piece comes out as 8-bit samples whatever `bits` was. Pieces shorter than
// 1,000 samples are only converted.
size_t CondenseMono(std::span<uint8_t> samples, uint16_t bits, uint32_t rate);

}  // namespace placarim::sound
