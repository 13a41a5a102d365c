#include "voices/tradutor/stress.h"

#include "voices/tradutor/char_classes.h"

namespace placarim::tradutor {
namespace {

enum class State { End, Oxy, AfterM, AfterS, FinalIu, Parox, InnerIu };

bool IsAeo(char c) { return c == 'a' || c == 'e' || c == 'o'; }
bool IsIu(char c) { return c == 'i' || c == 'u'; }

// Positions are 0-based here; `at` gives 0 outside the word.
char At(const std::string& w, size_t i) { return i < w.size() ? w[i] : '\0'; }

// The "u" of gu/qu is not a vowel of its own: the stress falls after it.
bool IsSilentU(const std::string& w, size_t i) {
  return w[i] == 'u' && i > 0 && (w[i - 1] == 'g' || w[i - 1] == 'q');
}

// The u of que, qui, gue, gui is only a spelling: parque is stressed on its
// a, never on that u, and words ending in -que or -gue are paroxytones.
bool IsSpellingU(const std::string& w, size_t i) {
  const char next = LowerCase(At(w, i + 1));
  return IsSilentU(w, i) && (next == 'e' || next == 'i');
}

// In rainha, saindo, ruim... the i or u before a syllable-closing l, m, n, r, z
// is the stressed one.
bool ClosedSyllableFollows(const std::string& w, size_t i) {
  const char l = At(w, i + 2);
  const char next = At(w, i + 3);
  if (l != 'l' && l != 'm' && l != 'n' && l != 'r' && l != 'z') return false;
  if (l == 'n' && next == 'h') return true;
  if (l == 'r' && next == 'r') return true;
  return IsConsonant(next) && next != 'h';
}

void Mark(std::string& w, size_t i) { w[i] = UpperCase(w[i]); }

}  // namespace

void MarkStress(std::string& w) {
  State state = State::End;
  for (size_t k = w.size(); k-- > 0;) {
    const char c = w[k];
    switch (state) {
      case State::End:
        if (IsAeo(c)) state = State::Parox;
        else if (IsIu(c)) state = State::FinalIu;
        else if (c == 'l' || c == 'n' || c == 'r' || c == 'x' || c == 'z') state = State::Oxy;
        else if (c == 'm') state = State::AfterM;
        else if (c == 's') state = State::AfterS;
        break;
      case State::Oxy:
        if (IsVowel(c)) return Mark(w, k);
        break;
      case State::AfterM:
        if (c == 'a' || c == 'e') state = State::Parox;
        else if (IsIu(c)) state = State::FinalIu;
        else if (c == 'o') return Mark(w, k);
        break;
      case State::AfterS:
        if (IsAeo(c)) state = State::Parox;
        else if (IsIu(c)) state = State::FinalIu;
        break;
      case State::FinalIu:
        if (IsConsonant(c) || IsSilentU(w, k)) return Mark(w, k + 1);
        return Mark(w, k);
      case State::Parox:
        if (IsAeo(c)) return Mark(w, k);
        if (IsIu(c) && !IsSpellingU(w, k)) state = State::InnerIu;
        break;
      case State::InnerIu:
        if (IsConsonant(c) || IsSilentU(w, k) || ClosedSyllableFollows(w, k)) return Mark(w, k + 1);
        return Mark(w, k);
    }
  }
}

}  // namespace placarim::tradutor
