#include "tools/soundkit/word_shaping.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace placarim::soundkit {

float Peak(std::span<const float> samples) {
  float peak = 0.0f;
  for (float s : samples) peak = std::max(peak, std::abs(s));
  return peak;
}

SampleRange AudibleRange(std::span<const float> samples, float threshold, size_t lead, size_t tail) {
  const auto loud = [threshold](float s) { return std::abs(s) >= threshold; };
  const auto first = std::find_if(samples.begin(), samples.end(), loud);
  if (first == samples.end()) return {};
  const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
  const auto begin = static_cast<size_t>(first - samples.begin());
  const auto end = static_cast<size_t>(last - samples.begin());
  return {begin > lead ? begin - lead : 0, std::min(samples.size(), end + tail)};
}

void NormalisePeak(std::vector<float>& samples, float target) {
  const float peak = Peak(samples);
  if (peak <= 0.0f) return;
  const float gain = target / peak;
  for (float& s : samples) s *= gain;
}

void FadeEdges(std::vector<float>& samples, size_t length) {
  length = std::min(length, samples.size() / 2);
  for (size_t i = 0; i < length; ++i) {
    const float g = static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * (static_cast<double>(i) + 0.5) / length));
    samples[i] *= g;
    samples[samples.size() - 1 - i] *= g;
  }
}

std::vector<float> ShapeWord(std::span<const float> samples, const ShapingOptions& options) {
  const float peak = Peak(samples);
  if (peak < kSilencePeak) return {};
  const auto margin = [&](double seconds) { return static_cast<size_t>(seconds * options.sample_rate); };
  const SampleRange range =
      AudibleRange(samples, peak * options.trim_threshold, margin(options.lead_seconds), margin(options.tail_seconds));
  std::vector<float> word(samples.begin() + static_cast<std::ptrdiff_t>(range.first),
                          samples.begin() + static_cast<std::ptrdiff_t>(range.last));
  NormalisePeak(word, options.target_peak);
  FadeEdges(word, margin(options.fade_seconds));
  return word;
}

}  // namespace placarim::soundkit
