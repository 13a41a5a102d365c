// Phoneme error rate of the built-in voice against espeak-ng's Brazilian
// Portuguese, on the same 5,000 words of the word list the Ilvra voice is
// measured on: the voice's codes are read as phonemes of the Ilvra set,
// espeak-ng's transcription is mapped to the same set, and the two are
// aligned. Prints the rate, the stressed vowel's agreement and the commonest
// disagreements.
//
//   tradutor_phoneme_error [--dump FILE]
#include <espeak-ng/speak_lib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/voices/tradutor/built_in_rules.h"
#include "platform/text_encoding.h"
#include "tests/support/espeak_reference.h"
#include "voices/tradutor/translator.h"

namespace {

using placarim::ilvra::reference::Transcription;

// The codes as phonemes. Vowels: a, e, o are open unless "^" follows (an a
// with "^" is the closed a, taken as the open one when stressed, as the
// reference does); upper case marks the stress; "~" (after a slash or not)
// nasalises the vowel before it. Consonant groups: rr, lh, nh, dj, tch, and
// kw, gw, ks for two phonemes; c and q are k. A word's last s, z or x is
// the final s. Nothing for a spelled word (codes with "_").
Transcription FromCodes(const std::string& codes) {
  Transcription out;
  auto& ph = out.phonemes;
  if (codes.find('_') != std::string::npos) return out;
  int vowels = 0;
  const std::vector<std::pair<std::string, std::vector<std::string>>> groups = {
      {"tch", {"tx"}}, {"rr", {"rr"}}, {"lh", {"lh"}}, {"nh", {"nh"}}, {"dj", {"dj"}},
      {"kw", {"k", "w"}}, {"gw", {"g", "w"}}, {"ks", {"k", "s"}}};
  size_t i = 0;
  while (i < codes.size()) {
    const char c = codes[i];
    if (std::strchr("[]/ ", c)) {
      ++i;
      continue;
    }
    if (c == '~') {
      for (auto it = ph.rbegin(); it != ph.rend(); ++it) {
        if (placarim::ilvra::IsVowelPhoneme(*it)) {
          *it = placarim::ilvra::reference::NasalVowel(*it);
          break;
        }
      }
      ++i;
      continue;
    }
    if (std::strchr("aeiouAEIOU", c)) {
      const bool stressed = std::isupper(static_cast<unsigned char>(c));
      const bool closed = i + 1 < codes.size() && codes[i + 1] == '^';
      const char v = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      std::string p(1, v);
      if (v == 'a' && closed && !stressed) p = "@";
      if (v == 'e' || v == 'o') p = closed ? p : p + p;
      ph.push_back(p);
      ++vowels;
      if (stressed) {
        out.stressed_syllable = vowels;
        out.stressed_index = static_cast<int>(ph.size()) - 1;
      }
      i += closed ? 2 : 1;
      continue;
    }
    bool grouped = false;
    for (const auto& [text, phonemes] : groups) {
      if (codes.compare(i, text.size(), text) == 0) {
        ph.insert(ph.end(), phonemes.begin(), phonemes.end());
        i += text.size();
        grouped = true;
        break;
      }
    }
    if (grouped) continue;
    ph.push_back(c == 'c' || c == 'q' ? "k" : std::string(1, c));
    ++i;
  }
  if (!ph.empty() && (ph.back() == "s" || ph.back() == "z" || ph.back() == "x")) ph.back() = "s2";
  // Two vowels in hiatus are joined by a unit that starts from the glide the
  // first one ends in (ri-ya, bo-wa): a way of joining, not a phoneme. The
  // reference writes no glide there.
  for (size_t k = 1; k + 1 < ph.size(); ++k) {
    const std::string& p = ph[k - 1];
    const bool after_i = p == "i" || p == "im" || p == "y";
    const bool after_u = p == "u" || p == "um" || p == "o" || p == "om" || p == "w";
    if (((ph[k] == "y" && after_i) || (ph[k] == "w" && after_u)) && placarim::ilvra::IsVowelPhoneme(ph[k + 1])) {
      if (out.stressed_index > int(k)) --out.stressed_index;
      ph.erase(ph.begin() + static_cast<std::ptrdiff_t>(k));
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  namespace ref = placarim::ilvra::reference;
  std::ofstream dump;
  if (argc > 2 && !std::strcmp(argv[1], "--dump")) dump.open(argv[2]);
  const std::vector<std::string> sample = ref::SampleWords(5000);
  if (sample.empty() || espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, 0) < 0 ||
      espeak_SetVoiceByName("pt-br") != EE_OK) {
    std::fprintf(stderr, "no word list or no espeak-ng pt-br voice\n");
    return 1;
  }
  placarim::tradutor::Translator translator;
  if (!LoadBuiltInRules(translator)) return 1;
  size_t words = 0, reference_phonemes = 0, errors = 0, stress_agree = 0;
  ref::Disagreements disagreements;
  for (const std::string& word : sample) {
    const std::string codes = translator.TranslateToDiphoneCodes(placarim::platform::Utf8ToCp1252(word));
    const Transcription ours = FromCodes(codes);
    if (ours.phonemes.empty()) continue;
    const Transcription theirs = ref::MapReference(ref::Reference(word));
    const auto edits = ref::Align(ours.phonemes, theirs.phonemes);
    ++words;
    reference_phonemes += theirs.phonemes.size();
    errors += edits.size();
    const bool stress_ok = ref::StressAgrees(ours, theirs);
    stress_agree += stress_ok;
    disagreements.Add(edits, word);
    if (dump && (!edits.empty() || !stress_ok)) {
      dump << word << "\t" << codes << "\t" << ref::Join(ours.phonemes) << "\t" << ref::Join(theirs.phonemes)
           << (stress_ok ? "" : "\tstress differs") << "\n";
    }
  }
  std::printf("words %zu of %zu (spelled ones left out), reference phonemes %zu, errors %zu: phoneme error rate %.2f %%\n",
              words, sample.size(), reference_phonemes, errors, 100.0 * double(errors) / double(reference_phonemes));
  std::printf("stressed vowel agrees: %.2f %%\n", 100.0 * double(stress_agree) / double(words));
  disagreements.PrintCommonest(20);
  return 0;
}
