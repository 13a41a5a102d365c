// espeak-ng's Brazilian Portuguese transcription as a reference for our
// voices: its phonemes mapped to the Ilvra phoneme set, an edit alignment,
// and the fixed sample of words both voices are measured on.
#pragma once

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "voices/ilvra/phoneme_set.h"

namespace placarim::ilvra::reference {

using Phonemes = std::vector<std::string>;

struct Transcription {
  Phonemes phonemes;
  int stressed_syllable = 0;  // 1-based, 0 when none
  int stressed_index = -1;    // index in phonemes of the stressed vowel, -1 when none
};

inline bool IsReferenceVowel(std::string_view t) {
  return !t.empty() && std::string_view("a&eEiIoOuUy").find(t[0]) != std::string_view::npos;
}

// espeak-ng's phoneme names mapped to the voice's set. Notational variants
// are folded: a nasal coda N nasalises its vowel, the epenthetic vowel and
// the palatal offglide are dropped, a vowel's glide after it becomes y or w.
// The nasal vowel of an oral one (a glide or a nasal one stays).
inline std::string NasalVowel(const std::string& v) {
  if (v == "a" || v == "@") return "am";
  if (v == "e" || v == "ee") return "em";
  if (v == "o" || v == "oo") return "om";
  if (v == "i") return "im";
  if (v == "u") return "um";
  return v;
}

inline Transcription MapReference(const std::string& separated) {
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
  const auto nasal = NasalVowel;
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

inline std::string Reference(const std::string& utf8_word) {
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

struct Edit {
  std::string ours, reference;  // empty for an insertion or a deletion
};

// Levenshtein distances between the prefixes of the two transcriptions.
inline std::vector<std::vector<int>> EditDistances(const Phonemes& ours, const Phonemes& ref) {
  const size_t n = ours.size(), m = ref.size();
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
  for (size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
  for (size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    for (size_t j = 1; j <= m; ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (ours[i - 1] == ref[j - 1] ? 0 : 1)});
    }
  }
  return d;
}

// Levenshtein alignment; the edits are returned.
inline std::vector<Edit> Align(const Phonemes& ours, const Phonemes& ref) {
  const size_t n = ours.size(), m = ref.size();
  const auto d = EditDistances(ours, ref);
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

// Where each of our phonemes lands in the reference (-1: inserted).
inline std::vector<int> AlignmentMap(const Phonemes& ours, const Phonemes& ref) {
  const size_t n = ours.size(), m = ref.size();
  const auto d = EditDistances(ours, ref);
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
inline bool StressAgrees(const Transcription& ours, const Transcription& ref) {
  if (ours.stressed_index < 0 || ref.stressed_index < 0) return ours.stressed_index == ref.stressed_index;
  const auto map = AlignmentMap(ours.phonemes, ref.phonemes);
  return map[ours.stressed_index] == ref.stressed_index;
}

inline std::string Join(const Phonemes& p) {
  std::string s;
  for (const auto& x : p) s += (s.empty() ? "" : " ") + x;
  return s;
}

// `count` words drawn with a fixed seed from the system word list: lower-case
// words of Portuguese letters only, in list order. Empty when the list is
// missing or too short.
inline std::vector<std::string> SampleWords(size_t count, const char* list_path = "/usr/share/dict/brazilian") {
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
  if (words.size() < 2 * count) return {};
  std::mt19937 random(20261208);
  std::set<size_t> chosen;
  while (chosen.size() < count) chosen.insert(random() % words.size());
  std::vector<std::string> sample;
  for (size_t i : chosen) sample.push_back(words[i]);
  return sample;
}

// The disagreements of many words by kind (ours -> reference), with the
// first three words of each.
class Disagreements {
 public:
  void Add(const std::vector<Edit>& edits, const std::string& word) {
    for (const auto& e : edits) {
      auto& entry = kinds_[{e.ours, e.reference}];
      if (++entry.first <= 3) entry.second += " " + word;
    }
  }
  void PrintCommonest(size_t count) const {
    std::vector<std::pair<int, std::pair<std::string, std::string>>> ranked;
    for (const auto& [kind, entry] : kinds_) ranked.push_back({entry.first, kind});
    std::sort(ranked.rbegin(), ranked.rend());
    std::printf("commonest disagreements (ours -> reference: count, examples)\n");
    for (size_t k = 0; k < ranked.size() && k < count; ++k) {
      const auto& [ours, ref] = ranked[k].second;
      std::printf("  %-4s -> %-4s %5d %s\n", ours.empty() ? "-" : ours.c_str(), ref.empty() ? "-" : ref.c_str(),
                  ranked[k].first, kinds_.at(ranked[k].second).second.c_str());
    }
  }

 private:
  std::map<std::pair<std::string, std::string>, std::pair<int, std::string>> kinds_;
};

}  // namespace placarim::ilvra::reference
