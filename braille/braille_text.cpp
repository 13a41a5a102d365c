#include "braille/braille_text.h"

#include <algorithm>
#include <array>

#include "lang/cp1252.h"

namespace placarim::braille {
namespace {

// Dot numbers as written ("1245") to a cell; compile-time only.
constexpr uint8_t Dots(const char* numbers) {
  uint8_t cell = 0;
  for (const char* p = numbers; *p != '\0'; ++p) cell = static_cast<uint8_t>(cell | (1u << (*p - '1')));
  return cell;
}

constexpr std::array<uint8_t, 26> kLetters = {
    Dots("1"),    Dots("12"),   Dots("14"),   Dots("145"),   Dots("15"),   Dots("124"),  Dots("1245"),
    Dots("125"),  Dots("24"),   Dots("245"),  Dots("13"),    Dots("123"),  Dots("134"),  Dots("1345"),
    Dots("135"),  Dots("1234"), Dots("12345"), Dots("1235"), Dots("234"),  Dots("2345"), Dots("136"),
    Dots("1236"), Dots("2456"), Dots("1346"), Dots("13456"), Dots("1356")};

// The digits are the letters a to j written after the number sign.
constexpr uint8_t DigitCell(char d) { return kLetters[d == '0' ? 9 : d - '1']; }

// Portuguese letters with accents (lower case, Windows-1252 code).
struct Accented {
  uint8_t code;
  uint8_t cell;
};
constexpr Accented kAccented[] = {
    {0xE1, Dots("12356")},  // á
    {0xE9, Dots("123456")}, // é
    {0xED, Dots("34")},     // í
    {0xF3, Dots("346")},    // ó
    {0xFA, Dots("23456")},  // ú
    {0xE0, Dots("1246")},   // à
    {0xE2, Dots("16")},     // â
    {0xEA, Dots("126")},    // ê
    {0xF4, Dots("1456")},   // ô
    {0xE3, Dots("345")},    // ã
    {0xF5, Dots("246")},    // õ
    {0xE7, Dots("12346")},  // ç
    {0xFC, Dots("1256")},   // ü
};

// Signs of the unified mathematics code.
constexpr uint8_t kPlus = Dots("235");
constexpr uint8_t kMinus = Dots("36");
constexpr uint8_t kTimes = Dots("236");
constexpr uint8_t kDivided = Dots("256");
constexpr uint8_t kEquals = Dots("2356");

// Punctuation of literary braille; inside a number the comma and the point
// keep their cells and the number goes on without a new number sign.
struct Sign {
  uint8_t code;
  uint8_t cell;
};
constexpr Sign kPunctuation[] = {
    {',', Dots("2")},  {';', Dots("23")}, {':', Dots("25")},  {'.', Dots("3")},   {'?', Dots("26")},
    {'!', Dots("235")}, {'-', Dots("36")}, {'(', Dots("126")}, {')', Dots("345")}, {'\'', Dots("3")},
    {'*', Dots("35")}, {'"', Dots("236")}, {'+', kPlus},       {'=', kEquals},     {0xD7, kTimes},
    {0xF7, kDivided},  {0x96, Dots("36")}, {0x97, Dots("36")},
};

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool IsUpper(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }
bool IsLower(uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7); }
uint8_t Lower(uint8_t c) { return lang::Byte(lang::LowerCase(static_cast<char>(c))); }

std::optional<uint8_t> LetterCell(uint8_t lower) {
  if (lower >= 'a' && lower <= 'z') return kLetters[lower - 'a'];
  for (const Accented& a : kAccented) {
    if (a.code == lower) return a.cell;
  }
  return std::nullopt;
}

// The digit nearest before `i` and after it, skipping blanks: an operator
// letter (x) or sign (: /) between two numbers is an operation.
bool BetweenNumbers(std::string_view t, size_t i) {
  size_t before = i;
  while (before > 0 && t[before - 1] == ' ') --before;
  size_t after = i + 1;
  while (after < t.size() && t[after] == ' ') ++after;
  return before > 0 && IsDigit(static_cast<uint8_t>(t[before - 1])) && after < t.size() &&
         IsDigit(static_cast<uint8_t>(t[after]));
}

// Whether the letters from `i` on make a word of two or more capitals.
bool CapitalWord(std::string_view t, size_t i) {
  size_t end = i;
  while (end < t.size() && (IsUpper(static_cast<uint8_t>(t[end])) || IsLower(static_cast<uint8_t>(t[end])))) ++end;
  if (end - i < 2) return false;
  return std::all_of(t.begin() + static_cast<long>(i), t.begin() + static_cast<long>(end),
                     [](char c) { return IsUpper(static_cast<uint8_t>(c)); });
}

}  // namespace

