#include "voices/ilvra/phoneme_set.h"

#include <algorithm>

namespace placarim::ilvra {
namespace {

constexpr std::string_view kVowels[] = {"a", "@", "e", "ee", "i", "o", "oo", "u", "am", "em", "im", "om", "um"};

}  // namespace

const std::vector<std::string_view>& PhonemeNames() {
  static const std::vector<std::string_view> names = {
      "p", "b", "t", "d", "k", "g", "f", "v", "s", "z", "x", "j", "m", "n", "nh", "l", "lh", "r", "rr",
      "r2", "s2", "tx", "dj", "a", "@", "e", "ee", "i", "o", "oo", "u", "am", "em", "im", "om", "um",
      "y", "w", "_"};
  return names;
}

bool IsPhonemeName(std::string_view name) {
  const auto& names = PhonemeNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsVowelPhoneme(std::string_view name) {
  return std::find(std::begin(kVowels), std::end(kVowels), name) != std::end(kVowels);
}

}  // namespace placarim::ilvra
