// Synthesizes carrier utterances with libespeak-ng at a flat pitch and cuts
// units out of them at the phoneme boundaries the library reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/difones/unit_inventory.h"

namespace placarim::difones {

struct Phoneme {
  std::string name;
  size_t start = 0;  // sample (at the library's rate) where it begins
};

struct Utterance {
  std::vector<int16_t> samples;
  std::vector<Phoneme> phonemes;
  int sample_rate = 0;
};

class EspeakCutter {
 public:
  // False when the library or its Brazilian Portuguese voice is missing.
  bool Start();
  void SetRate(int words_per_minute);
  Utterance Synthesize(const std::string& phoneme_input);
  // The unit as 8-bit unsigned samples at 11,025 Hz; nothing (with a
  // message in `why`) when the reported phonemes differ from the recipe's.
  // A final vowel longer than `vowel_cap_ms` is cut there, in its steady
  // middle: espeak-ng's stressed vowels are longer than a syllable in
  // running speech.
  // The end is chosen so that the unit trimmed by `trim` bytes (as the
  // voice plays it outside the stressed syllable) ends on a rising zero
  // crossing too.
  std::optional<std::vector<uint8_t>> Cut(const UnitRecipe& recipe, double vowel_cap_ms, size_t trim,
                                          std::string& why);

 private:
  int sample_rate_ = 0;
};

}  // namespace placarim::difones