int BrailleText::CellOf(int index) const {
  const auto at = std::lower_bound(source.begin(), source.end(), index);
  return static_cast<int>(at - source.begin());
}

BrailleText ToBraille(std::string_view t) {
  BrailleText out;
  auto put = [&](uint8_t cell, size_t from) {
    out.cells.push_back(cell);
    out.source.push_back(static_cast<int>(from));
  };
  bool in_number = false;
  bool in_capital_word = false;
  for (size_t i = 0; i < t.size(); ++i) {
    const auto c = static_cast<uint8_t>(t[i]);
    if (IsDigit(c)) {
      if (!in_number) put(kNumberSign, i);
      in_number = true;
      put(DigitCell(static_cast<char>(c)), i);
      continue;
    }
    // A decimal comma or a thousands point between digits stays in the number.
    const bool continues_number = in_number && (c == ',' || c == '.') && i + 1 < t.size() &&
                                  IsDigit(static_cast<uint8_t>(t[i + 1]));
    const bool was_number = in_number;
    in_number = continues_number;
    if (continues_number) {
      put(c == ',' ? Dots("2") : Dots("3"), i);
      continue;
    }
    if ((c == 'x' || c == 'X' || c == '*') && BetweenNumbers(t, i)) {
      put(kTimes, i);
      continue;
    }
    if ((c == ':' || c == '/') && BetweenNumbers(t, i)) {
      put(kDivided, i);
      continue;
    }
    if (c == '-' && BetweenNumbers(t, i)) {
      put(kMinus, i);
      continue;
    }
    if (const auto letter = LetterCell(Lower(c))) {
      if (IsUpper(c)) {
        const bool starts_word = i == 0 || !IsUpper(static_cast<uint8_t>(t[i - 1]));
        if (starts_word) in_capital_word = CapitalWord(t, i);
        if (starts_word && in_capital_word) {
          put(kCapitalSign, i);
          put(kCapitalSign, i);
        } else if (!in_capital_word) {
          put(kCapitalSign, i);
        }
      } else {
        in_capital_word = false;
        // Right after a number, a-j would read as digits.
        if (was_number && c >= 'a' && c <= 'j') put(kLetterSign, i);
      }
      put(*letter, i);
      continue;
    }
    in_capital_word = false;
    uint8_t cell = 0;
    for (const Sign& s : kPunctuation) {
      if (s.code == c) cell = s.cell;
    }
    if (c == 0x85) {  // ellipsis: three points
      put(Dots("3"), i);
      put(Dots("3"), i);
      cell = Dots("3");
    }
    put(cell, i);
  }
  return out;
}

std::optional<uint8_t> BrailleReader::Read(uint8_t typed) {
  const auto cell = static_cast<uint8_t>(typed & 0x3F);
  if (cell == 0 && typed != 0) return std::nullopt;
  if (cell == 0) {
    Reset();
    return uint8_t{' '};
  }
  if (cell == kNumberSign) {
    number_ = true;
    capital_ = false;
    return std::nullopt;
  }
  if (cell == kCapitalSign) {
    capital_ = true;
    number_ = false;
    return std::nullopt;
  }
  if (cell == kLetterSign) {
    number_ = false;
    return std::nullopt;
  }
  if (number_) {
    for (char d = '0'; d <= '9'; ++d) {
      if (DigitCell(d) == cell) return static_cast<uint8_t>(d);
    }
    if (cell == Dots("2")) return uint8_t{','};
    if (cell == Dots("3")) return uint8_t{'.'};
    number_ = false;
    // After a number these are operations, not punctuation.
    if (cell == kPlus) return uint8_t{'+'};
    if (cell == kMinus) return uint8_t{'-'};
  }
  std::optional<uint8_t> letter;
  for (int i = 0; i < 26; ++i) {
    if (kLetters[static_cast<size_t>(i)] == cell) letter = static_cast<uint8_t>('a' + i);
  }
  for (const Accented& a : kAccented) {
    if (a.cell == cell) letter = a.code;
  }
  if (letter) {
    const bool upper = capital_;
    capital_ = false;
    return upper ? lang::Byte(lang::UpperCase(static_cast<char>(*letter))) : *letter;
  }
  capital_ = false;
  for (const Sign& s : kPunctuation) {
    if (s.cell == cell && s.code < 0x80) return s.code;
  }
  return std::nullopt;
}

}  // namespace placarim::braille
