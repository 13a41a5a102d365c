// The built-in voice's text stages, each alone.
#include "speech/text_stages.h"

#include <gtest/gtest.h>

#include <string>

namespace placarim::speech {
namespace {

TEST(TextStagesTest, NextSegmentCutsOffOnePiece) {
  const struct {
    std::string text;
    SegmentKind kind;
    size_t length, consumed;
  } cases[] = {
      {"007 ", SegmentKind::kZeros, 2, 2},       // each zero said on its own
      {"0", SegmentKind::kZeros, 1, 1},
      {"1234-56 x", SegmentKind::kNumber, 7, 7},  // digits and hyphens
      {"12.5", SegmentKind::kNumber, 2, 2},
      {"bom dia, Ana", SegmentKind::kWords, 7, 7},
      {"guarda-chuva ", SegmentKind::kWords, 6, 7},  // the hyphen goes with the first word
      {"menos -5", SegmentKind::kWords, 6, 6},      // a minus sign is not a joining hyphen
      {"abc-", SegmentKind::kWords, 3, 3},
      {"\xE9gua", SegmentKind::kWords, 4, 4},        // Windows-1252 letters are letters
      {"+2", SegmentKind::kSymbol, 1, 1},
      {"-5", SegmentKind::kSymbol, 1, 1},
  };
  for (const auto& c : cases) {
    const Segment s = NextSegment(c.text, 999);
    EXPECT_EQ(s.kind, c.kind) << c.text;
    EXPECT_EQ(s.length, c.length) << c.text;
    EXPECT_EQ(s.consumed, c.consumed) << c.text;
  }
  // A run longer than the voice takes at once is cut, and goes on next time.
  EXPECT_EQ(NextSegment("abcdefgh", 5).length, 5u);
  EXPECT_EQ(NextSegment("abcd-efgh", 4).consumed, 5u);
}

TEST(TextStagesTest, NumbersAndWordsChooseHowTheyAreSaid) {
  EXPECT_FALSE(NumberIsSpelled("123456"));
  EXPECT_TRUE(NumberIsSpelled("1234567"));
  EXPECT_TRUE(NumberIsSpelled("12-34"));
  EXPECT_EQ(WordsToSay("   "), WordsAction::kNothing);
  EXPECT_EQ(WordsToSay("www "), WordsAction::kSpell);
  EXPECT_EQ(WordsToSay("wwww"), WordsAction::kSpeak);
  EXPECT_EQ(WordsToSay("gol "), WordsAction::kSpeak);
}

std::string Shout(std::string_view text) { return std::string(text) + "!"; }

TEST(TextStagesTest, PrepareTextRunsEveryStageInOrder) {
  EXPECT_EQ(PrepareText("gol"), "gol ");
  const TextStage stages[] = {Shout, EndWithBlank, Shout};
  EXPECT_EQ(PrepareText("gol", stages), "gol! !");
}

}  // namespace
}  // namespace placarim::speech
