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
#include "platform/text_encoding.h"

namespace placarim::ilvra {
namespace {

using Phonemes = std::vector<std::string>;

struct Transcription {
  Phonemes phonemes;
  int stressed_syllable = 0;  // 1-based, 0 when none
  int stressed_index = -1;    // index in phonemes of the stressed vowel, -1 when none
};

bool IsReferenceVowel(std::string_view t) {
  return !t.empty() && std::string_view("a&eEiIoOuUy").find(t[0]) != std::string_view::npos;
}

// espeak-ng's phoneme names mapped to the voice's set. Notational variants
// are folded: a nasal coda N nasalises its vowel, the epenthetic vowel and
// the palatal offglide are dropped, a vowel's glide after it becomes y or w.
Transcription MapReference(const std::string& separated) {
  std::vector<std::string> tokens;
  size_t start = 0;
  while (start <= separated.size()) {
    size_t end = separated.find_first_of("| ", start);
    if (end == std::string::npos) end = separated.size();
    if (end > start) tokens.push_back(separated.substr(start, end - start));
    start = end + 1;
  }
  Transcription out;
  auto& ph = out.phonemes;
  auto last_vowel = [&]() -> std::string* {
    for (auto it = ph.rbegin(); it != ph.rend(); ++it) {
      if (IsVowelPhoneme(*it)) return &*it;
      if (*it != "y" && *it != "w") return nullptr;
    }
    return nullptr;
  };
  auto nasal = [](const std::string& v) -> std::string {
    if (v == "a" || v == "@") return "am";
    if (v == "e" || v == "ee") return "em";
    if (v == "o" || v == "oo") return "om";
    if (v == "i") return "im";
    if (v == "u") return "um";
    return v;
  };
  int vowels = 0;
  for (size_t i = 0; i < tokens.size(); ++i) {
    std::string t = tokens[i];
    bool stressed = false;
    while (!t.empty() && (t[0] == '\'' || t[0] == ',')) {
      stressed |= t[0] == '\'';
      t.erase(0, 1);
    }
    std::string next = i + 1 < tokens.size() ? tokens[i + 1] : std::string();
    while (!next.empty() && (next[0] == '\'' || next[0] == ',')) next.erase(0, 1);
    const bool next_vowel = (IsReferenceVowel(next) && next != "@-") || next == "j" || next == "w";
    const bool last = i + 1 == tokens.size();
    if (t == "@-" || t == "-" || t == ";" || t.empty()) continue;
    if (t == "N") {
      if (auto* v = last_vowel()) *v = nasal(*v);
      continue;
    }
    if (IsReferenceVowel(t)) {
      const bool nasal_mark = t.find('~') != std::string::npos;
      t.erase(std::remove(t.begin(), t.end(), '~'), t.end());
      const bool after_vowel = !ph.empty() && (IsVowelPhoneme(ph.back()));
      // A lone I, U or y after a vowel is that vowel's glide.
      if ((t == "I" || t == "U" || t == "y") && after_vowel && !stressed) {
        ph.push_back(t == "U" ? "w" : "y");
        if (nasal_mark) ph[ph.size() - 2] = nasal(ph[ph.size() - 2]);
        continue;
      }
      static const std::map<char, std::string> kVowel = {{'a', "a"}, {'&', "@"}, {'e', "e"}, {'E', "ee"},
                                                         {'i', "i"}, {'I', "i"}, {'o', "o"}, {'O', "oo"},
                                                         {'u', "u"}, {'U', "u"}, {'y', "i"}};
      std::string v = kVowel.at(t[0]);
      if (nasal_mark) v = nasal(v);
      if (v == "@" && stressed) v = "a";
      ph.push_back(v);
      ++vowels;
      if (stressed) {
        out.stressed_syllable = vowels;
        out.stressed_index = static_cast<int>(ph.size()) - 1;
      }
      // A nasal ei inside a word is the nasal e alone.
      const bool nasal_e = t == "eI" && next == "N" && i + 2 < tokens.size();
      if (t.size() > 1 && !nasal_e) ph.push_back(t[1] == 'U' ? "w" : "y");
      continue;
    }
    if ((t == "m" || t == "n") && !ph.empty() && !next_vowel && i + 1 < tokens.size()) {
      // A vowel and a nasal before a consonant are one nasal vowel.
      if (ph.back() == "y" && ph.size() > 1 && (ph[ph.size() - 2] == "e" || ph[ph.size() - 2] == "em")) {
        ph.pop_back();
      }
      if (IsVowelPhoneme(ph.back())) {
        ph.back() = nasal(ph.back());
        continue;
      }
    }
    static const std::map<std::string, std::string> kConsonant = {
        {"S", "x"}, {"Z", "j"}, {"tS", "tx"}, {"dZ", "dj"}, {"n^", "nh"}, {"R", "r"}, {"x", "rr"},
        {"h", "rr"}, {"s#", "s"}, {"j", "y"}, {"w", "w"}};
    std::string c = t;
    if (auto it = kConsonant.find(t); it != kConsonant.end()) c = it->second;
    if (t == "l" && i + 1 < tokens.size() && tokens[i + 1] == "j") {
      c = "lh";
      ++i;
    } else if (t == "*" || t == "r") {
      c = next_vowel ? "r" : "r2";
    } else if ((c == "s" || c == "z" || c == "x") && last) {
      c = "s2";
    }
    ph.push_back(c);
  }
  return out;
}

std::string Reference(const std::string& utf8_word) {
  const void* text = utf8_word.c_str();
  std::string all;
  while (text != nullptr) {
    const char* part = espeak_TextToPhonemes(&text, espeakCHARS_UTF8, '|' << 8);
    if (part == nullptr) break;
    if (!all.empty()) all += '|';
    all += part;
  }
  return all;
}

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

struct Edit {
  std::string ours, reference;  // empty for an insertion or a deletion
};

// Where each of our phonemes lands in the reference (-1: inserted).
std::vector<int> AlignmentMap(const Phonemes& ours, const Phonemes& ref);

// Levenshtein alignment; the edits are returned.
std::vector<Edit> Align(const Phonemes& ours, const Phonemes& ref) {
  const size_t n = ours.size(), m = ref.size();
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
  for (size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
  for (size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    for (size_t j = 1; j <= m; ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (ours[i - 1] == ref[j - 1] ? 0 : 1)});
    }
  }
  std::vector<Edit> edits;
  size_t i = n, j = m;
  while (i > 0 || j > 0) {
    if (i > 0 && j > 0 && d[i][j] == d[i - 1][j - 1] + (ours[i - 1] == ref[j - 1] ? 0 : 1)) {
      if (ours[i - 1] != ref[j - 1]) edits.push_back({ours[i - 1], ref[j - 1]});
      --i, --j;
    } else if (i > 0 && d[i][j] == d[i - 1][j] + 1) {
      edits.push_back({ours[i - 1], ""});
      --i;
    } else {
      edits.push_back({"", ref[j - 1]});
      --j;
    }
  }
  return edits;
}

std::vector<int> AlignmentMap(const Phonemes& ours, const Phonemes& ref) {
  const size_t n = ours.size(), m = ref.size();
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
  for (size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
  for (size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    for (size_t j = 1; j <= m; ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (ours[i - 1] == ref[j - 1] ? 0 : 1)});
    }
  }
  std::vector<int> map(n, -1);
  size_t i = n, j = m;
  while (i > 0 && j > 0) {
    if (d[i][j] == d[i - 1][j - 1] + (ours[i - 1] == ref[j - 1] ? 0 : 1)) {
      map[i - 1] = static_cast<int>(j - 1);
      --i, --j;
    } else if (d[i][j] == d[i - 1][j] + 1) {
      --i;
    } else {
      --j;
    }
  }
  return map;
}

