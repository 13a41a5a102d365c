// Text to diphone codes: cleaning, word splitting, exception lookup, stress
// marking and letter rules, one word at a time. Each word becomes
// "[" + unit codes joined by "/" + "]"; words without vowels and stray
// characters are spelled as recorded characters.
#pragma once

#include <string>
#include <string_view>

#include "voices/tradutor/exception_table.h"
#include "voices/tradutor/letter_rules.h"

namespace placarim::tradutor {

class Translator {
 public:
  bool LoadLetterRules(const std::string& path) {
    exceptions_.Clear();
    return rules_.Load(path);
  }
  bool LoadDiphoneExceptions(const std::string& path) { return exceptions_.Load(path); }
  void FreeLetterRules() { rules_.Free(); }

  LetterRules& rules() { return rules_; }
  ExceptionTable& exceptions() { return exceptions_; }

  std::string TranslateToDiphoneCodes(std::string_view text) const;

  // The codes of one word already cleaned and lower-cased (stress marks may be
  // upper-case vowels): "[" + outputs joined by "/" + "]".
  std::string ApplyRules(std::string_view word) const;

 private:
  std::string TranslateWord(std::string word, int vowels, bool accented) const;

  LetterRules rules_;
  ExceptionTable exceptions_;
};

// Spells each character as a recorded character: "[ /_" + c + "]".
std::string SpellWord(std::string_view word);

}  // namespace placarim::tradutor
