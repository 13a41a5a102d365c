// The school's braille: what a child reads for each kind of text, and what a
// chord typed on a braille keyboard gives back.
#include <gtest/gtest.h>

#include <string>

#include "braille/braille_text.h"

namespace placarim::braille {
namespace {

// Cells written as dot numbers, "1245" for a cell, "|" between cells, "" for a blank.
std::string DotsOf(const std::vector<uint8_t>& cells) {
  std::string out;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) out += '|';
    for (int dot = 0; dot < 8; ++dot) {
      if (cells[i] & (1 << dot)) out += static_cast<char>('1' + dot);
    }
  }
  return out;
}

TEST(BrailleText, WritesLiteraryBrailleWithTheMathsSigns) {
  struct Case {
    const char* text;
    const char* dots;
  } cases[] = {
      {"7+8=15", "3456|1245|235|3456|125|2356|3456|1|15"},
      {"9-4=5", "3456|24|36|3456|145|2356|3456|15"},
      {"6x7=", "3456|124|236|3456|1245|2356"},       // x between numbers is "times"
      {"6 * 7", "3456|124||236||3456|1245"},
      {"8:2=4", "3456|125|256|3456|12|2356|3456|145"},  // : and / between numbers divide
      {"8/2", "3456|125|256|3456|12"},
      {"\xD7\xF7", "236|256"},                         // the signs themselves
      {"10", "3456|1|245"},                            // one number sign for the whole number
      {"1,5", "3456|1|2|15"},                          // a decimal comma stays in the number
      {"1.000", "3456|1|3|245|245|245"},
      {"gol: ", "1245|135|123|25|"},
      {"Gol", "46|1245|135|123"},                      // a capital
      {"GOL!", "46|46|1245|135|123|235"},              // a word in capitals
      {"3a", "3456|14|56|1"},                          // a-j after a number are letters
      {"3x", "3456|14|1346"},                          // x after a number is no sign
      {"\xE1\xE9\xED\xF3\xFA\xE2\xEA\xF4\xE3\xF5\xE0\xE7\xFC", "12356|123456|34|346|23456|16|126|1456|345|246|1246|12346|1256"},
      {"\xC7" "a", "46|12346|1"},                      // capital accented letter
      {"a-b", "1|36|12"},
      {"(a)?", "126|1|345|26"},
      {"\x85", "3|3|3"},
      {"a\x01" "b", "1||12"},                          // no sign: a blank, cells stay in step
  };
  for (const Case& c : cases) EXPECT_EQ(DotsOf(ToBraille(c.text).cells), c.dots) << c.text;
}

TEST(BrailleText, EachCellKnowsItsCharacter) {
  const BrailleText t = ToBraille("Ab 12");
  EXPECT_EQ(t.source, (std::vector<int>{0, 0, 1, 2, 3, 3, 4}));
  EXPECT_EQ(t.CellOf(0), 0);  // the capital sign belongs to the A
  EXPECT_EQ(t.CellOf(3), 4);  // the number sign belongs to the 1
  EXPECT_EQ(t.CellOf(4), 6);
  EXPECT_EQ(t.CellOf(5), 7);  // past the end: after the last cell
}

TEST(BrailleText, ReadsTypedChordsBack) {
  struct Case {
    const char* typed;  // cells as in DotsOf
    const char* text;
  } cases[] = {
      {"3456|1|15", "15"},
      {"3456|1|5|12", "1b"},        // a cell with no digit meaning ends the number
      {"3456|1||1", "1 a"},          // so does a blank
      {"3456|1|56|1", "1a"},        // the letter sign ends it too
      {"46|1245|135|123", "Gol"},
      {"12346|16|345", "\xE7\xE2\xE3"},
      {"3456|1245|78", "7"},        // dots 7 and 8 mean nothing here
      {"3456|1|2|15", "1,5"},
      {"46|3456|1", "1"},
  };
  for (const Case& c : cases) {
    BrailleReader reader;
    std::string text;
    std::string cell;
    const std::string typed = std::string(c.typed) + "|";
    for (char ch : typed) {
      if (ch != '|') {
        cell += ch;
        continue;
      }
      uint8_t dots = 0;
      for (char d : cell) dots = static_cast<uint8_t>(dots | (1 << (d - '1')));
      if (const auto got = reader.Read(dots)) text += static_cast<char>(*got);
      cell.clear();
    }
    EXPECT_EQ(text, c.text) << c.typed;
  }
}

TEST(BrailleText, WhatIsWrittenReadsBack) {
  for (const char* text : {"7+8=15", "Gol de placa", "12 gols", "a\xE7\xE3o 3"}) {
    BrailleReader reader;
    std::string read;
    for (uint8_t cell : ToBraille(text).cells) {
      if (const auto c = reader.Read(cell)) read += static_cast<char>(*c);
    }
    EXPECT_EQ(read, text);
  }
}

}  // namespace
}  // namespace placarim::braille
