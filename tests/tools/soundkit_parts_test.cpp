#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <set>

#include "tests/tools/wave_reading.h"
#include "tools/soundkit/cues.h"
#include "tools/soundkit/dtmf.h"
#include "tools/soundkit/kit.h"
#include "tools/soundkit/resampler.h"
#include "tools/soundkit/wave_writer.h"
#include "tools/soundkit/word_shaping.h"

namespace placarim::soundkit {
namespace {

// Power of one frequency in the block (Goertzel), normalised by length.
double GoertzelPower(const std::vector<float>& x, double hz, int rate) {
  const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / rate);
  double s1 = 0, s2 = 0;
  for (float v : x) {
    const double s = v + coefficient * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  const double n = static_cast<double>(x.size());
  return (s1 * s1 + s2 * s2 - coefficient * s1 * s2) / (n * n);
}

std::vector<float> Sine(double hz, int rate, size_t n, double amplitude = 0.5) {
  std::vector<float> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate));
  return out;
}

double Rms(const std::vector<float>& x, size_t skip) {
  double sum = 0;
  size_t n = 0;
  for (size_t i = skip; i + skip < x.size(); ++i, ++n) sum += x[i] * x[i];
  return n ? std::sqrt(sum / n) : 0.0;
}

TEST(Dtmf, EachKeySoundsItsRowAndColumnAndNothingElse) {
  struct Case {
    char key;
    double low, high;
  };
  const Case cases[] = {
      {'1', 697, 1209}, {'2', 697, 1336}, {'3', 697, 1477}, {'4', 770, 1209},
      {'5', 770, 1336}, {'6', 770, 1477}, {'7', 852, 1209}, {'8', 852, 1336},
      {'9', 852, 1477}, {'*', 941, 1209}, {'0', 941, 1336}, {'#', 941, 1477},
  };
  const double all[] = {697, 770, 852, 941, 1209, 1336, 1477, 1633};
  constexpr int kRate = 11025;
  for (const Case& c : cases) {
    const std::vector<float> tone = DtmfTone(c.key, kRate, 0.16);
    ASSERT_FALSE(tone.empty()) << c.key;
    const double low = GoertzelPower(tone, c.low, kRate);
    const double high = GoertzelPower(tone, c.high, kRate);
    EXPECT_GT(low, 0.02) << c.key;
    EXPECT_GT(high, 0.02) << c.key;
    EXPECT_LT(std::abs(10 * std::log10(low / high)), 1.0) << c.key << ": the two tones differ in level";
    for (double f : all) {
      if (f == c.low || f == c.high) continue;
      EXPECT_LT(GoertzelPower(tone, f, kRate), std::min(low, high) / 100) << c.key << " leaks into " << f;
    }
  }
}

TEST(Dtmf, ToneFitsTheSampleRangeAndStartsAndEndsSilently) {
  const std::vector<float> tone = DtmfTone('5', 11025, 0.16);
  EXPECT_EQ(tone.size(), 1764u);
  EXPECT_LE(Peak(tone), 0.9f);
  EXPECT_NEAR(tone.front(), 0.0f, 0.01f);
  EXPECT_NEAR(tone.back(), 0.0f, 0.05f);
}

TEST(Dtmf, NonKeypadCharactersHaveNoTone) {
  for (char c : {'E', 'x', ' ', '\0', 'X'}) {
    EXPECT_FALSE(DtmfFrequencies(c).has_value()) << static_cast<int>(c);
    EXPECT_TRUE(DtmfTone(c, 11025, 0.1).empty()) << static_cast<int>(c);
  }
}

