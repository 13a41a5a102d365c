// The units of the voice's database: every syllable, vowel, consonant and
// vowel-glide unit that the letter rules' codes decompose into, each with the
// espeak-ng phonemes it is cut from.
#pragma once

#include <string>
#include <vector>

namespace placarim::difones {

struct UnitRecipe {
  std::string name;                  // index name: "$" + upper-case code, "CIRC"/"TIL" marks
  std::string carrier;               // espeak-ng phoneme input, without [[ ]]
  std::vector<std::string> phonemes; // the phonemes espeak-ng reports for the carrier
  size_t first = 0;                  // index of the unit's first phoneme in `phonemes`
  size_t count = 1;                  // phonemes in the unit
  double start_fraction = 0.0;       // how far into the first phoneme the cut starts
  bool ends_in_vowel = false;        // the last phoneme is a vowel whose length is capped
};

std::vector<UnitRecipe> UnitInventory();

}  // namespace placarim::difones
