#include "lang/cp1252.h"

#include <gtest/gtest.h>

#include "lang/phonemes.h"
#include "lang/symbol_names.h"

namespace placarim::lang {
namespace {

TEST(CaseFolding, PairsOfTheCodePage) {
  const struct {
    uint8_t small, capital;
  } pairs[] = {{'a', 'A'}, {'z', 'Z'}, {0xE0, 0xC0}, {0xE7, 0xC7}, {0xE3, 0xC3}, {0xF5, 0xD5},
               {0xFC, 0xDC}, {0xFE, 0xDE}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};
  for (const auto& p : pairs) {
    EXPECT_EQ(Byte(UpperCase(static_cast<char>(p.small))), p.capital) << int(p.small);
    EXPECT_EQ(Byte(LowerCase(static_cast<char>(p.capital))), p.small) << int(p.capital);
  }
  // Not letters: division and times, the sharp s, digits and marks stay.
  for (int c : {0xF7, 0xD7, 0xDF, int('5'), int('@'), int('['), int('{'), 0xAA, 0xBA, 0x01}) {
    EXPECT_EQ(Byte(UpperCase(static_cast<char>(c))), c) << int(c);
    EXPECT_EQ(Byte(LowerCase(static_cast<char>(c))), c) << int(c);
  }
  // Every byte: folding is stable and the two directions agree.
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    EXPECT_EQ(UpperCase(UpperCase(ch)), UpperCase(ch)) << c;
    EXPECT_EQ(UpperCase(LowerCase(ch)), UpperCase(ch)) << c;
  }
  EXPECT_EQ(UpperCase("a\xE7\xE3o \xF7 2"), "A\xC7\xC3O \xF7 2");
  EXPECT_TRUE(EqualIgnoringCase("http://", "HTTP://"));
  EXPECT_FALSE(EqualIgnoringCase("\xF7", "\xD7"));
}

TEST(CharacterClasses, AccentedLettersVowelsAndBases) {
  const struct {
    uint8_t c;
    bool current, old, vowel;
    char base;
  } cases[] = {
      {0xE3, true, true, true, 'a'},    {0xC7, true, true, false, 'C'}, {0xF1, true, true, false, 'n'},
      {0xFC, false, true, true, 'u'},   {0xEC, false, true, true, 'i'}, {0xF7, false, false, false, '\xF7'},
      {0xD8, false, false, false, '\xD8'}, {'e', false, false, true, 'e'}, {'b', false, false, false, 'b'},
  };
  for (const auto& c : cases) {
    const char ch = static_cast<char>(c.c);
    EXPECT_EQ(IsAccentedLetter(ch, Accents::kCurrent), c.current) << int(c.c);
    EXPECT_EQ(IsAccentedLetter(ch, Accents::kWithOldMarks), c.old) << int(c.c);
    EXPECT_EQ(IsPortugueseVowel(ch), c.vowel) << int(c.c);
    EXPECT_EQ(BaseLetter(ch), c.base) << int(c.c);
  }
}

TEST(ConsonantRuns, EachSetDiffersOnlyInTheRareLetters) {
  const struct {
    const char* word;
    bool plain, with_w, ascii, cedilla;
  } cases[] = {
      {"CPF", true, true, true, true},       {"bh", true, true, true, true},
      {"WWW", false, true, true, true},      {"xyz", false, false, true, true},
      {"\xC7\xC7", false, false, false, true}, {"casa", false, false, false, false},
      {"", false, false, false, false},      {"CP1", false, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsConsonantRun(c.word, Consonants::kPlain), c.plain) << c.word;
    EXPECT_EQ(IsConsonantRun(c.word, Consonants::kPlainAndW), c.with_w) << c.word;
    EXPECT_EQ(IsConsonantRun(c.word, Consonants::kAscii), c.ascii) << c.word;
    EXPECT_EQ(IsConsonantRun(c.word, Consonants::kAsciiCedilla), c.cedilla) << c.word;
  }
  EXPECT_TRUE(IsConsonantRun(",", Consonants::kAscii, " ,."));
}

TEST(SymbolNames, DivisionIsNotTimes) {
  EXPECT_EQ(SymbolName(0xF7), "dividido por");
  EXPECT_EQ(SymbolName(0xD7), "vezes");
  EXPECT_EQ(SymbolName('+'), "mais");
  EXPECT_EQ(SymbolName('='), "igual");
  EXPECT_EQ(SymbolName(0xF8), SymbolName(0xD8));  // small letters take the capital's name
  for (int code : {0, 31, 127, 160, 221, 224, 253, 254, 255}) EXPECT_TRUE(SymbolName(code).empty()) << code;
}

TEST(Phonemes, NamesAreUniqueAndVowelsVoiced) {
  const auto phonemes = IlvraPhonemes();
  for (size_t i = 0; i < phonemes.size(); ++i) {
    EXPECT_NE(phonemes[i].name, kPausePhoneme);
    EXPECT_FALSE(phonemes[i].espeak.empty()) << phonemes[i].name;
    if (phonemes[i].vowel) EXPECT_TRUE(phonemes[i].voiced) << phonemes[i].name;
    for (size_t j = i + 1; j < phonemes.size(); ++j) EXPECT_NE(phonemes[i].name, phonemes[j].name);
  }
}

}  // namespace
}  // namespace placarim::lang
