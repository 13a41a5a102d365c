// The database tool's sample handling: rate conversion without alias, cuts
// on rising zero crossings, ends that stay on the middle line when trimmed.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tools/difones/unit_samples.h"

namespace placarim::difones {
namespace {

std::vector<float> Sine(double hz, int rate, size_t n, double amplitude) {
  std::vector<float> s(n);
  for (size_t i = 0; i < n; ++i) s[i] = float(amplitude * std::sin(2 * std::numbers::pi * hz * double(i) / rate));
  return s;
}

double Rms(const std::vector<float>& s, size_t a, size_t b) {
  double sum = 0;
  for (size_t i = a; i < b; ++i) sum += double(s[i]) * double(s[i]);
  return std::sqrt(sum / double(b - a));
}

TEST(DifonesSamples, ConversionKeepsSpeechBandAndDropsWhatWouldFold) {
  // 1 kHz passes at full level; 8 kHz (above the new Nyquist) leaves nothing.
  for (const auto& [hz, min_ratio, max_ratio] : {std::tuple{1000.0, 0.97, 1.03}, std::tuple{8000.0, 0.0, 0.001}}) {
    const auto in = Sine(hz, 22050, 22050, 8000.0);
    const std::vector<int16_t> pcm(in.begin(), in.end());
    const auto out = ToUnitRate(pcm, 22050);
    ASSERT_NEAR(double(out.size()), 11025.0, 2.0) << hz;
    const double ratio = Rms(out, 1000, 10000) / Rms(in, 2000, 20000);
    EXPECT_GE(ratio, min_ratio) << hz;
    EXPECT_LE(ratio, max_ratio) << hz;
  }
  EXPECT_LT(AliasEnergyDb(true), -60.0);
  // The measure itself sees the fold-back of a plain halving.
  EXPECT_GT(AliasEnergyDb(false), -20.0);
}

TEST(DifonesSamples, CutsMeetTheMiddleLine) {
  const auto s = Sine(11025.0 / 131.0, 11025, 2000, 6000.0);  // the voice's pitch: a period of 131 samples
  for (const size_t at : {300u, 331u, 1000u}) {
    const size_t c = NearestRisingCrossing(s, at, 22);
    EXPECT_LE(std::abs(double(c) - double(at)), 22.0) << at;
    if (c != at) {
      EXPECT_LT(s[c - 1], 0.0f);
      EXPECT_GE(s[c], 0.0f);
    }
  }
  EXPECT_EQ(NearestRisingCrossing(std::vector<float>(100, 5.0f), 50, 22), 50u);

  // Whole or trimmed by three periods (less one sample of the converter's
  // drift), the unit ends near the middle line.
  const size_t end = EndForTrim(s, 1500, 392);
  EXPECT_LT(std::abs(s[end]), 300.0f);
  EXPECT_LT(std::abs(s[end - 392]), 700.0f);  // a sample and a half of slope
  const auto bytes = ToUnitBytes(s, 0, end, 8);
  ASSERT_EQ(bytes.size(), end);
  EXPECT_NEAR(bytes.front(), 128, 1);
  EXPECT_NEAR(bytes.back(), 128, 1);
  // The fades are short: a peak 2 ms in keeps its level.
  EXPECT_NEAR(bytes[27], 128 + 6000.0 / 220.0, 1.5);
}

}  // namespace
}  // namespace placarim::difones
