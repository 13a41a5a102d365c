// Text as a child reads it in braille at school: Brazilian literary braille in
// six dots, with the number sign before every number and the signs of the
// unified mathematics code for + - x : and =, so that "7+8=15" reads as it is
// written on paper. Pure functions over Windows-1252 text; no state.
//
// A cell is a byte of dot bits: dot n is bit n-1 (dot 1 = 0x01 ... dot 6 = 0x20),
// the order braille displays and their libraries use.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace placarim::braille {

inline constexpr uint8_t kNumberSign = 0x3C;   // dots 3456
inline constexpr uint8_t kCapitalSign = 0x28;  // dots 46
inline constexpr uint8_t kLetterSign = 0x30;   // dots 56: a letter a-j right after a number

// The cells of a text and, for each cell, the index of the character it
// stands for (a number sign or capital sign belongs to the character after it).
struct BrailleText {
  std::vector<uint8_t> cells;
  std::vector<int> source;

  // The first cell of character `index`; the cell after the last for an
  // index at or past the end (where a cursor after the text stands).
  int CellOf(int index) const;
};

// Translates Windows-1252 text. A character braille has no sign for
// (a control code, a currency sign) becomes a blank cell, so cells and
// characters stay in step.
BrailleText ToBraille(std::string_view cp1252);

// Reads cells typed on a braille keyboard back into characters, one cell at a
// time: the number sign makes the letters a-j that follow digits, the capital
// sign makes the next letter upper case. Dots 7 and 8 are ignored.
class BrailleReader {
 public:
  // The character the cell completes, or nothing when it only sets a sign
  // (or has no meaning). A blank cell is a space and ends a number.
  std::optional<uint8_t> Read(uint8_t typed);
  void Reset() { number_ = capital_ = false; }

 private:
  bool number_ = false;
  bool capital_ = false;
};

}  // namespace placarim::braille
