#include "voices/tradutor/translator.h"

#include "voices/tradutor/char_classes.h"
#include "voices/tradutor/rule_matcher.h"
#include "voices/tradutor/stress.h"
#include "voices/tradutor/transliteration.h"

namespace placarim::tradutor {
namespace {

bool IsWordChar(char c) { return IsLetter(c) || IsAccentMark(c); }

// Words without vowels (and lone separators) are spelled.
bool OnlyConsonantsOrSeparators(std::string_view word) {
  return lang::IsConsonantRun(word, lang::Consonants::kAscii, kSeparators);
}

// Upper-cases the first vowel of a rule's output, so that a stressed letter
// makes a stressed unit.
void StressOutput(std::string& output) {
  for (char& c : output) {
    if (IsVowel(c)) {
      c = UpperCase(c);
      return;
    }
  }
}

// A word written with an acute or circumflex accent is stressed there; a
// tilde after it (órgão, órfã, bênção) only nasalises its vowel, which is
// then played as an unstressed unit, as in the -am of falaram.
void UnstressTildesAfterAccent(std::string_view word, std::string& codes) {
  const size_t accent = word.find_first_of("'^");
  if (accent == std::string_view::npos || word.find('~', accent) == std::string_view::npos) return;
  bool past_stress = false;
  for (size_t i = 0; i < codes.size(); ++i) {
    if (!IsUpperVowel(codes[i])) continue;
    if (past_stress && i + 1 < codes.size() && codes[i + 1] == '~') codes[i] = LowerCase(codes[i]);
    past_stress = true;
  }
}

}  // namespace

std::string SpellWord(std::string_view word) {
  std::string codes;
  for (char c : word) {
    codes += "[ /_";
    codes += c;
    codes += ']';
  }
  return codes;
}

std::string Translator::ApplyRules(std::string_view word) const {
  const int n = static_cast<int>(word.size());
  std::string codes = "[";
  int p = 1;
  while (p <= n) {
    const char letter = word[p - 1];
    const char c = UpperCase(letter);
    std::string output = " /_";
    output += c;
    int advance = 1;
    for (const LetterRule& rule : rules_.ListFor(c)) {
      if (RuleMatches(rule, word, p)) {
        output = rule.output;
        advance = static_cast<int>(rule.centre.size());
        break;
      }
    }
    if (IsUpperVowel(letter)) StressOutput(output);
    codes += output;
    p += advance;
    if (p <= n) codes += '/';
  }
  codes += ']';
  return codes;
}

std::string Translator::TranslateWord(std::string word, int vowels, bool accented) const {
  word = exceptions_.Lookup(word);
  const bool ends_in_l = !word.empty() && word.back() == 'l';
  if (!accented && (vowels > 1 || (vowels == 1 && ends_in_l))) MarkStress(word);
  if (word.empty()) return {};
  if (word[0] == kStrayMarker || OnlyConsonantsOrSeparators(word)) return SpellWord(word);
  std::string codes = ApplyRules(word);
  UnstressTildesAfterAccent(word, codes);
  return codes;
}

std::string Translator::TranslateToDiphoneCodes(std::string_view text) const {
  const std::string clean = CleanText(text);
  std::string codes;
  size_t i = 0;
  while (true) {
    while (i < clean.size() && clean[i] == ' ') ++i;
    if (i >= clean.size()) break;
    const char first = LowerCase(clean[i]);
    std::string word;
    int vowels = 0;
    bool accented = false;
    if (IsLetter(first)) {
      while (i < clean.size() && IsWordChar(clean[i])) {
        const char c = LowerCase(clean[i]);
        if (IsVowel(c)) ++vowels;
        if (!word.empty() && IsAccentMark(c) && c != '"') accented = true;
        word += c;
        ++i;
      }
    } else {
      word = first;
      ++i;
    }
    codes += TranslateWord(std::move(word), vowels, accented);
  }
  return codes;
}

}  // namespace placarim::tradutor
