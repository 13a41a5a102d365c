// Character classes of the voice, on Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lang/cp1252.h"

namespace placarim::ilvra {

using lang::Byte;
using lang::IsDigit;

// Letters of a text to be read: ASCII and the accented letters of Portuguese
// (and Ñ), in both cases, the older spelling's included.
inline bool IsTextLetter(char c) { return lang::IsPortugueseLetter(c, lang::Accents::kWithOldMarks); }
inline bool IsVowelLetter(char c) { return lang::IsPortugueseVowel(c); }
inline bool IsConsonantLetter(char c) { return lang::IsConsonant(c, lang::Consonants::kAsciiCedilla); }

inline bool IsOpenVowel(char c) {
  switch (lang::Byte(lang::UpperCase(c))) {
    case 'A': case 'O': case 0xC1: case 0xC2: case 0xD3: case 0xD4: return true;
    default: return false;
  }
}

inline bool IsFrontVowel(char c) {
  switch (lang::Byte(lang::UpperCase(c))) {
    case 'E': case 'I': case 0xC9: case 0xCD: return true;
    default: return false;
  }
}

inline bool IsLiquid(char c) { return lang::UpperCase(c) == 'L' || lang::UpperCase(c) == 'R'; }

inline bool IsSonorantFinal(char c) {
  switch (lang::Byte(lang::UpperCase(c))) {
    case 'L': case 'M': case 'N': case 'R': case 'Z': return true;
    default: return false;
  }
}

inline std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

// Splits a text into lines, without their line ends.
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    f(line);
    start = end + 1;
  }
}

// A language file's text as Windows-1252 (files saved as UTF-8 are
// converted), or nothing when it cannot be read or is not a regular file.
std::optional<std::string> ReadLanguageFile(const std::string& path);

// A decimal integer that fills the whole text (an optional sign first).
std::optional<int> ParseInteger(std::string_view text);

}  // namespace placarim::ilvra
