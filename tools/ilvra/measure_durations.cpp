// Measures phoneme durations in the speech the diphone database is cut from
// (espeak-ng's Brazilian Portuguese voice at its normal rate) and writes the
// [DURAÇÃO] section of portug.pro from them: speaks the words of a list (one
// a line, UTF-8, "#" comments), takes each phoneme's median duration in
// milliseconds and applies the voice's rules to it:
//
//   vowels (and nasal vowels)  0.85 times the median: the median counts
//                              stressed vowels, and the voice lengthens the
//                              stressed syllable by itself (145 %)
//   stops p b t d k g          at least 55 ms: the measurement gives them
//                              their burst only, not their closure
//   pauses and a few others    set by hand (kByHand), marked so in the file
//
//   placarim_ilvra_durations WORDS            prints the section
//   placarim_ilvra_durations WORDS PROSODY    also compares it with the
//                                             section of PROSODY; exit 1 when
//                                             they differ
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "voices/ilvra/phoneme_set.h"

namespace {

struct Mark {
  std::string name;
  int ms;
};
std::vector<Mark> marks;

int Collect(short*, int, espeak_EVENT* events) {
  for (; events->type != espeakEVENT_LIST_TERMINATED; ++events) {
    if (events->type == espeakEVENT_PHONEME) {
      char name[9] = {};
      for (int i = 0; i < 8 && events->id.string[i]; ++i) name[i] = events->id.string[i];
      marks.push_back({name, events->audio_position});
    } else if (events->type == espeakEVENT_END || events->type == espeakEVENT_MSG_TERMINATED) {
      marks.push_back({"", events->audio_position});
    }
  }
  return 0;
}

// espeak-ng's names to the voice's; diphthongs count for their vowel.
std::string Ours(std::string n, bool last) {
  n.erase(std::remove(n.begin(), n.end(), '\''), n.end());
  n.erase(std::remove(n.begin(), n.end(), ','), n.end());
  static const std::map<std::string, std::string> table = {
      {"a", "a"}, {"&", "@"}, {"&~", "am"}, {"e", "e"}, {"E", "ee"}, {"i", "i"}, {"o", "o"}, {"O", "oo"},
      {"u", "u"}, {"U", "u"}, {"y", "i"}, {"S", "x"}, {"Z", "j"}, {"tS", "tx"}, {"dZ", "dj"}, {"n^", "nh"},
      {"R", "r"}, {"*", "r"}, {"x", "rr"}, {"r", "r2"}, {"I", "y"}, {"w", "w"}, {"eIN", "em"},
      {"i~", "im"}, {"o~", "om"}, {"u~", "um"}, {"e~", "em"}, {"&U~", "am"}, {"_", "_"}};
  if (auto it = table.find(n); it != table.end()) return it->second;
  if (n == "s" && last) return "s2";
  if (n.size() == 1 && std::string("pbtdkgfvszmnlj").find(n) != std::string::npos) return n == "j" ? "y" : n;
  return {};
}

// Values chosen by ear: the pauses, and phonemes the words give no usable
// measure of (lh, s2 and the nasal e and i never come out under those names;
// espeak-ng's nasal o carries its nasal glide and measures over 200 ms).
const std::map<std::string, int> kByHand = {
    {"lh", 85}, {"s2", 95}, {"em", 77}, {"im", 70}, {"om", 77}, {"_,", 220}, {"_;", 300}, {"_:", 300},
    {"_.", 400}, {"_!", 400}, {"_?", 400}, {"_(", 150}, {"_)", 150}, {"__", 150}};

bool IsVowel(const std::string& n) {
  static const std::vector<std::string> vowels = {"a", "@", "e", "ee", "i", "o", "oo", "u",
                                                   "am", "em", "im", "om", "um"};
  return std::find(vowels.begin(), vowels.end(), n) != vowels.end();
}

bool IsStop(const std::string& n) { return n.size() == 1 && std::string("pbtdkg").find(n) != std::string::npos; }

struct Duration {
  std::string name;
  int ms = 0;
  bool by_hand = false;
  std::string Line() const { return name + " = " + std::to_string(ms); }
};

// The section's values in the voice's phoneme order, pauses last; nothing
// when a phoneme has neither a measure nor a value by hand.
std::vector<Duration> Section(std::map<std::string, std::vector<int>>& durations) {
  std::vector<Duration> section;
  std::vector<std::string> names(placarim::ilvra::PhonemeNames().begin(), placarim::ilvra::PhonemeNames().end());
  for (const char* pause : {"_,", "_;", "_:", "_.", "_!", "_?", "_(", "_)", "__"}) names.emplace_back(pause);
  for (const std::string& name : names) {
    if (name == "_") continue;
    if (const auto hand = kByHand.find(name); hand != kByHand.end()) {
      section.push_back({name, hand->second, true});
      continue;
    }
    auto& values = durations[name];
    if (values.empty()) {
      std::fprintf(stderr, "no measure of %s in the words\n", name.c_str());
      return {};
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    int ms = values[values.size() / 2];
    if (IsVowel(name)) ms = static_cast<int>(std::lround(ms * 0.85));
    if (IsStop(name)) ms = std::max(ms, 55);
    section.push_back({name, ms, false});
  }
  return section;
}

// The "name = ms" lines of a prosody file's [DURAÇÃO] section, blanks
// around "=" dropped.
std::vector<std::string> FileSection(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("[", 0) == 0) {
      inside = line.rfind("[DURA", 0) == 0;
      continue;
    }
    const size_t eq = line.find('=');
    if (!inside || line.rfind(";", 0) == 0 || eq == std::string::npos) continue;
    auto trim = [](std::string t) {
      t.erase(0, t.find_first_not_of(" \t"));
      t.erase(t.find_last_not_of(" \t") + 1);
      return t;
    };
    lines.push_back(trim(line.substr(0, eq)) + " = " + trim(line.substr(eq + 1)));
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s WORDS [PROSODY]\n", argv[0]);
    return 2;
  }
  std::ifstream list(argv[1]);
  if (!list) {
    std::fprintf(stderr, "%s cannot be read\n", argv[1]);
    return 2;
  }
  if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_PHONEME_EVENTS) < 0) return 2;
  espeak_SetVoiceByName("pt-br");
  espeak_SetSynthCallback(Collect);
  std::map<std::string, std::vector<int>> durations;
  for (std::string word; std::getline(list, word);) {
    if (word.empty() || word[0] == '#') continue;
    marks.clear();
    espeak_Synth(word.c_str(), word.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    for (size_t i = 0; i + 1 < marks.size(); ++i) {
      if (marks[i].name.empty()) continue;
      const bool last = i + 2 >= marks.size() || marks[i + 1].name.empty() || marks[i + 1].name == "_";
      const std::string name = Ours(marks[i].name, last);
      const int ms = marks[i + 1].ms - marks[i].ms;
      if (!name.empty() && name != "_" && ms > 0) durations[name].push_back(ms);
    }
  }
  const std::vector<Duration> measured = Section(durations);
  if (measured.empty()) return 1;
  if (argc == 2) {
    // The file's format has no comments on a line: its header names the values set by hand.
    for (const auto& d : measured) std::printf("%s\n", d.Line().c_str());
    for (const auto& d : measured) {
      if (d.by_hand) std::fprintf(stderr, "%s set by hand\n", d.name.c_str());
    }
    return 0;
  }
  const std::vector<std::string> written = FileSection(argv[2]);
  int differences = 0;
  for (size_t i = 0; i < std::max(measured.size(), written.size()); ++i) {
    const std::string a = i < measured.size() ? measured[i].Line() : "(none)";
    const std::string b = i < written.size() ? written[i] : "(none)";
    if (a != b) {
      std::printf("measured %s, the file says %s\n", a.c_str(), b.c_str());
      ++differences;
    }
  }
  return differences ? 1 : 0;
}
