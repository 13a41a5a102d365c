// The engine on the build's own database: signal checks on what it says, and
// what it does with lines it cannot use.
#include "mbr/diphone_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "tests/mbr/signal.h"

namespace placarim::mbr {
namespace {

using testing::MaxJump;
using testing::MeasureHz;

class EngineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string why;
    auto db = LoadDatabase(testing::DatabasePath(), why);
    ASSERT_TRUE(db) << why;
    database_ = new VoiceDatabase(std::move(*db));
  }
  static void TearDownTestSuite() { delete database_; }
  void SetUp() override {
    engine_ = std::make_unique<DiphoneEngine>(*database_);
    engine_->SetNoError(true);
  }

  std::vector<int16_t> Say(const std::string& lines) {
    EXPECT_TRUE(engine_->Write(lines)) << engine_->LastErrorText();
    engine_->Flush();
    std::vector<int16_t> out(engine_->Ready());
    EXPECT_EQ(engine_->Read(out.data(), out.size()), out.size());
    return out;
  }

  static VoiceDatabase* database_;
  std::unique_ptr<DiphoneEngine> engine_;
};
VoiceDatabase* EngineTest::database_ = nullptr;

struct Phone {
  std::string name;
  int ms;
  double hz;  // flat pitch over the phoneme (0: none given)
};

std::string Lines(const std::vector<Phone>& phones) {
  std::string text;
  for (const auto& p : phones) {
    text += p.name + " " + std::to_string(p.ms);
    if (p.hz > 0) text += " 0 " + std::to_string(p.hz) + " 100 " + std::to_string(p.hz);
    text += "\n";
  }
  return text;
}

bool IsVowel(const std::string& name) {
  static const std::vector<std::string> vowels = {"a", "@", "e", "ee", "i", "o", "oo", "u", "am", "em", "im", "om", "um"};
  return std::find(vowels.begin(), vowels.end(), name) != vowels.end();
}

// Length, pitch, clipping: words at the recorded pitch, far below and above
// it, and at the durations the front end gives stressed and fast syllables.
TEST_F(EngineTest, LengthPitchAndLevelFollowTheLines) {
  const std::vector<std::vector<Phone>> utterances = {
      {{"_", 50, 0}, {"k", 80, 230}, {"a", 180, 230}, {"z", 90, 230}, {"a", 150, 230}, {"_", 80, 0}},
      {{"_", 30, 0}, {"p", 70, 150}, {"oo", 200, 150}, {"r2", 60, 150}, {"t", 80, 150}, {"@", 120, 150}},
      {{"m", 60, 330}, {"em", 160, 330}, {"nh", 70, 330}, {"i", 140, 330}, {"lh", 60, 330}, {"u", 200, 330}},
      {{"_", 20, 0}, {"tx", 60, 460}, {"ee", 70, 460}, {"rr", 50, 460}, {"o", 60, 460}, {"s2", 90, 460}},
      {{"dj", 70, 200}, {"a", 250, 200}, {"w", 60, 200}, {"y", 60, 200}, {"um", 180, 200}, {"_", 200, 0}},
  };
  for (const auto& phones : utterances) {
    const std::string lines = Lines(phones);
    SCOPED_TRACE(lines);
    const std::vector<int16_t> out = Say(lines);
    int total_ms = 0;
    for (const auto& p : phones) total_ms += p.ms;
    const double rate = engine_->Frequency();
    EXPECT_NEAR(double(out.size()), total_ms * rate / 1000.0, rate / 230.0);
    EXPECT_LT(*std::max_element(out.begin(), out.end()), 32767);
    EXPECT_GT(*std::min_element(out.begin(), out.end()), -32768);
    double at_ms = 0;
    for (const auto& p : phones) {
      if (IsVowel(p.name) && p.ms >= 120) {
        const auto from = static_cast<size_t>((at_ms + p.ms * 0.3) * rate / 1000);
        const auto to = static_cast<size_t>((at_ms + p.ms * 0.7) * rate / 1000);
        EXPECT_NEAR(MeasureHz(out, from, to, int(rate)), p.hz, p.hz * 0.03) << p.name;
      }
      at_ms += p.ms;
    }
  }
}

// A pitch that glides between points is heard at the interpolated value,
// across the phoneme boundary.
TEST_F(EngineTest, PitchIsInterpolatedBetweenPoints) {
  const std::vector<int16_t> out = Say("a 300 0 180\ne 300 100 300\n");
  for (double at_ms : {100.0, 300.0, 500.0}) {
    const double target = 180 + 120 * at_ms / 600;
    const auto centre = static_cast<size_t>(at_ms * 16);
    EXPECT_NEAR(MeasureHz(out, centre - 320, centre + 320, 16000), target, target * 0.03) << at_ms;
  }
}

