// The letter rules of "regras.rgr": context-sensitive rewrites of the letters
// of a word into diphone codes, kept in one list per first centre character.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace placarim::tradutor {

struct LetterRule {
  std::string left;    // at most 5 characters, read right to left
  std::string centre;  // at most 5, upper case; the letters the rule consumes
  std::string right;   // at most 5, read left to right
  std::string output;  // at most 11, diphone code text
};

// Splits one line of the rule file into its fields, dropping characters
// beyond each field's maximum. Lines lacking "(", ")" or "=" leave the later
// fields empty.
LetterRule ParseRuleLine(std::string_view line);

class LetterRules {
 public:
  // Characters 32 (space) to 95 (underscore) have a list each.
  static constexpr int kFirstListChar = 32;
  static constexpr int kListCount = 64;

  // Replaces the rules with the file's. False when the file cannot be read
  // (the lists are then empty). Lines with an empty centre or a first centre
  // character outside 32 to 95 are skipped: they could never be tried, or
  // would let rule application stand still.
  bool Load(const std::string& path);
  // The same from text already in memory (tests, fuzzing).
  void LoadFromText(std::string_view text);
  void Free();

  // The rules whose centre starts with `c`, in order of trial; empty for a
  // character outside 32 to 95.
  const std::vector<LetterRule>& ListFor(char c) const;
  size_t size() const;

 private:
  void Add(LetterRule rule);

  std::array<std::vector<LetterRule>, kListCount> lists_;
};

}  // namespace placarim::tradutor
