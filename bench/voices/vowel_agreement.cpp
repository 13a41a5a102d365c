// Open/closed agreement with espeak-ng's Brazilian Portuguese on the stressed
// e or o of running text, for both voices: every word of the held-out
// entries of a fortune file (entries no exception was written from), counted
// as often as it occurs. Prints the agreement and the commonest
// disagreements of each voice.
//
//   vowel_agreement [FORTUNES]   (default /usr/share/games/fortunes/brasil)
//
// PLACARIM_ILVRA_DIR and PLACARIM_DIFONES_DIR name other built language
// files to compare, such as an older build's.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "lang/cp1252.h"
#include "platform/text_encoding.h"
#include "tools/vowel_lexicon/stressed_vowels.h"
#include "voices/ilvra/letter_rules.h"
#include "voices/tradutor/translator.h"

namespace {

using namespace placarim;

struct Tally {
  long judged = 0, compared = 0, same = 0;
  std::map<std::string, long> differing;
  void Add(const std::string& word, const vowel_lexicon::Stressed& ours, const vowel_lexicon::Stressed& reference) {
    ++judged;
    if (!vowel_lexicon::Comparable(ours, reference)) return;
    ++compared;
    if (ours.open == reference.open) ++same;
    else ++differing[word];
  }
  void Print(const char* voice) const {
    std::printf("%s: stressed e/o in %ld words of running text, compared in %ld: same quality %.2f %%\n", voice,
                judged, compared, 100.0 * double(same) / double(std::max(1L, compared)));
    std::vector<std::pair<long, std::string>> ranked;
    for (const auto& [w, n] : differing) ranked.push_back({-n, w});
    std::sort(ranked.begin(), ranked.end());
    std::printf("  commonest differences:");
    for (size_t i = 0; i < ranked.size() && i < 30; ++i) std::printf(" %s(%ld)", ranked[i].second.c_str(), -ranked[i].first);
    std::printf("\n");
  }
};

std::string Dir(const char* variable, const char* built) {
  const char* other = std::getenv(variable);
  return other ? other : built;
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "/usr/share/games/fortunes/brasil";
  const auto entries = vowel_lexicon::ReadFortunes(path);
  const std::string ilvra_dir = Dir("PLACARIM_ILVRA_DIR", PLACARIM_ILVRA_BUILD_DIR);
  const std::string difones_dir = Dir("PLACARIM_DIFONES_DIR", PLACARIM_DIFONES_BUILD_DIR);
  ilvra::RuleSet rules;
  tradutor::Translator translator;
  if (entries.empty() || !ilvra::LoadIlvraRules(ilvra_dir + "/portug.nrl", ilvra_dir + "/portug.exc", rules) ||
      !translator.LoadLetterRules(difones_dir + "/regras.rgr") ||
      !translator.LoadDiphoneExceptions(difones_dir + "/portug.exc") || !vowel_lexicon::InitialiseEspeak()) {
    std::fprintf(stderr, "no text in %s, or the voices' files or espeak-ng's pt-br voice could not be loaded\n", path);
    return 1;
  }
  std::set<std::string> dictionary;
  std::ifstream list(argc > 2 ? argv[2] : "/usr/share/dict/brazilian");
  for (std::string w; std::getline(list, w);) dictionary.insert(w);
  std::map<std::string, vowel_lexicon::Stressed> reference_of;
  Tally ilvra, diphone, ilvra_listed, diphone_listed;
  long words = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!vowel_lexicon::HeldOut(i)) continue;
    for (const auto& word : vowel_lexicon::LowerCaseWords(entries[i])) {
      ++words;
      auto it = reference_of.find(word);
      if (it == reference_of.end()) {
        it = reference_of.emplace(word, vowel_lexicon::FromEspeak(vowel_lexicon::EspeakPhonemes(word))).first;
      }
      const auto& reference = it->second;
      if (!reference.Judged()) continue;
      const std::string cp = platform::Utf8ToCp1252(word);
      const auto by_ilvra =
          vowel_lexicon::FromIlvraLines(ilvra::WordsToPhonemes({"555|" + lang::UpperCase(cp)}, rules));
      const auto by_diphone = vowel_lexicon::FromDiphoneCodes(translator.TranslateToDiphoneCodes(cp));
      ilvra.Add(word, by_ilvra, reference);
      diphone.Add(word, by_diphone, reference);
      if (dictionary.count(word)) {
        ilvra_listed.Add(word, by_ilvra, reference);
        diphone_listed.Add(word, by_diphone, reference);
      }
    }
  }
  std::printf("%ld words of held-out text (%zu distinct)\n", words, reference_of.size());
  ilvra.Print("Ilvra");
  diphone.Print("built-in voice");
  ilvra_listed.Print("Ilvra, listed words");
  diphone_listed.Print("built-in voice, listed words");
  return 0;
}
