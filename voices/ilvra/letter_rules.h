// Letter-to-phoneme rules, pronunciation exceptions and the stressed vowel.
// Words are Windows-1252, upper-cased (accented letters included) before the
// rules see them; outputs are the phoneme names of the voice database.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace placarim::ilvra {

struct LetterRule {
  std::string left, centre, right;  // at most 5 characters each
  std::string output;               // at most 20 characters; "&" splits phonemes
};

struct ExceptionEntry {  // one pronunciation exception: key and respelling
  std::string key, replacement;
  bool unstressed = false;  // said without stress, as a function word
};

struct RuleSet {
  static constexpr size_t kMaxExceptions = 15000;
  static constexpr size_t kMaxLeft = 5, kMaxCentre = 5, kMaxRight = 5, kMaxOutput = 20;
  // One list per first centre character (codes 32 to 255), in file order.
  std::array<std::vector<LetterRule>, 256> lists;
  std::vector<ExceptionEntry> exceptions;  // sorted by key, byte order
  void Clear();
};

// Parses one rule line (no comment check); the rule's centre may be empty.
LetterRule ParseIlvraRuleLine(std::string_view line);
// Rule text: ";" comments; every other line one rule.
void ParseIlvraRules(std::string_view text, RuleSet& rules, std::vector<std::string>* notices = nullptr);
// Exception text: "KEY=REPLACEMENT|..." lines; at most kMaxExceptions entries.
// "ÁTONA" after the bar ("PELO=PELO|ÁTONA") says the word carries no stress,
// as a contraction does in speech; anything else there is ignored.
void ParseIlvraExceptions(std::string_view text, RuleSet& rules, std::vector<std::string>* notices = nullptr);
// Empties the lists and loads both files; false when either cannot be read.
bool LoadIlvraRules(const std::string& rule_path, const std::string& exception_path, RuleSet& rules,
                    std::vector<std::string>* notices = nullptr);

// The exception replacement of an upper-case word, with a trailing S or M
// kept aside and retried; the word itself when none applies. `unstressed`,
// when given, tells whether the exception marks the word unstressed.
std::string ApplyExceptions(std::string_view upper_word, const RuleSet& rules, bool* unstressed = nullptr);

// 1-based position of the stressed vowel of a word (any case), 0 for none.
int FindStressedVowel(std::string_view word);
// Short words and a few others that carry no stress mark.
bool IsUnstressedWord(std::string_view upper_word);

// The phoneme lines of one upper-case word with its stress position (0: no
// mark), ending with the empty end-of-word line.
void ApplyRules(std::string_view upper_word, int stress, const RuleSet& rules,
                std::vector<std::string>& out);

// Contour lines ("555|word") to phoneme lines: a ";" header per token, the
// phonemes, an empty line per word, pauses, and "__" at the end; word-final
// r2 and s2 before a vowel become r and z.
std::vector<std::string> WordsToPhonemes(const std::vector<std::string>& contour_lines, const RuleSet& rules);

}  // namespace placarim::ilvra
