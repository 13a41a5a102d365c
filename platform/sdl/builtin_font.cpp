#include "platform/sdl/builtin_font.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace placarim::platform::sdl {
namespace {

constexpr int kBoxColumns = 6;  // 5 dots and a gap
constexpr int kBoxRows = 11;    // 2 accent rows, 7 body rows, 2 descender rows
constexpr int kBodyTop = 2;
constexpr int kBaselineRow = 9;  // the first row below the body

using Rows = std::array<uint8_t, 7>;

struct Glyph {
  char ch;
  bool drops;              // drawn two rows lower: letters with descenders, comma
  std::string_view dots;   // 7 rows of 5 dots, top row first
};

// Each row reads left to right, "1" a dot. The lower-case letters leave the
// two top rows empty (their accents go there).
constexpr Glyph kGlyphs[] = {
    {'!', false, "00100 00100 00100 00100 00100 00000 00100"},
    {'"', false, "01010 01010 01010 00000 00000 00000 00000"},
    {'#', false, "01010 01010 11111 01010 11111 01010 01010"},
    {'$', false, "00100 01111 10100 01110 00101 11110 00100"},
    {'%', false, "11000 11001 00010 00100 01000 10011 00011"},
    {'&', false, "01100 10010 10100 01000 10101 10010 01101"},
    {'\'', false, "00100 00100 01000 00000 00000 00000 00000"},
    {'(', false, "00010 00100 01000 01000 01000 00100 00010"},
    {')', false, "01000 00100 00010 00010 00010 00100 01000"},
    {'*', false, "00000 00100 10101 01110 10101 00100 00000"},
    {'+', false, "00000 00100 00100 11111 00100 00100 00000"},
    {',', true, "00000 00000 00000 00000 01100 00100 01000"},
    {'-', false, "00000 00000 00000 11111 00000 00000 00000"},
    {'.', false, "00000 00000 00000 00000 00000 01100 01100"},
    {'/', false, "00000 00001 00010 00100 01000 10000 00000"},
    {'0', false, "01110 10001 10011 10101 11001 10001 01110"},
    {'1', false, "00100 01100 00100 00100 00100 00100 01110"},
    {'2', false, "01110 10001 00001 00010 00100 01000 11111"},
    {'3', false, "11111 00010 00100 00010 00001 10001 01110"},
    {'4', false, "00010 00110 01010 10010 11111 00010 00010"},
    {'5', false, "11111 10000 11110 00001 00001 10001 01110"},
    {'6', false, "00110 01000 10000 11110 10001 10001 01110"},
    {'7', false, "11111 00001 00010 00100 01000 01000 01000"},
    {'8', false, "01110 10001 10001 01110 10001 10001 01110"},
    {'9', false, "01110 10001 10001 01111 00001 00010 01100"},
    {':', false, "00000 01100 01100 00000 01100 01100 00000"},
    {';', true, "00000 01100 01100 00000 01100 00100 01000"},
    {'<', false, "00010 00100 01000 10000 01000 00100 00010"},
    {'=', false, "00000 00000 11111 00000 11111 00000 00000"},
    {'>', false, "01000 00100 00010 00001 00010 00100 01000"},
    {'?', false, "01110 10001 00001 00010 00100 00000 00100"},
    {'@', false, "01110 10001 00001 01101 10101 10101 01110"},
    {'A', false, "01110 10001 10001 11111 10001 10001 10001"},
    {'B', false, "11110 10001 10001 11110 10001 10001 11110"},
    {'C', false, "01110 10001 10000 10000 10000 10001 01110"},
    {'D', false, "11110 10001 10001 10001 10001 10001 11110"},
    {'E', false, "11111 10000 10000 11110 10000 10000 11111"},
    {'F', false, "11111 10000 10000 11110 10000 10000 10000"},
    {'G', false, "01110 10001 10000 10111 10001 10001 01111"},
    {'H', false, "10001 10001 10001 11111 10001 10001 10001"},
    {'I', false, "01110 00100 00100 00100 00100 00100 01110"},
    {'J', false, "00111 00010 00010 00010 00010 10010 01100"},
    {'K', false, "10001 10010 10100 11000 10100 10010 10001"},
    {'L', false, "10000 10000 10000 10000 10000 10000 11111"},
    {'M', false, "10001 11011 10101 10101 10001 10001 10001"},
    {'N', false, "10001 11001 10101 10011 10001 10001 10001"},
    {'O', false, "01110 10001 10001 10001 10001 10001 01110"},
    {'P', false, "11110 10001 10001 11110 10000 10000 10000"},
    {'Q', false, "01110 10001 10001 10001 10101 10010 01101"},
    {'R', false, "11110 10001 10001 11110 10100 10010 10001"},
    {'S', false, "01111 10000 10000 01110 00001 00001 11110"},
    {'T', false, "11111 00100 00100 00100 00100 00100 00100"},
    {'U', false, "10001 10001 10001 10001 10001 10001 01110"},
    {'V', false, "10001 10001 10001 10001 10001 01010 00100"},
    {'W', false, "10001 10001 10001 10101 10101 10101 01010"},
    {'X', false, "10001 10001 01010 00100 01010 10001 10001"},
    {'Y', false, "10001 10001 01010 00100 00100 00100 00100"},
    {'Z', false, "11111 00001 00010 00100 01000 10000 11111"},
    {'[', false, "01110 01000 01000 01000 01000 01000 01110"},
    {'\\', false, "00000 10000 01000 00100 00010 00001 00000"},
    {']', false, "01110 00010 00010 00010 00010 00010 01110"},
    {'^', false, "00100 01010 10001 00000 00000 00000 00000"},
    {'_', true, "00000 00000 00000 00000 00000 00000 11111"},
    {'`', false, "01000 00100 00010 00000 00000 00000 00000"},
    {'a', false, "00000 00000 01110 00001 01111 10001 01111"},
    {'b', false, "10000 10000 10110 11001 10001 10001 11110"},
    {'c', false, "00000 00000 01110 10000 10000 10001 01110"},
    {'d', false, "00001 00001 01101 10011 10001 10001 01111"},
    {'e', false, "00000 00000 01110 10001 11111 10000 01110"},
    {'f', false, "00110 01001 01000 11100 01000 01000 01000"},
    {'g', true, "01111 10001 10001 01111 00001 10001 01110"},
    {'h', false, "10000 10000 10110 11001 10001 10001 10001"},
    {'i', false, "00100 00000 01100 00100 00100 00100 01110"},
    {'j', false, "00010 00000 00110 00010 00010 10010 01100"},
    {'k', false, "10000 10000 10010 10100 11000 10100 10010"},
    {'l', false, "01100 00100 00100 00100 00100 00100 01110"},
    {'m', false, "00000 00000 11010 10101 10101 10001 10001"},
    {'n', false, "00000 00000 10110 11001 10001 10001 10001"},
    {'o', false, "00000 00000 01110 10001 10001 10001 01110"},
    {'p', true, "11110 10001 10001 11110 10000 10000 10000"},
    {'q', true, "01101 10011 10001 01111 00001 00001 00001"},
    {'r', false, "00000 00000 10110 11001 10000 10000 10000"},
    {'s', false, "00000 00000 01110 10000 01110 00001 11110"},
    {'t', false, "01000 01000 11100 01000 01000 01001 00110"},
    {'u', false, "00000 00000 10001 10001 10001 10011 01101"},
    {'v', false, "00000 00000 10001 10001 10001 01010 00100"},
    {'w', false, "00000 00000 10001 10001 10101 10101 01010"},
    {'x', false, "00000 00000 10001 01010 00100 01010 10001"},
    {'y', true, "10001 10001 10001 01111 00001 10001 01110"},
    {'z', false, "00000 00000 11111 00010 00100 01000 11111"},
    {'{', false, "00010 00100 00100 01000 00100 00100 00010"},
    {'|', false, "00100 00100 00100 00100 00100 00100 00100"},
    {'}', false, "01000 00100 00100 00010 00100 00100 01000"},
    {'~', false, "00000 00000 01000 10101 00010 00000 00000"},
};

enum Mark : uint8_t { kNone, kGrave, kAcute, kCircumflex, kTilde, kDiaeresis, kRing, kCedilla };

// Two rows of 5 dots for each mark; the cedilla hangs below the baseline.
constexpr std::array<std::array<uint8_t, 2>, 8> kMarks = {{
    {0, 0}, {0b01000, 0b00100}, {0b00010, 0b00100}, {0b00100, 0b01010},
    {0b01101, 0b10110}, {0b00000, 0b01010}, {0b01110, 0b01010}, {0b00100, 0b01000},
}};

// The accented letters 0xC0 to 0xDF (capitals) and 0xE0 to 0xFF (small) by
// their place in the row: base letter ('*' a box) and mark.
constexpr std::string_view kBases = "AAAAAA*CEEEEIIIIDNOOOOO*OUUUUY**";
constexpr Mark kRowMarks[32] = {
    kGrave, kAcute, kCircumflex, kTilde, kDiaeresis, kRing, kNone,  kCedilla,
    kGrave, kAcute, kCircumflex, kDiaeresis, kGrave, kAcute, kCircumflex, kDiaeresis,
    kNone,  kTilde, kGrave, kAcute, kCircumflex, kTilde, kDiaeresis, kNone,
    kNone,  kGrave, kAcute, kCircumflex, kDiaeresis, kAcute, kNone,  kDiaeresis,
};

using Box = std::array<uint8_t, kBoxRows>;  // one row of 6 columns per byte, bit 4 leftmost dot

Rows Parse(std::string_view dots) {
  Rows rows{};
  size_t row = 0;
  uint8_t bits = 0;
  int count = 0;
  for (const char c : dots) {
    if (c != '0' && c != '1') continue;
    bits = static_cast<uint8_t>((bits << 1) | (c == '1'));
    if (++count == 5) {
      rows[row++] = bits;
      bits = 0;
      count = 0;
    }
  }
  return rows;
}

const Glyph* Find(char ch) {
  for (const Glyph& g : kGlyphs) {
    if (g.ch == ch) return &g;
  }
  return nullptr;
}

bool Place(char ch, Box& box) {
  const Glyph* glyph = Find(ch);
  if (glyph == nullptr) return false;
  const Rows rows = Parse(glyph->dots);
  const int top = kBodyTop + (glyph->drops ? 2 : 0);
  for (int r = 0; r < 7; ++r) box[static_cast<size_t>(top + r)] = rows[static_cast<size_t>(r)];
  return true;
}

Box HollowBox() {
  Box box{};
  box[kBodyTop] = box[kBodyTop + 6] = 0b11111;
  for (int r = kBodyTop + 1; r < kBodyTop + 6; ++r) box[static_cast<size_t>(r)] = 0b10001;
  return box;
}

Box BoxOf(uint8_t byte) {
  Box box{};
  if (byte < 0x80) {
    if (!Place(static_cast<char>(byte), box)) box = {};
    return box;
  }
  if (byte < 0xC0) return HollowBox();
  const bool small = byte >= 0xE0;
  const int place = byte & 0x1F;
  const char base = kBases[static_cast<size_t>(place)];
  if (base == '*' && place != 0x1F) return HollowBox();
  const char letter = small ? static_cast<char>(base - 'A' + 'a') : base;
  if (small && place == 0x1F) {  // ÿ (its capital's place holds ß)
    Place('y', box);
  } else if (!small && place == 0x1F) {
    return HollowBox();
  } else {
    Place(letter, box);
  }
  const Mark mark = kRowMarks[place];
  if (mark == kCedilla) {
    box[kBaselineRow] |= kMarks[mark][0];
    box[kBaselineRow + 1] |= kMarks[mark][1];
  } else if (mark != kNone) {
    // Capitals take the accent above the body, small letters inside its top
    // rows (where the dot of i goes).
    const int at = small ? kBodyTop : 0;
    box[static_cast<size_t>(at)] = kMarks[mark][0];
    box[static_cast<size_t>(at + 1)] = kMarks[mark][1];
  }
  return box;
}

}  // namespace