TEST(Resampler, KeepsThePassBandAndRemovesWhatWouldFoldBack) {
  struct Case {
    int from, to;
    double hz;
    double min_gain_db, max_gain_db;
  };
  const Case cases[] = {
      {22050, 11025, 440, -0.2, 0.2},
      {22050, 11025, 3000, -0.5, 0.2},
      {22050, 11025, 7000, -200, -50},   // would fold to 4025 Hz
      {22050, 11025, 9000, -200, -50},   // would fold to 2025 Hz
      {11025, 22050, 1000, -0.2, 0.2},
      {16000, 11025, 6000, -200, -40},   // above the new Nyquist frequency
      {16000, 11025, 1000, -0.2, 0.2},
  };
  for (const Case& c : cases) {
    const std::vector<float> in = Sine(c.hz, c.from, static_cast<size_t>(c.from));
    const std::vector<float> out = Resample(in, c.from, c.to);
    const double gain_db = 20 * std::log10(Rms(out, 300) / Rms(in, 600) + 1e-12);
    EXPECT_GE(gain_db, c.min_gain_db) << c.from << "->" << c.to << " at " << c.hz;
    EXPECT_LE(gain_db, c.max_gain_db) << c.from << "->" << c.to << " at " << c.hz;
  }
}

TEST(Resampler, OutputLengthFollowsTheRateRatio) {
  const std::vector<float> in(1001, 0.25f);
  EXPECT_EQ(Resample(in, 22050, 11025).size(), 501u);
  EXPECT_EQ(Resample(in, 11025, 22050).size(), 2002u);
  EXPECT_EQ(Resample(in, 22050, 22050), in);
  EXPECT_TRUE(Resample({}, 22050, 11025).empty());
  EXPECT_TRUE(Resample(in, 0, 11025).empty());
  // A constant level stays constant away from the edges.
  const std::vector<float> out = Resample(in, 22050, 11025);
  EXPECT_NEAR(out[250], 0.25f, 0.002f);
}

TEST(WaveWriter, EightBitFileHasTheCanonicalHeaderTheReadersSkip) {
  const std::vector<float> samples = {0.0f, 1.0f, -1.0f, 0.5f, 2.0f, -3.0f};
  const std::vector<uint8_t> file = EncodeWave(samples, {11025, SampleFormat::kUnsigned8});
  ASSERT_EQ(file.size(), 44u + samples.size());
  const auto info = testing::ParseWave(file);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->data_offset, 44u);
  EXPECT_EQ(info->channels, 1);
  EXPECT_EQ(info->sample_rate, 11025);
  EXPECT_EQ(info->bits, 8);
  EXPECT_EQ(testing::U32(file, 4), file.size() - 8);
  EXPECT_EQ(testing::U32(file, 28), 11025u);  // bytes per second
  EXPECT_EQ(testing::U16(file, 32), 1u);      // block alignment
  const std::vector<uint8_t> expected = {128, 255, 1, 192, 255, 1};
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 44, file.end()), expected);
}

TEST(WaveWriter, SixteenBitFileIsLittleEndianSigned) {
  const std::vector<float> samples = {0.0f, 1.0f, -1.0f};
  const std::vector<uint8_t> file = EncodeWave(samples, {22050, SampleFormat::kSigned16});
  ASSERT_EQ(file.size(), 44u + 6u);
  EXPECT_EQ(testing::U32(file, 28), 44100u);
  EXPECT_EQ(testing::U16(file, 32), 2u);
  EXPECT_EQ(testing::U16(file, 34), 16u);
  EXPECT_EQ(testing::U32(file, 40), 6u);
  EXPECT_EQ(static_cast<int16_t>(testing::U16(file, 46)), 32767);
  EXPECT_EQ(static_cast<int16_t>(testing::U16(file, 48)), -32767);
}

class AtomicWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("soundkit_atomic_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(AtomicWriteTest, ReplacesTheFileAndLeavesNoTemporary) {
  const std::string path = (dir_ / "a.wav").string();
  const std::vector<uint8_t> first = {1, 2, 3}, second = {4, 5};
  ASSERT_EQ(WriteFileAtomically(path, first), "");
  ASSERT_EQ(WriteFileAtomically(path, second), "");
  EXPECT_EQ(testing::ReadBytes(path), second);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(AtomicWriteTest, FailureReportsTheReasonAndLeavesNothing) {
  const std::string path = (dir_ / "missing" / "a.wav").string();
  const std::vector<uint8_t> bytes = {1, 2, 3};
  const std::string error = WriteFileAtomically(path, bytes);
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 0);
}

