// Accuracy of the shipped letter rules and exceptions against espeak-ng's
// Brazilian Portuguese transcription, on 5,000 words drawn with a fixed seed
// from the system word list: phoneme error rate, stressed syllable, and the
// commonest disagreements (printed, so each can be judged).
#include <espeak-ng/speak_lib.h>
#include <gtest/gtest.h>

#include "lang/cp1252.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "voices/ilvra/letter_rules.h"
#include "voices/ilvra/phoneme_set.h"
#include "tests/support/espeak_reference.h"
#include "platform/text_encoding.h"

namespace placarim::ilvra {
namespace {

using namespace reference;

Transcription Ours(const std::string& cp1252_word, const RuleSet& rules) {
  const auto lines = WordsToPhonemes({"555|" + cp1252_word}, rules);
  Transcription out;
  int vowels = 0;
  // lines: header, phonemes..., empty end-of-word line, "__"
  for (size_t i = 1; i + 2 < lines.size(); ++i) {
    std::string p = lines[i];
    const bool stressed = !p.empty() && p[0] == '>';
    p.erase(std::remove_if(p.begin(), p.end(), [](char c) { return c == '>' || static_cast<uint8_t>(c) == 0xA8; }),
            p.end());
    if (p.empty()) continue;
    const bool vowel = IsVowelPhoneme(p);
    if (vowel) ++vowels;
    if (stressed) {
      const bool glide_after_vowel = (p == "y" || p == "w") && !out.phonemes.empty() &&
                                     IsVowelPhoneme(out.phonemes.back());
      out.stressed_syllable = vowel || glide_after_vowel ? vowels : vowels + 1;
      // A marked glide stands for the vowel before it (prai-a).
      out.stressed_index = static_cast<int>(out.phonemes.size()) - (glide_after_vowel ? 1 : 0);
    }
    out.phonemes.push_back(p);
  }
  return out;
}

TEST(IlvraAccuracy, RulesAgreeWithTheReferenceTranscription) {
  const char* bin = std::getenv("PLACARIM_BINARY_DIR");
  const std::string dir = std::string(bin ? bin : ".") + "/data/ilvra/";
  const char* list_path = "/usr/share/dict/brazilian";
  if (!std::filesystem::exists(list_path)) GTEST_SKIP() << "no word list";
  RuleSet rules;
  ASSERT_TRUE(LoadIlvraRules(dir + "portug.nrl", dir + "portug.exc", rules));
  ASSERT_GE(espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, 0), 0);
  ASSERT_EQ(espeak_SetVoiceByName("pt-br"), EE_OK);

  const std::vector<std::string> sample = SampleWords(5000, list_path);
  ASSERT_EQ(sample.size(), 5000u);

  const char* dump_path = std::getenv("PLACARIM_ILVRA_ACCURACY_DUMP");
  std::ofstream dump;
  if (dump_path) dump.open(dump_path);
  size_t reference_phonemes = 0, errors = 0, stress_agree = 0;
  Disagreements disagreements;
  for (const std::string& word : sample) {
    const auto ref = MapReference(Reference(word));
    const auto ours = Ours(lang::UpperCase(platform::Utf8ToCp1252(word)), rules);
    const auto edits = Align(ours.phonemes, ref.phonemes);
    reference_phonemes += ref.phonemes.size();
    errors += edits.size();
    const bool stress_ok = StressAgrees(ours, ref);
    stress_agree += stress_ok;
    disagreements.Add(edits, word);
    if (dump && (!edits.empty() || !stress_ok)) {
      dump << word << "\t" << Join(ours.phonemes) << "\t" << ours.stressed_syllable << "\t"
           << Join(ref.phonemes) << "\t" << ref.stressed_syllable << "\t" << Reference(word) << "\n";
    }
  }
  const double error_rate = 100.0 * errors / reference_phonemes;
  const double stress_rate = 100.0 * stress_agree / sample.size();
  std::printf("words 5000, reference phonemes %zu, errors %zu: phoneme error rate %.2f %%\n", reference_phonemes,
              errors, error_rate);
  std::printf("stressed syllable agrees: %.2f %%\n", stress_rate);
  disagreements.PrintCommonest(20);
  EXPECT_LE(error_rate, 5.0);
  EXPECT_GE(stress_rate, 98.0);
}

}  // namespace
}  // namespace placarim::ilvra
