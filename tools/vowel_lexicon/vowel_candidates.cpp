// Proposes e/o exceptions for both voices: the words of a Brazilian text,
// commonest first, whose stressed e or o each voice says open where
// espeak-ng says closed or the other way. For each such word it finds the
// written mark that gives the voice espeak-ng's quality without moving the
// stress, and prints the exception line. The lines are reviewed by hand
// before they go into data/ilvra/portug.exc and data/tradutor/portug.exc.
//
//   vowel_candidates [--names] ILVRA_DIR DIFONES_DIR MIN_COUNT FORTUNES [TEXT...]
//   vowel_candidates --table ILVRA_DIR DIFONES_DIR WORD_LIST
//
// Only words of /usr/share/dict/brazilian are proposed: that leaves out
// names and words written without their accents; --names proposes only the
// others (names and foreign words common in the text). ILVRA_DIR and
// DIFONES_DIR hold the built language files. Held-out entries of FORTUNES
// (HeldOut) are not read. Words seen fewer than MIN_COUNT times are left out;
// a word that already has an exception is only reported. --table prints the
// stressed vowel of every word of WORD_LIST as espeak-ng and both voices say
// it, from which ending rules are derived and checked.
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
#include "voices/tradutor/transliteration.h"

namespace {

using namespace placarim;
using vowel_lexicon::Stressed;

std::set<std::string> ExceptionKeys(const std::string& path) {
  std::set<std::string> keys;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) keys.insert(line.substr(0, eq));
  }
  return keys;
}

bool Fixed(const Stressed& now, const Stressed& reference) {
  return vowel_lexicon::Comparable(now, reference) && now.open == reference.open;
}

// The cleaned key with a quality mark after one e/o that gives the
// reference quality, or empty.
std::string DiphoneFix(const tradutor::Translator& translator, const std::string& key, const Stressed& reference) {
  for (size_t i = 0; i < key.size(); ++i) {
    if (key[i] != 'e' && key[i] != 'o') continue;
    if (i + 1 < key.size() && (key[i + 1] == '\'' || key[i + 1] == '^' || key[i + 1] == '~')) continue;
    const std::string candidate = key.substr(0, i + 1) + (reference.open ? "'" : "^") + key.substr(i + 1);
    if (Fixed(vowel_lexicon::FromDiphoneCodes(translator.TranslateToDiphoneCodes(candidate)), reference)) {
      return candidate;
    }
  }
  return {};
}

Stressed IlvraStressed(const std::string& upper_cp1252, const ilvra::RuleSet& rules) {
  return vowel_lexicon::FromIlvraLines(ilvra::WordsToPhonemes({"555|" + upper_cp1252}, rules));
}

// The upper-case word with one E/O written É/Ó or Ê/Ô, or empty.
std::string IlvraFix(const ilvra::RuleSet& rules, const std::string& upper, const Stressed& reference) {
  for (size_t i = 0; i < upper.size(); ++i) {
    const char mark = upper[i] == 'E' ? (reference.open ? '\xC9' : '\xCA')
                      : upper[i] == 'O' ? (reference.open ? '\xD3' : '\xD4')
                                        : 0;
    if (!mark) continue;
    std::string candidate = upper;
    candidate[i] = mark;
    if (Fixed(IlvraStressed(candidate, rules), reference)) return candidate;
  }
  return {};
}

// Both voices' built language files and espeak-ng's pt-br voice; says so
// when one cannot be loaded.
bool LoadVoices(const std::string& ilvra_dir, const std::string& difones_dir, ilvra::RuleSet& rules,
                tradutor::Translator& translator) {
  if (ilvra::LoadIlvraRules(ilvra_dir + "/portug.nrl", ilvra_dir + "/portug.exc", rules) &&
      translator.LoadLetterRules(difones_dir + "/regras.rgr") &&
      translator.LoadDiphoneExceptions(difones_dir + "/portug.exc") && vowel_lexicon::InitialiseEspeak()) {
    return true;
  }
  std::fprintf(stderr, "the voices' files or espeak-ng's pt-br voice could not be loaded\n");
  return false;
}

std::string Quality(const Stressed& s) {
  if (!s.letter) return "-";
  return std::string(1, s.letter) + (s.nasal ? "~" : s.open ? "'" : "^") + std::to_string(s.from_end);
}

