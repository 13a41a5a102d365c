#include "voices/ilvra/phoneme_set.h"

#include <algorithm>

#include "lang/phonemes.h"

namespace placarim::ilvra {

const std::vector<std::string_view>& PhonemeNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> all;
    for (const lang::Phoneme& p : lang::IlvraPhonemes()) all.push_back(p.name);
    all.push_back(lang::kPausePhoneme);
    return all;
  }();
  return names;
}

bool IsPhonemeName(std::string_view name) {
  const auto& names = PhonemeNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsVowelPhoneme(std::string_view name) {
  const auto phonemes = lang::IlvraPhonemes();
  return std::any_of(phonemes.begin(), phonemes.end(),
                     [&](const lang::Phoneme& p) { return p.vowel && p.name == name; });
}

}  // namespace placarim::ilvra