CellMetrics BuiltInFontMetrics(int char_width, int char_height) {
  CellMetrics cell;
  cell.height = char_height > 0 ? char_height : 2 * kBoxRows;
  cell.width = char_width > 0 ? char_width : std::max(1, cell.height * kBoxColumns / kBoxRows);
  cell.ascent = cell.height * kBaselineRow / kBoxRows;
  cell.overhang = 0;
  return cell;
}

void RenderBuiltInGlyph(uint8_t byte, const CellMetrics& cell, std::vector<uint8_t>& mask) {
  mask.assign(static_cast<size_t>(cell.width) * cell.height, 0);
  const Box box = BoxOf(byte);
  // Each pixel covers a span of the box's rows and columns (one when the cell
  // is larger than the box); a dot anywhere in the span marks it, so a cell
  // smaller than the box drops no thin stroke.
  for (int y = 0; y < cell.height; ++y) {
    const int first_row = y * kBoxRows / cell.height;
    const int last_row = std::max(first_row, ((y + 1) * kBoxRows - 1) / cell.height);
    uint8_t row = 0;
    for (int r = first_row; r <= last_row; ++r) row |= box[static_cast<size_t>(r)];
    if (row == 0) continue;
    for (int x = 0; x < cell.width; ++x) {
      const int first_column = x * kBoxColumns / cell.width;
      const int last_column = std::max(first_column, ((x + 1) * kBoxColumns - 1) / cell.width);
      for (int column = first_column; column <= last_column && column < 5; ++column) {
        if ((row >> (4 - column)) & 1) {
          mask[static_cast<size_t>(y) * cell.width + x] = 255;
          break;
        }
      }
    }
  }
}

}  // namespace placarim::platform::sdl