// Where two diphones meet (inside each phoneme), the output moves no more
// from one sample to the next than the units themselves do.
TEST_F(EngineTest, JoinsJumpNoMoreThanTheirDiphones) {
  const auto& db = engine_->Database();
  const std::vector<std::string> names = {"_", "b", "a", "l", "oo", "m", "e", "s", "i", "nh", "@", "_"};
  std::string lines;
  for (size_t i = 1; i + 1 < names.size(); ++i) lines += names[i] + " 120 50 230\n";
  const std::vector<int16_t> out = Say(lines);
  for (size_t i = 1; i + 1 < names.size(); ++i) {
    const Diphone* in = db.Find(db.PhonemeIndex(names[i - 1]), db.PhonemeIndex(names[i]));
    const Diphone* on = db.Find(db.PhonemeIndex(names[i]), db.PhonemeIndex(names[i + 1]));
    ASSERT_TRUE(in && on);
    const double a = in->sample_count - in->boundary, b = on->boundary;
    const auto join = static_cast<size_t>((i - 1) * 1920 + 1920 * a / (a + b));
    const int inside = std::max(MaxJump(db.samples.data() + in->first_sample, 0, in->sample_count),
                                MaxJump(db.samples.data() + on->first_sample, 0, on->sample_count));
    EXPECT_LE(MaxJump(out.data(), join > 80 ? join - 80 : 0, std::min(out.size(), join + 80)), inside)
        << names[i];
  }
}

// Lines it cannot use set the error and leave the engine working; a reset
// clears the error.
// A vowel or s running into a drawn-out closure of p, t or k: the closure
// follows its recording into silence instead of laying one grain of the
// sound before it again and again (a buzz of small steps).
TEST_F(EngineTest, DrawnOutClosuresRepeatNoGrain) {
  for (const char* before : {"s", "a", "u", "@", "em", "_"}) {
    for (const char* stop : {"p", "t", "k"}) {
      const std::string lines = std::string(before) + " 90 0 250 100 220\n" + stop + " 160\na 120 0 220 100 190\n";
      EXPECT_EQ(testing::RepeatedFragments(Say(lines)).size(), 0u) << before << " " << stop;
    }
  }
}

TEST_F(EngineTest, BadLinesReportTheirErrorAndTheEngineGoesOn) {
  const struct {
    const char* line;
    int error;
  } cases[] = {
      {"qq 100", kUnknownPhoneme}, {"a", kBadLine},          {"a 100 50", kBadLine},
      {"a x1", kBadNumber},        {"a -5", kBadNumber},     {"a 100 120 230", kBadNumber},
      {"a 100 50 0", kBadNumber},  {"a nan", kBadNumber},    {"a 1e9", kBadNumber},
      {"toolongname 10", kBadLine},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_FALSE(engine_->Write(c.line));
    EXPECT_EQ(engine_->LastError(), c.error);
    EXPECT_FALSE(engine_->LastErrorText().empty());
    engine_->Reset();
    EXPECT_EQ(engine_->LastError(), kEngineOk);
    EXPECT_EQ(Say("a 100 ; a comment\n\n#\n").size(), 1600u);
  }
}

// A long stretch without a flush is spoken in parts, so memory stays bounded,
// and the parts add up to the length asked for.
TEST_F(EngineTest, LongStretchesAreSynthesizedBeforeTheFlush) {
  ASSERT_TRUE(engine_->Write("a 30000 50 230\ni 30000\na 30000\n"));
  const size_t early = engine_->Ready();
  EXPECT_GE(early, 60000u * 16);
  engine_->Flush();
  EXPECT_NEAR(double(engine_->Ready()), 90000.0 * 16, 2.0);
}

// Without its no-error mode the engine reports a missing diphone, and in
// either mode it bridges it through silence rather than dropping the sound.
TEST(EngineMissingDiphone, IsReportedOnlyWithoutNoErrorAndAlwaysBridged) {
  VoiceDatabase db;
  db.phonemes = {"_", "a", "i"};
  auto add = [&db](uint16_t l, uint16_t r) {
    Diphone d{l, r, static_cast<uint32_t>(db.samples.size()), 400, 200, static_cast<uint32_t>(db.marks.size()), 0};
    for (uint32_t k = 0; k < 400; ++k) db.samples.push_back(static_cast<int16_t>(l * 1000 + r * 100 + 50));
    for (uint32_t m = 0; m < 400; m += 80) db.marks.push_back(m), ++d.mark_count;
    db.diphones.push_back(d);
  };
  add(0, 0), add(0, 1), add(1, 0), add(0, 2), add(2, 0);  // no a-i, no i-a
  for (bool no_error : {false, true}) {
    DiphoneEngine engine(db);
    engine.SetNoError(no_error);
    EXPECT_EQ(engine.Write("a 100\ni 100\n"), no_error);
    EXPECT_EQ(engine.LastError(), no_error ? kEngineOk : kMissingDiphone);
    engine.Flush();
    std::vector<int16_t> out(engine.Ready());
    engine.Read(out.data(), out.size());
    ASSERT_EQ(out.size(), 3200u);
    EXPECT_TRUE(std::any_of(out.begin() + 1600, out.end(), [](int16_t s) { return s == 250; }));  // i after _
  }
}

}  // namespace
}  // namespace placarim::mbr
