// The phonemes of the Ilvra voice: the names its letter rules write, the
// units its diphone database is cut into, and how espeak-ng names each one
// when the voice is made from its speech.
#pragma once

#include <span>
#include <string_view>

namespace placarim::lang {

struct Phoneme {
  std::string_view name;    // as the letter rules write it
  std::string_view espeak;  // espeak-ng's Brazilian Portuguese mnemonic
  bool voiced = false;
  bool vowel = false;  // a syllable nucleus: an oral or nasal vowel
};

// The silence between words and at the ends, which is not a sound of its own.
inline constexpr std::string_view kPausePhoneme = "_";

// Every phoneme but the pause, in a fixed order.
std::span<const Phoneme> IlvraPhonemes();

}  // namespace placarim::lang
