#include "lang/cp1252.h"

namespace placarim::lang {
namespace {

// Capitals of the accented letters, each with the base letter it carries.
struct Accented {
  uint8_t capital;
  char base;
  bool old_mark;  // only in the older spelling (or foreign)
  bool vowel;
};
constexpr Accented kAccented[] = {
    {0xC0, 'A', false, true}, {0xC1, 'A', false, true}, {0xC2, 'A', false, true}, {0xC3, 'A', false, true},
    {0xC7, 'C', false, false}, {0xC9, 'E', false, true}, {0xCA, 'E', false, true}, {0xCC, 'I', true, true},
    {0xCD, 'I', false, true}, {0xD1, 'N', false, false}, {0xD3, 'O', false, true}, {0xD4, 'O', false, true},
    {0xD5, 'O', false, true}, {0xD9, 'U', true, true},  {0xDA, 'U', false, true}, {0xDC, 'U', true, true},
};

const Accented* FindAccented(char c) {
  const uint8_t capital = Byte(UpperCase(c));
  for (const Accented& a : kAccented) {
    if (a.capital == capital) return &a;
  }
  return nullptr;
}

}  // namespace

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperCase(c);
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerCase(c);
  return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperCase(a[i]) != UpperCase(b[i])) return false;
  }
  return true;
}

bool IsAccentedLetter(char c, Accents accents) {
  const Accented* a = FindAccented(c);
  return a != nullptr && (accents == Accents::kWithOldMarks || !a->old_mark);
}

bool IsPortugueseVowel(char c) {
  if (IsAsciiVowel(c)) return true;
  const Accented* a = FindAccented(c);
  return a != nullptr && a->vowel;
}

char BaseLetter(char c) {
  const Accented* a = FindAccented(c);
  if (a == nullptr) return c;
  return Byte(c) >= 0xE0 ? LowerCase(a->base) : a->base;
}

bool IsConsonant(char c, Consonants set) {
  const char u = UpperCase(c);
  if (set == Consonants::kAsciiCedilla && (Byte(u) == 0xC7 || Byte(u) == 0xD1)) return true;
  if (u < 'A' || u > 'Z' || IsAsciiVowel(u)) return false;
  if (u == 'W') return set != Consonants::kPlain;
  if (u == 'Y') return set == Consonants::kAscii || set == Consonants::kAsciiCedilla;
  return true;
}

bool IsConsonantRun(std::string_view word, Consonants set, std::string_view also) {
  if (word.empty()) return false;
  for (char c : word) {
    if (!IsConsonant(c, set) && also.find(c) == std::string_view::npos) return false;
  }
  return true;
}

}  // namespace placarim::lang
