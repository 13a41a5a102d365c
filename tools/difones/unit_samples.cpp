#include "tools/difones/unit_samples.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace placarim::difones {
namespace {

// Scale from 16-bit to 8-bit: espeak-ng's speech peaks near a third of full
// scale, so this fills the 8-bit range without clipping.
constexpr double kScale = 220.0;

std::vector<float> Convert(const std::vector<float>& in, int from_rate) {
  if (from_rate == kUnitRate) return in;
  const double ratio = double(kUnitRate) / double(from_rate);
  std::vector<float> out(static_cast<size_t>(std::ceil(double(in.size()) * ratio)) + 16);
  SRC_DATA data{};
  data.data_in = in.data();
  data.input_frames = static_cast<long>(in.size());
  data.data_out = out.data();
  data.output_frames = static_cast<long>(out.size());
  data.src_ratio = ratio;
  if (src_simple(&data, SRC_SINC_BEST_QUALITY, 1) != 0) return {};
  out.resize(static_cast<size_t>(data.output_frames_gen));
  return out;
}

// Halving the rate with a [1 2 1] filter: what the tool once did, kept to
// compare the alias it leaves.
std::vector<float> Halve(const std::vector<float>& in) {
  std::vector<float> out;
  for (size_t i = 0; i < in.size(); i += 2) {
    const float prev = i > 0 ? in[i - 1] : 0.0f, next = i + 1 < in.size() ? in[i + 1] : 0.0f;
    out.push_back((prev + 2 * in[i] + next) / 4.0f);
  }
  return out;
}

}  // namespace

std::vector<float> ToUnitRate(const std::vector<int16_t>& samples, int sample_rate) {
  std::vector<float> in(samples.begin(), samples.end());
  return Convert(in, sample_rate);
}

size_t NearestRisingCrossing(const std::vector<float>& s, size_t at, size_t reach) {
  for (size_t d = 0; d <= reach; ++d) {
    for (const size_t i : {at - d, at + d}) {
      if (i >= 1 && i < s.size() && i <= at + reach && s[i - 1] < 0 && s[i] >= 0) return i;
    }
  }
  return at;
}

size_t EndForTrim(const std::vector<float>& s, size_t end, size_t trim) {
  auto rising = [&](size_t i) { return i >= 1 && i < s.size() && s[i - 1] < 0 && s[i] >= 0; };
  size_t best = 0;
  double best_cost = 0;
  for (size_t e = end > 132 ? end - 132 : 1; e <= end + 66 && e < s.size(); ++e) {
    if (e <= trim + 1 || !rising(e)) continue;
    const double cost = std::abs(s[e - trim - 1]) + std::abs(s[e - trim]) + 2.0 * std::abs(double(e) - double(end));
    if (best == 0 || cost < best_cost) best = e, best_cost = cost;
  }
  return best ? best : NearestRisingCrossing(s, end, 22);
}

std::vector<uint8_t> ToUnitBytes(const std::vector<float>& s, size_t begin, size_t end, size_t fade) {
  end = std::min(end, s.size());
  std::vector<uint8_t> out;
  if (end <= begin) return out;
  const size_t n = end - begin;
  fade = std::min(fade, n / 4);
  for (size_t i = 0; i < n; ++i) {
    double gain = 1.0;
    const size_t from_edge = std::min(i, n - 1 - i);
    if (from_edge < fade) gain = 0.5 - 0.5 * std::cos(std::numbers::pi * double(from_edge) / double(fade));
    const long v = std::lround(double(s[begin + i]) * gain / kScale) + 128;
    out.push_back(static_cast<uint8_t>(std::clamp(v, 0L, 255L)));
  }
  return out;
}

double AliasEnergyDb(bool use_library) {
  constexpr int kFrom = 22050;
  std::vector<float> noise(kFrom);
  double in_energy = 0;
  for (size_t i = 0; i < noise.size(); ++i) {
    double v = 0;
    for (int k = 0; k < 19; ++k) {
      const double f = 5750.0 + 250.0 * k;  // 5.75 to 10.25 kHz
      v += 1000.0 * std::sin(2 * std::numbers::pi * f * double(i) / kFrom + 0.7 * k * k);
    }
    noise[i] = static_cast<float>(v);
    in_energy += v * v;
  }
  in_energy /= double(noise.size());
  const auto out = use_library ? Convert(noise, kFrom) : Halve(noise);
  // The middle of the output, away from the edges of the converter's window.
  double out_energy = 0;
  const size_t a = out.size() / 10, b = out.size() - out.size() / 10;
  for (size_t i = a; i < b; ++i) out_energy += double(out[i]) * double(out[i]);
  out_energy /= double(b - a);
  return 10.0 * std::log10(std::max(out_energy, 1e-12) / in_energy);
}

}  // namespace placarim::difones
