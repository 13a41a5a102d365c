// The phoneme names the voice's rules write and its diphone database holds.
#pragma once

#include <string_view>
#include <vector>

namespace placarim::ilvra {

// Every phoneme name, the pause "_" included.
const std::vector<std::string_view>& PhonemeNames();
bool IsPhonemeName(std::string_view name);
bool IsVowelPhoneme(std::string_view name);  // syllable nuclei: oral and nasal vowels

}  // namespace placarim::ilvra