TEST(WordShaping, AudibleRangeKeepsMarginsInsideTheBuffer) {
  struct Case {
    std::vector<float> samples;
    size_t lead, tail;
    size_t first, last;
  };
  const Case cases[] = {
      {{0, 0, 0, 0.5f, 0, 0.5f, 0, 0}, 1, 1, 2, 7},
      {{0.5f, 0, 0, 0}, 3, 1, 0, 2},
      {{0, 0, 0, 0.5f}, 1, 5, 2, 4},
      {{0, 0.01f, 0}, 1, 1, 0, 0},   // nothing reaches the threshold
  };
  for (const Case& c : cases) {
    const SampleRange r = AudibleRange(c.samples, 0.1f, c.lead, c.tail);
    EXPECT_EQ(r.first, c.first);
    EXPECT_EQ(r.last, c.last);
  }
}

TEST(WordShaping, TrimsSilenceNormalisesAndRefusesSilence) {
  constexpr int kRate = 11025;
  std::vector<float> word(kRate, 0.0f);
  const std::vector<float> vowel = Sine(200, kRate, 2205, 0.3);
  std::copy(vowel.begin(), vowel.end(), word.begin() + 4000);
  ShapingOptions options;
  options.sample_rate = kRate;
  const std::vector<float> shaped = ShapeWord(word, options);
  const size_t margins = static_cast<size_t>((options.lead_seconds + options.tail_seconds) * kRate);
  EXPECT_LE(shaped.size(), vowel.size() + margins);
  EXPECT_GE(shaped.size(), vowel.size() - 20);
  EXPECT_NEAR(Peak(shaped), options.target_peak, 0.01f);
  EXPECT_EQ(shaped.front(), 0.0f);
  EXPECT_TRUE(ShapeWord(std::vector<float>(kRate, 0.001f), options).empty());
}

TEST(Cues, EveryCueIsAudibleShortAndTheSameEachTime) {
  const Cue all[] = {Cue::kStartJingle, Cue::kEndJingle, Cue::kFanfare, Cue::kShortFanfare, Cue::kMediumFanfare,
                     Cue::kKick,        Cue::kTick,      Cue::kCrowd,   Cue::kApplause,     Cue::kWhistle};
  for (Cue cue : all) {
    const std::vector<float> a = MakeCue(cue, 22050);
    EXPECT_GT(Peak(a), 0.5f) << static_cast<int>(cue);
    EXPECT_LE(Peak(a), 0.81f) << static_cast<int>(cue);
    EXPECT_LE(a.size(), kGameSoundLimit) << static_cast<int>(cue);
    EXPECT_EQ(a, MakeCue(cue, 22050)) << static_cast<int>(cue);
  }
  // One tick per counted unit, half a second apart: it must be over well before.
  EXPECT_LT(MakeCue(Cue::kTick, 22050).size(), 22050u / 10);
}

TEST(KitPlan, KeysAndFilesAreUniqueAndEachFitsItsFormat) {
  std::set<std::string> keys, paths;
  for (const KitItem& item : PlanKit()) {
    EXPECT_TRUE(keys.insert(item.key).second) << "duplicate key " << item.key;
    EXPECT_TRUE(paths.insert(item.path).second) << "duplicate file " << item.path;
    EXPECT_EQ(item.path.substr(item.path.find('/') + 1), item.key + ".wav");
    if (item.path.starts_with("letras/")) {
      EXPECT_EQ(item.format.sample_rate, 11025) << item.key;
      EXPECT_EQ(item.format.sample_format, SampleFormat::kUnsigned8) << item.key;
    }
    EXPECT_GT(item.max_samples, 0u) << item.key;
  }
}

}  // namespace
}  // namespace placarim::soundkit
