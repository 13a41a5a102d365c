// Sample-rate conversion by windowed-sinc interpolation. Going down in rate
// the kernel's cut-off moves below the new Nyquist frequency, so sibilants of
// 22,050 Hz speech do not fold back as hiss in the 11,025 Hz recordings.
#pragma once

#include <span>
#include <vector>

namespace placarim::soundkit {

// Resamples `input` from `from_rate` to `to_rate` (both positive). The
// output holds ceil(n * to_rate / from_rate) samples.
std::vector<float> Resample(std::span<const float> input, int from_rate, int to_rate);

}  // namespace placarim::soundkit
