// Compares the built-in voice's stress and e/o quality with espeak-ng's
// Brazilian Portuguese on words of the system's word list: the position of
// the stressed vowel counted from the end of the word, and, where both
// stress an e or an o, whether it is open or closed.
//
//   tradutor_espeak_agreement [WORDS [LIST]]
//
// WORDS (default 5,000) are taken evenly from LIST (default
// /usr/share/dict/brazilian). Prints the agreement and the disagreements.
#include <espeak-ng/speak_lib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/voices/tradutor/built_in_rules.h"
#include "platform/text_encoding.h"
#include "tools/vowel_lexicon/stressed_vowels.h"
#include "voices/tradutor/translator.h"


int main(int argc, char** argv) {
  const long wanted = argc > 1 ? std::atol(argv[1]) : 5000;
  const char* list_path = argc > 2 ? argv[2] : "/usr/share/dict/brazilian";
  std::vector<std::string> all;
  std::ifstream list(list_path);
  for (std::string line; std::getline(list, line);) {
    // Lower-case words of letters only: names and abbreviations are read differently.
    if (!line.empty() && std::islower(static_cast<unsigned char>(line[0])) &&
        line.find_first_of("-' .") == std::string::npos) {
      all.push_back(line);
    }
  }
  if (all.empty() || espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0) <= 0 ||
      espeak_SetVoiceByName("pt-br") != EE_OK) {
    std::fprintf(stderr, "no word list or no espeak-ng pt-br voice\n");
    return 1;
  }
  placarim::tradutor::Translator translator;
  if (!LoadBuiltInRules(translator)) return 1;
  long words = 0, stress_same = 0, stress_compared = 0, quality_same = 0, quality_compared = 0;
  std::vector<std::string> stress_diff, quality_diff;
  const size_t step = std::max<size_t>(1, all.size() / size_t(wanted));
  for (size_t i = 0; i < all.size() && words < wanted; i += step, ++words) {
    const std::string& word = all[i];
    const std::string codes = translator.TranslateToDiphoneCodes(placarim::platform::Utf8ToCp1252(word));
    const std::string phonemes = placarim::vowel_lexicon::EspeakPhonemes(word);
    const auto x = placarim::vowel_lexicon::FromDiphoneCodes(codes);
    const auto y = placarim::vowel_lexicon::FromEspeak(phonemes);
    const int a = x.from_end, b = y.from_end;
    if (a < 0 || b < 0) continue;  // a word of one vowel, or unmarked
    ++stress_compared;
    const std::string line = word + "  " + codes + "  " + phonemes;
    if (a != b) {
      stress_diff.push_back(line);
      continue;
    }
    ++stress_same;
    if (placarim::vowel_lexicon::Comparable(x, y)) {
      ++quality_compared;
      if (x.open == y.open) ++quality_same;
      else quality_diff.push_back(line);
    }
  }
  std::printf("%ld words; stress compared in %ld: same position %.1f %%; stressed e/o compared in %ld: "
              "same quality %.1f %%\n",
              words, stress_compared, 100.0 * double(stress_same) / double(std::max(1L, stress_compared)),
              quality_compared, 100.0 * double(quality_same) / double(std::max(1L, quality_compared)));
  const bool all_lines = std::getenv("PLACARIM_AGREEMENT_ALL") != nullptr;
  std::printf("stress differs:\n");
  for (size_t i = 0; i < stress_diff.size() && (all_lines || i < 40); ++i) std::printf("  %s\n", stress_diff[i].c_str());
  std::printf("e/o quality differs:\n");
  for (size_t i = 0; i < quality_diff.size() && (all_lines || i < 40); ++i) std::printf("  %s\n", quality_diff[i].c_str());
  return 0;
}
