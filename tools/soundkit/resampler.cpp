#include "tools/soundkit/resampler.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <numeric>

namespace placarim::soundkit {
namespace {

// Half-width of the kernel in input samples at a cut-off of 1 (no rate
// reduction); wider when the cut-off is lower. 32 zero crossings give
// better than 60 dB of stop-band rejection with a Blackman window.
constexpr int kZeroCrossings = 32;

double Sinc(double x) {
  if (std::abs(x) < 1e-12) return 1.0;
  const double px = std::numbers::pi * x;
  return std::sin(px) / px;
}

double Blackman(double x, double half_width) {
  // x in [-half_width, half_width]
  const double t = (x + half_width) / (2.0 * half_width);
  return 0.42 - 0.5 * std::cos(2.0 * std::numbers::pi * t) + 0.08 * std::cos(4.0 * std::numbers::pi * t);
}

}  // namespace

std::vector<float> Resample(std::span<const float> input, int from_rate, int to_rate) {
  if (from_rate <= 0 || to_rate <= 0 || input.empty()) return {};
  if (from_rate == to_rate) return {input.begin(), input.end()};

  // Cut-off relative to the input Nyquist; 0.9 leaves room for the
  // transition band below the output's Nyquist frequency.
  const double cutoff = (to_rate < from_rate ? static_cast<double>(to_rate) / from_rate : 1.0) * 0.9;
  const double half_width = kZeroCrossings / cutoff;
  const auto taps = static_cast<int64_t>(std::floor(half_width));

  // Output sample i sits at input position i * from / to. Its fractional
  // part takes only `to / gcd` values, so the kernel is computed once per
  // phase and reused (a single phase when halving the rate).
  const int64_t g = std::gcd(static_cast<int64_t>(from_rate), static_cast<int64_t>(to_rate));
  const int64_t up = to_rate / g, down = from_rate / g;
  const int64_t phases = up;
  std::vector<std::vector<double>> kernels(static_cast<size_t>(phases));
  for (int64_t p = 0; p < phases; ++p) {
    const double fraction = static_cast<double>(p) / static_cast<double>(up);
    auto& k = kernels[static_cast<size_t>(p)];
    k.resize(static_cast<size_t>(2 * taps + 2));
    for (int64_t j = -taps; j <= taps + 1; ++j) {
      const double d = static_cast<double>(j) - fraction;
      k[static_cast<size_t>(j + taps)] = std::abs(d) > half_width ? 0.0 : cutoff * Sinc(cutoff * d) * Blackman(d, half_width);
    }
  }

  const auto n_in = static_cast<int64_t>(input.size());
  const auto n_out = (n_in * up + down - 1) / down;
  std::vector<float> output(static_cast<size_t>(n_out));
  for (int64_t i = 0; i < n_out; ++i) {
    const int64_t base = (i * down) / up;
    const auto& k = kernels[static_cast<size_t>((i * down) % up)];
    double sum = 0.0;
    for (int64_t j = -taps; j <= taps + 1; ++j) {
      const int64_t at = base + j;
      if (at < 0 || at >= n_in) continue;
      sum += input[static_cast<size_t>(at)] * k[static_cast<size_t>(j + taps)];
    }
    output[static_cast<size_t>(i)] = static_cast<float>(sum);
  }
  return output;
}

}  // namespace placarim::soundkit