// The same vowel carries the stress in both transcriptions (or neither has one).
bool StressAgrees(const Transcription& ours, const Transcription& ref) {
  if (ours.stressed_index < 0 || ref.stressed_index < 0) return ours.stressed_index == ref.stressed_index;
  const auto map = AlignmentMap(ours.phonemes, ref.phonemes);
  return map[ours.stressed_index] == ref.stressed_index;
}

std::string Join(const Phonemes& p) {
  std::string s;
  for (const auto& x : p) s += (s.empty() ? "" : " ") + x;
  return s;
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

  std::vector<std::string> words;
  std::ifstream list(list_path);
  for (std::string w; std::getline(list, w);) {
    const std::string cp = platform::Utf8ToCp1252(w, '\x01');
    if (cp.size() < 2 || !std::all_of(cp.begin(), cp.end(), [](char c) {
          const uint8_t b = static_cast<uint8_t>(c);
          return (b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFC && b != 0xF7);
        }))
      continue;
    words.push_back(w);
  }
  ASSERT_GT(words.size(), 10000u);
  std::mt19937 random(20261208);
  std::set<size_t> chosen;
  while (chosen.size() < 5000) chosen.insert(random() % words.size());

  const char* dump_path = std::getenv("PLACARIM_ILVRA_ACCURACY_DUMP");
  std::ofstream dump;
  if (dump_path) dump.open(dump_path);
  size_t reference_phonemes = 0, errors = 0, stress_agree = 0;
  std::map<std::pair<std::string, std::string>, std::pair<int, std::string>> disagreements;
  for (size_t index : chosen) {
    const std::string& word = words[index];
    const auto ref = MapReference(Reference(word));
    const auto ours = Ours(lang::UpperCase(platform::Utf8ToCp1252(word)), rules);
    const auto edits = Align(ours.phonemes, ref.phonemes);
    reference_phonemes += ref.phonemes.size();
    errors += edits.size();
    const bool stress_ok = StressAgrees(ours, ref);
    stress_agree += stress_ok;
    for (const auto& e : edits) {
      auto& entry = disagreements[{e.ours, e.reference}];
      if (++entry.first <= 3) entry.second += " " + word;
    }
    if (dump && (!edits.empty() || !stress_ok)) {
      dump << word << "\t" << Join(ours.phonemes) << "\t" << ours.stressed_syllable << "\t"
           << Join(ref.phonemes) << "\t" << ref.stressed_syllable << "\t" << Reference(word) << "\n";
    }
  }
  const double error_rate = 100.0 * errors / reference_phonemes;
  const double stress_rate = 100.0 * stress_agree / chosen.size();
  std::printf("words 5000, reference phonemes %zu, errors %zu: phoneme error rate %.2f %%\n", reference_phonemes,
              errors, error_rate);
  std::printf("stressed syllable agrees: %.2f %%\n", stress_rate);
  std::vector<std::pair<int, std::pair<std::string, std::string>>> ranked;
  for (const auto& [pair, entry] : disagreements) ranked.push_back({entry.first, pair});
  std::sort(ranked.rbegin(), ranked.rend());
  std::printf("commonest disagreements (ours -> reference: count, examples)\n");
  for (size_t k = 0; k < ranked.size() && k < 20; ++k) {
    const auto& [ours, ref] = ranked[k].second;
    std::printf("  %-4s -> %-4s %5d %s\n", ours.empty() ? "-" : ours.c_str(), ref.empty() ? "-" : ref.c_str(),
                ranked[k].first, disagreements[ranked[k].second].second.c_str());
  }
  EXPECT_LE(error_rate, 5.0);
  EXPECT_GE(stress_rate, 98.0);
}

}  // namespace
}  // namespace placarim::ilvra
