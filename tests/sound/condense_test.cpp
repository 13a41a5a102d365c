#include "sound/condense.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace placarim::sound {
namespace {

// Mono 8-bit voice-like sound: a peak of 250 every `period` samples over a
// level that rises by one each period, so a sample's source period can be told.
std::vector<uint8_t> PulseTrain(size_t length, size_t period) {
  std::vector<uint8_t> s(length);
  for (size_t i = 0; i < length; ++i) {
    s[i] = i % period == 0 ? 250 : static_cast<uint8_t>(100 + (i / period) % 40);
  }
  return s;
}

// Peak positions; a kept period ends on its closing peak and the next kept
// one starts on its own, so two adjacent peaks count as one.
std::vector<size_t> Peaks(const std::vector<uint8_t>& s, size_t length) {
  std::vector<size_t> peaks;
  for (size_t i = 0; i < length; ++i) {
    if (s[i] == 250 && (peaks.empty() || peaks.back() + 1 != i)) peaks.push_back(i);
  }
  return peaks;
}

TEST(Condense, SearchParametersFollowThePlayingRate) {
  const std::pair<uint32_t, CondenseParams> cases[] = {
      {11025, {200, 80, 50}},   {16538, {800, 320, 200}}, {16000, {800, 320, 200}},
      {22050, {800, 320, 200}}, {8000, {800, 320, 200}},
  };
  for (const auto& [rate, params] : cases) EXPECT_EQ(CondenseParamsForRate(rate), params) << rate;
}

TEST(Condense, SixteenBitSamplesBecomeUnsignedEightBit) {
  const std::pair<int16_t, uint8_t> cases[] = {
      {0, 128}, {32767, 255}, {-32768, 0}, {-128, 127}, {255, 128}, {256, 129},
  };
  for (const auto& [sample, expected] : cases) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(sample), static_cast<uint8_t>(sample >> 8)};
    ASSERT_EQ(ConvertToUnsigned8(bytes), 1u);
    EXPECT_EQ(bytes[0], expected) << sample;
  }
  std::vector<uint8_t> odd = {0, 0, 0, 0x7F, 0x33};
  EXPECT_EQ(ConvertToUnsigned8(odd), 2u) << "a dangling byte is dropped";
  EXPECT_EQ(odd[1], 0xFF);
}

TEST(Condense, ShortPiecesAreOnlyConverted) {
  auto eight = PulseTrain(999, 100);
  const auto original = eight;
  EXPECT_EQ(CondenseMono(eight, 8, 11025), 999u);
  EXPECT_EQ(eight, original);

  std::vector<uint8_t> sixteen(1998, 0);
  for (size_t i = 1; i < sixteen.size(); i += 2) sixteen[i] = 0x10;
  EXPECT_EQ(CondenseMono(sixteen, 16, 11025), 999u);
  EXPECT_EQ(sixteen[0], 0x90);
  EXPECT_EQ(sixteen[998], 0x90);
}

TEST(Condense, DropsEveryOtherPeriodKeepingThePitch) {
  const size_t length = 20000;
  const size_t period = 100;
  auto s = PulseTrain(length, period);
  const size_t condensed = CondenseMono(s, 8, 11025);
  EXPECT_GT(condensed, length * 45 / 100);
  EXPECT_LT(condensed, length * 55 / 100);
  const auto peaks = Peaks(s, condensed);
  ASSERT_GT(peaks.size(), 50u);
  for (size_t i = 1; i < peaks.size(); ++i) {
    const size_t gap = peaks[i] - peaks[i - 1];
    ASSERT_TRUE(gap == period || gap == period + 1) << "gap " << gap << " at " << peaks[i];
  }
  // Whole periods 2, 4, 6... are gone: the period levels go up by two.
  EXPECT_EQ(s[250], 100 + 3);
  EXPECT_EQ(s[351], 100 + 5);
}

TEST(Condense, LargerParametersLeaveTheFirst800SamplesAlone) {
  const auto original = PulseTrain(20000, 400);
  auto voice_rate = original;
  auto other_rate = original;
  CondenseMono(voice_rate, 8, 11025);
  const size_t condensed = CondenseMono(other_rate, 8, 16538);
  EXPECT_NE(std::vector<uint8_t>(voice_rate.begin() + 200, voice_rate.begin() + 800),
            std::vector<uint8_t>(original.begin() + 200, original.begin() + 800));
  EXPECT_EQ(std::vector<uint8_t>(other_rate.begin(), other_rate.begin() + 800),
            std::vector<uint8_t>(original.begin(), original.begin() + 800));
  EXPECT_LT(condensed, 12000u);
}

TEST(Condense, EndsNearSilenceWhenTheSoundAllows) {
  std::vector<uint8_t> sine(30000);
  for (size_t i = 0; i < sine.size(); ++i) {
    sine[i] = static_cast<uint8_t>(128 + 100 * std::sin(2 * M_PI * i / 90.0));
  }
  const size_t condensed = CondenseMono(sine, 8, 11025);
  ASSERT_GT(condensed, 0u);
  EXPECT_LE(std::abs(int{sine[condensed - 1]} - 128), 20);
}

TEST(Condense, FlatAndRandomSoundAlwaysEndsInsideThePiece) {
  struct Case {
    const char* what;
    std::vector<uint8_t> samples;
    uint32_t rate;
  };
  std::vector<Case> cases = {
      {"all zero", std::vector<uint8_t>(5000, 0), 11025},
      {"all silence", std::vector<uint8_t>(5000, 128), 11025},
      {"all full scale", std::vector<uint8_t>(5000, 255), 16000},
      {"1,000 samples at a large-parameter rate", PulseTrain(1000, 400), 22050},
      {"1,300 samples at a large-parameter rate", PulseTrain(1300, 400), 22050},
  };
  std::mt19937 random(7);
  for (size_t length : {1000u, 1001u, 1840u, 4000u, 65534u}) {
    std::vector<uint8_t> noise(length);
    for (auto& b : noise) b = static_cast<uint8_t>(random());
    cases.push_back({"noise", noise, 11025});
    cases.push_back({"noise", noise, 44100});
  }
  for (Case& c : cases) {
    const size_t length = c.samples.size();
    const size_t condensed = CondenseMono(c.samples, 8, c.rate);
    EXPECT_LE(condensed, length) << c.what << " " << length;
    EXPECT_GT(condensed, 0u) << c.what << " " << length;
  }
}

}  // namespace
}  // namespace placarim::sound
