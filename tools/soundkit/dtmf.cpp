#include "tools/soundkit/dtmf.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

namespace placarim::soundkit {
namespace {

constexpr double kRows[] = {697.0, 770.0, 852.0, 941.0};
constexpr double kColumns[] = {1209.0, 1336.0, 1477.0, 1633.0};
// The keypad, row by row; the key's position gives its two frequencies.
constexpr std::string_view kKeypad = "123A456B789C*0#D";

constexpr double kRampSeconds = 0.005;
constexpr double kAmplitudePerTone = 0.42;

}  // namespace

std::optional<DtmfPair> DtmfFrequencies(char key) {
  const size_t at = kKeypad.find(key);
  if (key == '\0' || at == std::string_view::npos) return std::nullopt;
  return DtmfPair{kRows[at / 4], kColumns[at % 4]};
}

std::vector<float> DtmfTone(char key, int sample_rate, double seconds) {
  const auto pair = DtmfFrequencies(key);
  if (!pair || sample_rate <= 0 || seconds <= 0) return {};
  const auto n = static_cast<size_t>(std::lround(seconds * sample_rate));
  const auto ramp = static_cast<size_t>(kRampSeconds * sample_rate);
  std::vector<float> out(n);
  const double w_low = 2.0 * std::numbers::pi * pair->low_hz / sample_rate;
  const double w_high = 2.0 * std::numbers::pi * pair->high_hz / sample_rate;
  for (size_t i = 0; i < n; ++i) {
    double gain = 1.0;
    const size_t from_end = n - 1 - i;
    const size_t edge = std::min(i, from_end);
    if (edge < ramp) gain = 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(edge) / ramp);
    const double t = static_cast<double>(i);
    out[i] = static_cast<float>(gain * kAmplitudePerTone * (std::sin(w_low * t) + std::sin(w_high * t)));
  }
  return out;
}

}  // namespace placarim::soundkit