// --table: one line per word of WORD_LIST, the stressed vowel as espeak-ng,
// Ilvra and the built-in voice say it (letter, ' open, ^ closed, ~ nasal,
// then the vowels after it): the material ending rules are derived from.
int PrintTable(const std::string& ilvra_dir, const std::string& difones_dir, const std::string& word_list) {
  ilvra::RuleSet rules;
  tradutor::Translator translator;
  if (!LoadVoices(ilvra_dir, difones_dir, rules, translator)) return 1;
  std::ifstream list(word_list);
  if (!list) {
    std::fprintf(stderr, "the word list %s could not be read\n", word_list.c_str());
    return 1;
  }
  for (std::string word; std::getline(list, word);) {
    if (word.empty()) continue;
    const std::string cp = platform::Utf8ToCp1252(word);
    const Stressed reference = vowel_lexicon::FromEspeak(vowel_lexicon::EspeakPhonemes(word));
    const Stressed by_ilvra = IlvraStressed(lang::UpperCase(cp), rules);
    const Stressed by_diphone = vowel_lexicon::FromDiphoneCodes(translator.TranslateToDiphoneCodes(cp));
    std::printf("%s\t%s\t%s\t%s\n", word.c_str(), Quality(reference).c_str(), Quality(by_ilvra).c_str(),
                Quality(by_diphone).c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--table") return PrintTable(argv[2], argv[3], argv[4]);
  // --names: propose the words the word list lacks instead (names, foreign
  // words), each reviewed like the rest.
  const bool names = argc > 1 && std::string(argv[1]) == "--names";
  if (names) {
    --argc;
    ++argv;
  }
  if (argc < 5) {
    std::fprintf(stderr, "usage: vowel_candidates [--names] ILVRA_DIR DIFONES_DIR MIN_COUNT FORTUNES [TEXT...]\n"
                 "       vowel_candidates --table ILVRA_DIR DIFONES_DIR WORD_LIST\n");
    return 2;
  }
  const long min_count = std::atol(argv[3]);
  std::set<std::string> dictionary;
  std::ifstream list("/usr/share/dict/brazilian");
  for (std::string w; std::getline(list, w);) dictionary.insert(w);
  const auto entries = vowel_lexicon::ReadFortunes(argv[4]);
  if (entries.empty() || dictionary.empty()) {
    std::fprintf(stderr, "no text in %s, or no word list\n", argv[4]);
    return 1;
  }
  std::map<std::string, long> counts;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (vowel_lexicon::HeldOut(i)) continue;
    for (const auto& w : vowel_lexicon::LowerCaseWords(entries[i])) ++counts[w];
  }
  for (int a = 5; a < argc; ++a) {
    std::ifstream in(argv[a]);
    for (std::string line; std::getline(in, line);) {
      for (const auto& w : vowel_lexicon::LowerCaseWords(line)) ++counts[w];
    }
  }
  std::vector<std::pair<long, std::string>> ranked;
  for (const auto& [w, n] : counts) {
    if (n >= min_count && dictionary.count(w) != names) ranked.push_back({-n, w});
  }
  std::sort(ranked.begin(), ranked.end());

  const std::string ilvra_dir = argv[1], difones_dir = argv[2];
  ilvra::RuleSet rules;
  tradutor::Translator translator;
  if (!LoadVoices(ilvra_dir, difones_dir, rules, translator)) return 1;
  const auto ilvra_keys = ExceptionKeys(ilvra_dir + "/portug.exc");
  const auto diphone_keys = ExceptionKeys(difones_dir + "/portug.exc");

  std::vector<std::string> ilvra_lines, diphone_lines, notes;
  for (const auto& [minus_count, word] : ranked) {
    const std::string phonemes = vowel_lexicon::EspeakPhonemes(word);
    const Stressed reference = vowel_lexicon::FromEspeak(phonemes);
    if (!reference.Judged()) continue;
    const std::string why = "  ; " + std::to_string(-minus_count) + " " + phonemes;
    const std::string cp = platform::Utf8ToCp1252(word);
    const std::string upper = lang::UpperCase(cp);
    const Stressed ilvra = IlvraStressed(upper, rules);
    if (vowel_lexicon::Comparable(ilvra, reference) && ilvra.open != reference.open) {
      const std::string fix = IlvraFix(rules, upper, reference);
      if (ilvra_keys.count(upper) || fix.empty()) {
        notes.push_back("ilvra: " + word + why + (fix.empty() ? " (no mark fixes it)" : " (has an exception)"));
      } else {
        ilvra_lines.push_back(platform::Cp1252ToUtf8(upper + "=" + fix) + why);
      }
    }
    const std::string key = lang::LowerCase(tradutor::CleanText(cp));
    const Stressed diphone = vowel_lexicon::FromDiphoneCodes(translator.TranslateToDiphoneCodes(cp));
    if (vowel_lexicon::Comparable(diphone, reference) && diphone.open != reference.open) {
      const std::string fix = DiphoneFix(translator, key, reference);
      if (diphone_keys.count(key) || fix.empty()) {
        notes.push_back("diphone: " + word + why + (fix.empty() ? " (no mark fixes it)" : " (has an exception)"));
      } else {
        diphone_lines.push_back(key + "=" + fix + why);
      }
    }
  }
  std::printf("# Ilvra (data/ilvra/portug.exc)\n");
  for (const auto& l : ilvra_lines) std::printf("%s\n", l.c_str());
  std::printf("# built-in voice (data/tradutor/portug.exc)\n");
  for (const auto& l : diphone_lines) std::printf("%s\n", l.c_str());
  std::printf("# not proposed\n");
  for (const auto& l : notes) std::printf("%s\n", l.c_str());
  return 0;
}
