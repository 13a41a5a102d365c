// Turns a synthesizer's raw utterance into a recording fit to be glued to
// others: silence cut from both ends (the number reader joins words without
// gaps, so any silence would be heard as a stumble), a level common to all
// recordings, and short fades so no word starts or ends with a click.
#pragma once

#include <span>
#include <vector>

namespace placarim::soundkit {

// Largest absolute sample value.
float Peak(std::span<const float> samples);

// An utterance whose peak stays below this is taken as silence: the
// synthesizer failed to say the word.
inline constexpr float kSilencePeak = 0.02f;

struct ShapingOptions {
  int sample_rate = 11025;
  float target_peak = 0.89f;        // about -1 dB of full scale
  float trim_threshold = 0.02f;     // relative to the peak
  double lead_seconds = 0.008;      // kept before the first loud sample
  double tail_seconds = 0.025;      // kept after the last one (releases are soft)
  double fade_seconds = 0.004;
};

// Index range [first, last) of `samples` between the first and the last
// sample whose magnitude reaches `threshold`, widened by the margins and
// clamped to the buffer; an empty range when no sample reaches it.
struct SampleRange {
  size_t first = 0;
  size_t last = 0;
};
SampleRange AudibleRange(std::span<const float> samples, float threshold, size_t lead, size_t tail);

// Trims, normalises and fades `samples` (already at options.sample_rate).
// Returns an empty vector when the utterance is silent.
std::vector<float> ShapeWord(std::span<const float> samples, const ShapingOptions& options);

// Scales so that the peak becomes `target` (a silent buffer is unchanged).
void NormalisePeak(std::vector<float>& samples, float target);

// Raised-cosine fade-in and fade-out of `length` samples each.
void FadeEdges(std::vector<float>& samples, size_t length);

}  // namespace placarim::soundkit
