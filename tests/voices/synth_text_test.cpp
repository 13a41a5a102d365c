#include "voices/synth_text.h"

#include <gtest/gtest.h>

#include <string>

namespace placarim::voices {
namespace {

using namespace std::string_literals;

struct TextCase {
  std::string in;
  std::string out;
};

TEST(SynthTextTest, EngineRulesTrimAndMarkALoneDigit) {
  const TextCase cases[] = {
      {"7", "7."},
      {"  7\r\n", "7."},
      {"0", "0."},
      {"77", "77"},
      {"a", "a"},
      {"7a", "7a"},
      {"", ""},
      {" \t\r\n ", ""},
      {"\x01\x1f\x7f", ""},
      {"\x01sete\x1f", "sete"},
      {"  dois  mais  dois ", "dois  mais  dois"},
      {"\xa0gol\xa0", "\xa0gol\xa0"},  // a no-break space is a character, not a blank
  };
  for (const auto& c : cases) EXPECT_EQ(PrepareEngineText(c.in), c.out) << "input: " << c.in;
}

TEST(SynthTextTest, LongTextsAreCutToTheEngineBuffer) {
  const std::string huge(3'000'000, 'a');
  EXPECT_EQ(PrepareEngineText(huge).size(), kSynthTextLimit);
  EXPECT_EQ(PrepareServiceText(huge).size(), kSynthTextLimit);
  const std::string fits(kSynthTextLimit, 'b');
  EXPECT_EQ(PrepareEngineText(fits), fits);
}

TEST(SynthTextTest, ServiceRulesSpeakAnEmptyTextAsOneSpace) {
  EXPECT_EQ(PrepareServiceText(""), " ");
  EXPECT_EQ(PrepareServiceText(" "), " ");
  EXPECT_EQ(PrepareServiceText("7"), "7");
}

TEST(SynthTextTest, EngineUtf8ConvertsTheCodePageAndBlanksWhatCannotBeSpoken) {
  const TextCase cases[] = {
      {"ol\xe1", "ol\xc3\xa1"},                 // olá
      {"a\xe7\xe3o", "a\xc3\xa7\xc3\xa3o"},     // ação
      {"\x80", "\xe2\x82\xac"},                 // euro sign
      {"\x93x\x94", "\xe2\x80\x9cx\xe2\x80\x9d"},  // curly quotes
      {"a\x81" "b\x8d" "c", "a b c"},           // unassigned bytes
      {"a\0b"s, "a b"},                         // an embedded zero must not end the text
      {"a\x1b[1mb", "a [1mb"},
      {"\x7f", " "},
      {"\xf0\xdf", "\xc3\xb0ss"},  // a pair that breaks the engine
  };
  for (const auto& c : cases) EXPECT_EQ(EngineUtf8(c.in), c.out) << "input: " << c.in;
}

}  // namespace
}  // namespace placarim::voices
