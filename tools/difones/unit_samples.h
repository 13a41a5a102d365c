// From espeak-ng's 16-bit speech to the database's 8-bit unsigned samples at
// 11,025 Hz: a band-limited rate conversion of the whole utterance, then
// units cut out of it where neighbours will meet in steady sound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace placarim::difones {

constexpr int kUnitRate = 11025;

// The whole utterance at 11,025 Hz, through libsamplerate's best sinc
// converter: nothing above 5.5 kHz folds back into the sibilants.
std::vector<float> ToUnitRate(const std::vector<int16_t>& samples, int sample_rate);

// The nearest rising zero crossing to `at` within `reach` samples (`at`
// itself when there is none): a unit cut there starts and ends near the
// middle line, so two units meet without a step.
size_t NearestRisingCrossing(const std::vector<float>& s, size_t at, size_t reach);

// An end near `end` (up to 12 ms before it, 6 ms after) on a rising zero
// crossing where the sound `trim` samples before it is nearest the middle
// line too, so the unit ends without a step whether it is played whole or
// trimmed.
size_t EndForTrim(const std::vector<float>& s, size_t end, size_t trim);

// Samples [begin, end) as 8-bit unsigned, with fades of `fade` samples at
// each end: just enough to stop a click, not a dip between units.
std::vector<uint8_t> ToUnitBytes(const std::vector<float>& s, size_t begin, size_t end, size_t fade);

// The share of the energy of a band-limited noise above 5.6 kHz at
// 22,050 Hz that the conversion leaves (as alias) at 11,025 Hz, in dB.
double AliasEnergyDb(bool use_library);

}  // namespace placarim::difones
