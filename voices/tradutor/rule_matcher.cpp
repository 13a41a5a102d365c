#include "voices/tradutor/rule_matcher.h"

#include "voices/tradutor/char_classes.h"

namespace placarim::tradutor {
namespace {

// A word seen through 1-based positions; 0 and n+1 are the boundaries.
struct WordView {
  std::string_view w;
  int n() const { return static_cast<int>(w.size()); }
  bool Inside(int c) const { return c >= 1 && c <= n(); }
  char At(int c) const { return Inside(c) ? w[c - 1] : '\0'; }
  bool VowelOrMark(int c) const { return Inside(c) && (IsVowel(At(c)) || IsAccentMark(At(c))); }
};

bool CentreMatches(const LetterRule& rule, const WordView& v, int p) {
  for (size_t i = 0; i < rule.centre.size(); ++i) {
    const int pos = p + static_cast<int>(i);
    if (!v.Inside(pos) || UpperCase(v.At(pos)) != rule.centre[i]) return false;
  }
  return true;
}

bool LeftSymbolMatches(char symbol, const WordView& v, int& c) {
  switch (symbol) {
    case '#':
      if (!v.VowelOrMark(c)) return false;
      do --c; while (v.VowelOrMark(c));
      return true;
    case '%':
      return c == 0 || c == v.n() + 1;
    case ']':
      if (!v.Inside(c)) return false;
      if (IsOpenVowel(v.At(c))) {
        c -= 1;
        return true;
      }
      if (IsAccentMark(v.At(c)) && IsOpenVowel(v.At(c - 1))) {
        c -= 2;
        return true;
      }
      return false;
    case '_':
      if (c == 0) return true;
      if (!v.Inside(c)) return false;
      if (IsVowel(v.At(c))) {
        c -= 1;
        return true;
      }
      if (IsAccentMark(v.At(c)) && IsVowel(v.At(c - 1))) {
        c -= 2;
        return true;
      }
      return false;
    case '|': {
      const char x = v.At(c);
      if (c == 0 || (x != 'n' && x != 'r' && x != 's')) return false;
      c -= 1;
      return true;
    }
    default:
      if (c == 0 || !v.Inside(c) || UpperCase(v.At(c)) != symbol) return false;
      c -= 1;
      return true;
  }
}

bool RightSymbolMatches(char symbol, const WordView& v, int& c) {
  switch (symbol) {
    case '#':
      if (!v.VowelOrMark(c)) return false;
      do ++c; while (v.VowelOrMark(c));
      return true;
    case '%':
      return c == 0 || c == v.n() + 1;
    case '&': {
      const char x = v.At(c);
      if (!v.Inside(c) || (x != 'l' && x != 'm' && x != 'n' && x != 'r' && x != 'z')) return false;
      c += 1;
      return true;
    }
    case '*': {
      const char x = LowerCase(v.At(c));
      return v.Inside(c) && IsConsonant(x) && x != 'r' && x != 'l';
    }
    case '+':
      if (!v.Inside(c) || !IsFrontVowel(v.At(c))) return false;
      c += IsAccentMark(v.At(c + 1)) ? 2 : 1;
      return true;
    case '[':
      return c == v.n() + 1 || (v.Inside(c) && IsConsonant(v.At(c)) && LowerCase(v.At(c)) != 'h');
    case '\\':
      if (v.Inside(c) && v.At(c) == 's') c += 1;
      return true;
    default:
      if (!v.Inside(c) || UpperCase(v.At(c)) != symbol) return false;
      c += 1;
      return true;
  }
}

}  // namespace

bool RuleMatches(const LetterRule& rule, std::string_view word, int p) {
  const WordView v{word};
  if (!CentreMatches(rule, v, p)) return false;
  int c = p - 1;
  for (size_t i = rule.left.size(); i-- > 0;) {
    if (!LeftSymbolMatches(rule.left[i], v, c)) return false;
  }
  c = p + static_cast<int>(rule.centre.size());
  for (char symbol : rule.right) {
    if (!RightSymbolMatches(symbol, v, c)) return false;
  }
  return true;
}

}  // namespace placarim::tradutor
