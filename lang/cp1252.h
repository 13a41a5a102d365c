// Windows-1252 character classes and the one case folding of the program.
// Text inside the program is Windows-1252 bytes; nothing here asks the locale.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace placarim::lang {

inline uint8_t Byte(char c) { return static_cast<uint8_t>(c); }

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool IsAsciiVowel(char c) {
  switch (c) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 'a': case 'e': case 'i': case 'o': case 'u':
      return true;
    default:
      return false;
  }
}

namespace detail {
// Small letters and their capitals: a-z, à to þ (not ÷), š œ ž ÿ.
constexpr std::array<uint8_t, 256> MakeUpper() {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(c);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<uint8_t>(c - 32);
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) t[c] = static_cast<uint8_t>(c - 32);
  }
  t[0x9A] = 0x8A;
  t[0x9C] = 0x8C;
  t[0x9E] = 0x8E;
  t[0xFF] = 0x9F;
  return t;
}
constexpr std::array<uint8_t, 256> MakeLower() {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(c);
  const auto upper = MakeUpper();
  for (int c = 0; c < 256; ++c) {
    if (upper[c] != c) t[upper[c]] = static_cast<uint8_t>(c);
  }
  return t;
}
inline constexpr std::array<uint8_t, 256> kUpper = MakeUpper();
inline constexpr std::array<uint8_t, 256> kLower = MakeLower();
}  // namespace detail

// Capital of a small letter; every other byte unchanged. ÷ is not a letter
// and stays ÷; ÿ becomes Ÿ.
inline char UpperCase(char c) { return static_cast<char>(detail::kUpper[Byte(c)]); }
inline char LowerCase(char c) { return static_cast<char>(detail::kLower[Byte(c)]); }
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// Which accented letters count as letters of Portuguese text.
enum class Accents {
  kCurrent,      // à á â ã ç é ê í ó ô õ ú and ñ, in both cases
  kWithOldMarks  // those and ì ù ü (texts in the older spelling), in both cases
};
bool IsAccentedLetter(char c, Accents accents);
// An ASCII letter or an accented letter of the set.
inline bool IsPortugueseLetter(char c, Accents accents) {
  return IsAsciiLetter(c) || IsAccentedLetter(c, accents);
}
// a e i o u and the accented vowels (with ì ù ü), in both cases.
bool IsPortugueseVowel(char c);
// The letter without its accent (ã is a, Ç is C); any other byte unchanged.
char BaseLetter(char c);

// Which letters a run must be made of to be spelled rather than pronounced
// ("CPF", "BH"). Readers differ only in the rare letters:
enum class Consonants {
  kPlain,         // B-D F-H J-N P-T V X Z
  kPlainAndW,     // those and W
  kAscii,         // every ASCII letter but the vowels (with W and Y)
  kAsciiCedilla,  // those and Ç Ñ
};
bool IsConsonant(char c, Consonants set);
// True when `word` is not empty and every character is a consonant of `set`
// (or one of `also`, for a reader whose words may hold marks): such a word is
// spelled letter by letter.
bool IsConsonantRun(std::string_view word, Consonants set, std::string_view also = {});

}  // namespace placarim::lang
