// The translator's fixed character classes. Case folding here is ASCII only:
// accented letters never reach the rules, cleaning has already spelled them
// as a base letter followed by an accent mark.
#pragma once

#include <cstdint>

namespace placarim::tradutor {

constexpr char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
constexpr char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

constexpr bool IsVowel(char c) {
  switch (c) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 'a': case 'e': case 'i': case 'o': case 'u':
      return true;
    default:
      return false;
  }
}

constexpr bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsConsonant(char c) { return IsAsciiLetter(c) && !IsVowel(c); }
constexpr bool IsLetter(char c) { return IsAsciiLetter(c); }

constexpr bool IsAccentMark(char c) {
  return c == '"' || c == '\'' || c == '^' || c == '`' || c == '~';
}

constexpr bool IsSeparator(char c) {
  switch (c) {
    case ' ': case '!': case ',': case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}

constexpr bool IsFrontVowel(char c) { return c == 'E' || c == 'I' || c == 'e' || c == 'i'; }
constexpr bool IsOpenVowel(char c) { return c == 'A' || c == 'O' || c == 'a' || c == 'o'; }
constexpr bool IsUpperVowel(char c) {
  return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U';
}

// Marks the start of a stray character (control code or an unmapped byte):
// the word it begins is always spelled.
constexpr char kStrayMarker = '\x01';

}  // namespace placarim::tradutor
