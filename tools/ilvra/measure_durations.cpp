// Measures phoneme durations in the speech the diphone database is cut from
// (espeak-ng's Brazilian Portuguese voice at its normal rate): speaks the
// words given on standard input one a line (UTF-8) and prints, for each
// phoneme of the voice's set, the median duration in milliseconds as
// "name = ms" lines for the [DURAÇÃO] section of portug.pro.
//
//   placarim_ilvra_durations < words.txt
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

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

}  // namespace

int main() {
  if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_PHONEME_EVENTS) < 0) return 1;
  espeak_SetVoiceByName("pt-br");
  espeak_SetSynthCallback(Collect);
  std::map<std::string, std::vector<int>> durations;
  for (std::string word; std::getline(std::cin, word);) {
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
  for (auto& [name, values] : durations) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    std::printf("%s = %d\t; %zu samples\n", name.c_str(), values[values.size() / 2], values.size());
  }
  return 0;
}
