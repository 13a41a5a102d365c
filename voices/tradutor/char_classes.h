// The translator's fixed character classes. Only ASCII letters are letters
// here: accented letters never reach the rules, cleaning has already spelled
// them as a base letter followed by an accent mark (so the program's one case
// folding touches nothing but a-z in the translator's text).
#pragma once

#include <cstdint>
#include <string_view>

#include "lang/cp1252.h"

namespace placarim::tradutor {

using lang::LowerCase;
using lang::UpperCase;

constexpr bool IsVowel(char c) {
  switch (c) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 'a': case 'e': case 'i': case 'o': case 'u':
      return true;
    default:
      return false;
  }
}

// The 21 ASCII consonants in both cases, W and Y among them.
inline bool IsConsonant(char c) { return lang::IsConsonant(c, lang::Consonants::kAscii); }
inline bool IsLetter(char c) { return lang::IsAsciiLetter(c); }

constexpr bool IsAccentMark(char c) {
  return c == '"' || c == '\'' || c == '^' || c == '`' || c == '~';
}

inline constexpr std::string_view kSeparators = " !,.:;?";
constexpr bool IsSeparator(char c) { return kSeparators.find(c) != std::string_view::npos; }

constexpr bool IsFrontVowel(char c) { return c == 'E' || c == 'I' || c == 'e' || c == 'i'; }
constexpr bool IsOpenVowel(char c) { return c == 'A' || c == 'O' || c == 'a' || c == 'o'; }
constexpr bool IsUpperVowel(char c) {
  return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U';
}

// Marks the start of a stray character (control code or an unmapped byte):
// the word it begins is always spelled.
constexpr char kStrayMarker = '\x01';

}  // namespace placarim::tradutor
