#include "voices/ilvra/letter_rules.h"

#include <algorithm>

#include "voices/ilvra/latin1.h"

namespace placarim::ilvra {

void RuleSet::Clear() {
  for (auto& list : lists) list.clear();
  exceptions.clear();
}

LetterRule ParseIlvraRuleLine(std::string_view line) {
  LetterRule rule;
  auto cut = [](std::string_view s, size_t n) { return std::string(s.substr(0, n)); };
  const size_t open = line.find('(');
  if (open == std::string_view::npos) {
    rule.left = cut(line, RuleSet::kMaxLeft);
    return rule;
  }
  rule.left = cut(line.substr(0, open), RuleSet::kMaxLeft);
  std::string_view rest = line.substr(open + 1);
  const size_t close = rest.find(')');
  rule.centre = cut(rest.substr(0, close), RuleSet::kMaxCentre);
  if (close == std::string_view::npos) return rule;
  rest = rest.substr(close + 1);
  const size_t eq = rest.find('=');
  rule.right = cut(rest.substr(0, eq), RuleSet::kMaxRight);
  if (eq == std::string_view::npos) return rule;
  rest = rest.substr(eq + 1);
  rule.output = cut(rest.substr(0, rest.find('|')), RuleSet::kMaxOutput);
  return rule;
}

void ParseIlvraRules(std::string_view text, RuleSet& rules, std::vector<std::string>* notices) {
  for (auto& list : rules.lists) list.clear();
  ForEachLine(text, [&](std::string_view line) {
    if (!line.empty() && line.front() == ';') return;
    LetterRule rule = ParseIlvraRuleLine(line);
    // A rule without a centre would match without advancing: it is refused.
    if (rule.centre.empty() || Byte(rule.centre[0]) < 32) {
      if (notices && !Trim(line).empty()) notices->push_back("rule without a centre refused: " + std::string(line));
      return;
    }
    rules.lists[Byte(rule.centre[0])].push_back(std::move(rule));
  });
}

void ParseIlvraExceptions(std::string_view text, RuleSet& rules, std::vector<std::string>* notices) {
  rules.exceptions.clear();
  bool full = false;
  ForEachLine(text, [&](std::string_view raw) {
    if (raw.empty() || full) return;
    if (rules.exceptions.size() >= RuleSet::kMaxExceptions) {
      full = true;
      if (notices) notices->push_back("exception table full at " + std::to_string(RuleSet::kMaxExceptions) +
                                      " entries; the rest of the file is refused");
      return;
    }
    const std::string line = lang::UpperCase(raw);
    const size_t eq = line.find('=');
    ExceptionEntry entry;
    if (eq == std::string::npos) {
      entry.key = line + "|";
    } else {
      entry.key = line.substr(0, eq);
      const size_t bar = line.find('|', eq + 1);
      entry.replacement = line.substr(eq + 1, bar == std::string::npos ? std::string::npos : bar - eq - 1);
      entry.unstressed = bar != std::string::npos && Trim(std::string_view(line).substr(bar + 1)) == "\xC1TONA";
    }
    rules.exceptions.push_back(std::move(entry));
  });
  std::stable_sort(rules.exceptions.begin(), rules.exceptions.end(),
                   [](const ExceptionEntry& a, const ExceptionEntry& b) { return a.key < b.key; });
}

bool LoadIlvraRules(const std::string& rule_path, const std::string& exception_path, RuleSet& rules,
                    std::vector<std::string>* notices) {
  rules.Clear();
  const auto rule_text = ReadLanguageFile(rule_path);
  if (!rule_text) return false;
  ParseIlvraRules(*rule_text, rules, notices);
  const auto exception_text = ReadLanguageFile(exception_path);
  if (!exception_text) return false;
  ParseIlvraExceptions(*exception_text, rules, notices);
  return true;
}

std::string ApplyExceptions(std::string_view upper_word, const RuleSet& rules, bool* unstressed) {
  std::string word(upper_word), suffix;
  const auto& table = rules.exceptions;
  if (unstressed) *unstressed = false;
  while (true) {
    auto it = std::lower_bound(table.begin(), table.end(), word,
                               [](const ExceptionEntry& e, const std::string& w) { return e.key < w; });
    if (it != table.end() && it->key == word) {
      if (unstressed) *unstressed = it->unstressed;
      return it->replacement + suffix;
    }
    if (word.size() > 1 && (word.back() == 'S' || word.back() == 'M')) {
      suffix.insert(suffix.begin(), word.back());
      word.pop_back();
      continue;
    }
    return word + suffix;
  }
}

int FindStressedVowel(std::string_view word_any_case) {
  const std::string word = lang::LowerCase(word_any_case);
  const int n = static_cast<int>(word.size());
  auto in = [](char c, std::string_view set) { return set.find(c) != std::string_view::npos; };
  // An acute or circumflex accent marks the stress even before a tilde
  // (órgão, bênção); a tilde alone marks it otherwise (irmã, coração).
  // à á â é ê í ó ô ú, then ã õ.
  static const std::string_view kAccented = "\xE0\xE1\xE2\xE9\xEA\xED\xF3\xF4\xFA";
  static const std::string_view kTilde = "\xE3\xF5";
  static const std::string_view kVowels = "aeiouwy\xFC";
  bool any_vowel = false;
  int tilde = 0;
  for (int k = n; k >= 1; --k) {
    if (in(word[k - 1], kAccented)) return k;
    if (tilde == 0 && in(word[k - 1], kTilde)) tilde = k;
    any_vowel |= in(word[k - 1], kVowels);
  }
  if (tilde != 0) return tilde;
  if (!any_vowel) return 0;
  enum State { kStart, kCons, kZ, kAeo, kAeoU, kParox, kParoxIu, kParoxIuU, kU, kI, kIU, kM };
  State state = kStart;
  int result = 0;
  for (int here = n; here >= 1; --here) {
    const char c = word[here - 1];
    const bool gq = c == 'g' || c == 'q';
    switch (state) {
      case kStart:
        if (in(c, "aeo")) { result = here; state = kAeo; }
        else if (c == 'i') { result = here; state = kI; }
        else if (c == 'u') { result = here; state = kU; }
        else if (c == 'm') state = kM;
        else if (c == 'z') state = kZ;  // talvez, arroz, capaz: the last vowel
        else if (in(c, "bcdfghjklnpqrt")) state = kCons;
        break;
      case kCons:
        if (in(c, kVowels)) return here;
        break;
      case kZ:
        if (in(c, "aeiou")) return here;
        break;
      case kAeo:
        if (c == 'u') state = kAeoU;
        else if (in(c, kVowels)) return here;
        else state = kParox;
        break;
      case kAeoU:
        if (gq) { result = here + 2; state = kParox; }
        else return here + 1;
        break;
      case kParox:
        if (in(c, "aeo")) return here;
        if (c == 'i' || c == 'u') { result = here; state = kParoxIu; }
        break;
      case kParoxIu:
        if (in(c, "aeo")) return here;
        if (c == 'u') state = kParoxIuU;
        else return result;
        break;
      case kParoxIuU:
        return gq ? here + 2 : here + 1;
      case kU:
        if (in(c, "aeio")) return here;
        return result;
      case kI:
        // A vowel before the final i is its diphthong's stress; a second one
        // before it starts another syllable (re-ais, i-de-ais, a-tu-ais).
        if (in(word[result - 1], "aeo") && (in(c, "aeo") || c == 'u')) return result;
        if (in(c, "aeo")) result = here;
        else if (c == 'u') state = kIU;
        else return result;
        break;
      case kIU:
        return gq ? here + 2 : here + 1;
      case kM:
        if (in(c, "iou")) return here;
        if (in(c, "ae")) { result = here; state = kAeo; }
        else state = kStart;
        break;
    }
  }
  return result;
}

bool IsUnstressedWord(std::string_view w) {
  if (w.size() <= 2) return true;
  return w == "POR" || w == "DAS" || w == "DOS" || w == "COM" || w == "N\xC3O" || w == "SIM";
}

namespace {

bool CentreMatches(std::string_view word, size_t p, const std::string& centre) {
  if (p + centre.size() > word.size()) return false;
  for (size_t i = 0; i < centre.size(); ++i) {
    if (centre[i] != lang::UpperCase(word[p + i])) return false;
  }
  return true;
}

// Positions are 1-based as in the rule notation; 0 and n+1 are outside.
bool LeftMatches(std::string_view word, long c, const std::string& pattern) {
  const long n = static_cast<long>(word.size());
  auto ch = [&](long k) { return word[k - 1]; };
  for (auto it = pattern.rbegin(); it != pattern.rend(); ++it) {
    const bool inside = c >= 1 && c <= n;
    switch (*it) {
      case '#':
        if (!inside || !IsVowelLetter(ch(c))) return false;
        --c;
        break;
      case '%':
        if (inside) return false;
        break;
      case ']':
        if (!inside || !IsOpenVowel(ch(c))) return false;
        --c;
        break;
      case '_':
        if (c == 0) break;
        if (!inside || !IsVowelLetter(ch(c))) return false;
        --c;
        break;
      case '|': {
        if (!inside) return false;
        const char u = lang::UpperCase(ch(c));
        if (u != 'N' && u != 'R' && u != 'S') return false;
        --c;
        break;
      }
      default:
        if (!inside || lang::UpperCase(ch(c)) != *it) return false;
        --c;
    }
  }
  return true;
}

bool RightMatches(std::string_view word, long c, const std::string& pattern) {
  const long n = static_cast<long>(word.size());
  auto ch = [&](long k) { return word[k - 1]; };
  for (char sym : pattern) {
    const bool inside = c >= 1 && c <= n;
    switch (sym) {
      case '#':
        if (!inside || !IsVowelLetter(ch(c))) return false;
        ++c;
        break;
      case '%':
        if (inside) return false;
        break;
      case '&':
        if (!inside || !IsSonorantFinal(ch(c))) return false;
        ++c;
        break;
      case '*':
        if (!inside || !IsConsonantLetter(ch(c)) || IsLiquid(ch(c))) return false;
        break;
      case '+':
        if (!inside || !IsFrontVowel(ch(c))) return false;
        ++c;
        break;
      case '[':
        if (c <= n && !(IsConsonantLetter(ch(c)) && lang::UpperCase(ch(c)) != 'H')) return false;
        break;
      case '\\':
        if (inside && lang::UpperCase(ch(c)) == 'S') ++c;
        break;
      default:
        if (!inside || lang::UpperCase(ch(c)) != sym) return false;
        ++c;
    }
  }
  return true;
}

}  // namespace

void ApplyRules(std::string_view word, int stress, const RuleSet& rules, std::vector<std::string>& out) {
  const size_t n = word.size();
  std::string current;
  bool marked = stress <= 0;
  size_t p = 1;
  while (p <= n) {
    const uint8_t first = Byte(lang::UpperCase(word[p - 1]));
    const LetterRule* winner = nullptr;
    if (first >= 32) {
      for (const LetterRule& rule : rules.lists[first]) {
        if (CentreMatches(word, p - 1, rule.centre) && LeftMatches(word, static_cast<long>(p) - 1, rule.left) &&
            RightMatches(word, static_cast<long>(p + rule.centre.size()), rule.right)) {
          winner = &rule;
          break;
        }
      }
    }
    if (winner == nullptr) {
      ++p;
      continue;
    }
    for (char c : winner->output) {
      if (!marked && static_cast<int>(p) >= stress) {
        current += '>';
        marked = true;
      }
      if (c == '&') {
        out.push_back(std::move(current));
        current.clear();
      } else {
        current += c;
      }
    }
    if (!winner->output.empty()) {
      out.push_back(std::move(current));
      current.clear();
    }
    p += winner->centre.size();
  }
  out.push_back(std::move(current));
}

namespace {

bool IsPauseToken(char c) {
  switch (c) {
    case ' ': case '!': case '(': case ')': case ',': case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}

// A phoneme line that begins with a vowel or glide, marks left aside.
bool StartsWithVowel(std::string_view line) {
  while (!line.empty() && (line.front() == '>' || Byte(line.front()) == 0xA8)) line.remove_prefix(1);
  if (line.empty()) return false;
  switch (line.front()) {
    case 'a': case 'e': case 'i': case 'o': case 'u': case 'w': case 'y':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<std::string> WordsToPhonemes(const std::vector<std::string>& contour_lines, const RuleSet& rules) {
  std::vector<std::string> out;
  out.reserve(contour_lines.size() * 8);
  for (const std::string& line : contour_lines) {
    out.push_back(";" + line);
    const std::string token = line.size() > 4 ? lang::UpperCase(std::string_view(line).substr(4)) : std::string();
    if (token.empty()) {
      out.emplace_back("__");
      out.emplace_back();
    } else if (IsPauseToken(token[0])) {
      out.push_back(token[0] == ' ' ? std::string("_") : std::string("_") + token[0]);
    } else {
      bool unstressed = false;
      const std::string word = ApplyExceptions(token, rules, &unstressed);
      const int stress = unstressed || IsUnstressedWord(word) ? 0 : FindStressedVowel(word);
      ApplyRules(word, stress, rules, out);
    }
  }
  out.emplace_back("__");
  // A word-final r or s before a word that starts with a vowel joins it.
  for (size_t i = 3; i + 1 < out.size(); ++i) {
    if (out[i].empty() || out[i][0] != ';') continue;
    if (!StartsWithVowel(out[i + 1])) continue;
    std::string& last = out[i - 2];
    if (last == "r2") last = "r";
    else if (last == "s2") last = "z";
  }
  return out;
}

}  // namespace placarim::ilvra
