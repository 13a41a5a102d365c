// Character classes of the voice, on Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace placarim::ilvra {

inline uint8_t Byte(char c) { return static_cast<uint8_t>(c); }

// Upper-case base of a letter: the byte with a-z and 224-254 folded.
inline uint8_t UpperByte(char c) {
  const uint8_t b = Byte(c);
  if (b >= 'a' && b <= 'z') return b - 32;
  if (b >= 224 && b <= 254 && b != 247) return b - 32;
  return b;
}

// Letters of a text to be read: ASCII and the accented letters of Portuguese
// (and Ñ), in both cases.
inline bool IsTextLetter(char c) {
  switch (UpperByte(c)) {
    case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC7: case 0xC9: case 0xCA: case 0xCC:
    case 0xCD: case 0xD1: case 0xD3: case 0xD4: case 0xD5: case 0xD9: case 0xDA: case 0xDC:
      return true;
    default: {
      const uint8_t u = UpperByte(c);
      return u >= 'A' && u <= 'Z';
    }
  }
}

inline bool IsVowelLetter(char c) {
  switch (UpperByte(c)) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC9: case 0xCA: case 0xCC: case 0xCD:
    case 0xD3: case 0xD4: case 0xD5: case 0xD9: case 0xDA: case 0xDC:
      return true;
    default:
      return false;
  }
}

inline bool IsConsonantLetter(char c) {
  const uint8_t u = UpperByte(c);
  if (u == 0xC7 || u == 0xD1) return true;
  return u >= 'A' && u <= 'Z' && !IsVowelLetter(c);
}

inline bool IsOpenVowel(char c) {
  switch (UpperByte(c)) {
    case 'A': case 'O': case 0xC1: case 0xC2: case 0xD3: case 0xD4: return true;
    default: return false;
  }
}

inline bool IsFrontVowel(char c) {
  switch (UpperByte(c)) {
    case 'E': case 'I': case 0xC9: case 0xCD: return true;
    default: return false;
  }
}

inline bool IsLiquid(char c) { return UpperByte(c) == 'L' || UpperByte(c) == 'R'; }

inline bool IsSonorantFinal(char c) {
  switch (UpperByte(c)) {
    case 'L': case 'M': case 'N': case 'R': case 'Z': return true;
    default: return false;
  }
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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
// converted), or nothing when it cannot be read.
std::optional<std::string> ReadLanguageFile(const std::string& path);

// A decimal integer that fills the whole text (an optional sign first).
std::optional<int> ParseInteger(std::string_view text);

}  // namespace placarim::ilvra
