#include "tools/vowel_lexicon/stressed_vowels.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "lang/cp1252.h"
#include "platform/text_encoding.h"
#include "voices/ilvra/phoneme_set.h"

namespace placarim::vowel_lexicon {
namespace {

struct Vowel {
  char letter;
  bool stressed, open, nasal;
};

Stressed Pick(const std::vector<Vowel>& v) {
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i].stressed) return {v[i].letter, v[i].open, v[i].nasal, int(v.size() - 1 - i)};
  }
  return {};
}

}  // namespace

bool InitialiseEspeak() {
  return espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0) > 0 && espeak_SetVoiceByName("pt-br") == EE_OK;
}

std::string EspeakPhonemes(const std::string& utf8_word) {
  const void* text = utf8_word.c_str();
  const char* ph = espeak_TextToPhonemes(&text, espeakCHARS_UTF8, 0);
  return ph ? ph : "";
}

// ' comes before the stressed syllable; E and O are open, e and o closed; I
// and U right after a vowel are glides; ~, IN or N after a vowel nasalise it.
Stressed FromEspeak(const std::string& ph) {
  std::vector<Vowel> v;
  bool stress_next = false;
  char previous = 0;
  for (size_t i = 0; i < ph.size(); ++i) {
    const char c = ph[i];
    if (c == '\'') stress_next = true;
    const bool glide = (c == 'I' || c == 'U') && previous && std::strchr("a&eEiIoOuUy", previous);
    if (std::strchr("a&eEiIoOuUy", c) && !glide) {
      const char letter = c == '&' ? 'a' : c == 'y' || c == 'I' ? 'i' : c == 'U' ? 'u' : char(std::tolower(c));
      const bool nasal = (i + 1 < ph.size() && ph[i + 1] == '~') || ph.compare(i + 1, 2, "IN") == 0 ||
                         (i + 1 < ph.size() && ph[i + 1] == 'N');
      v.push_back({letter, stress_next, c == 'E' || c == 'O', nasal});
      stress_next = false;
    }
    previous = c;
  }
  return Pick(v);
}

Stressed FromDiphoneCodes(const std::string& codes) {
  std::vector<Vowel> v;
  for (size_t i = 0; i < codes.size(); ++i) {
    const char c = codes[i];
    if (!std::strchr("aeiouAEIOU", c)) continue;
    const bool closed = i + 1 < codes.size() && codes[i + 1] == '^';
    const size_t next = codes.find_first_not_of("^/", i + 1);
    const bool nasal = next != std::string::npos && codes[next] == '~';
    v.push_back({char(std::tolower(c)), bool(std::isupper(c)), !closed, nasal});
  }
  return Pick(v);
}

Stressed FromIlvraLines(const std::vector<std::string>& lines) {
  std::vector<Vowel> v;
  bool pending = false;  // a stressed glide marks the vowel before it
  for (std::string p : lines) {
    if (p.empty() || p[0] == ';' || p == "_" || p == "__") continue;
    const bool stressed = p[0] == '>';
    p.erase(std::remove_if(p.begin(), p.end(), [](char c) { return c == '>' || uint8_t(c) == 0xA8; }), p.end());
    if (!ilvra::IsVowelPhoneme(p)) {
      if (stressed && !v.empty() && (p == "y" || p == "w")) v.back().stressed = true;
      else pending |= stressed;
      continue;
    }
    const bool nasal = p.size() == 2 && p[1] == 'm';
    v.push_back({p[0] == '@' ? 'a' : p[0], stressed || pending, p == "ee" || p == "oo", nasal});
    pending = false;
  }
  return Pick(v);
}

bool Comparable(const Stressed& ours, const Stressed& reference) {
  return ours.Judged() && reference.Judged() && ours.letter == reference.letter &&
         ours.from_end == reference.from_end;
}

std::vector<std::string> ReadFortunes(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> entries(1);
  for (std::string line; std::getline(in, line);) {
    if (line == "%") {
      entries.emplace_back();
    } else {
      entries.back() += line + "\n";
    }
  }
  if (entries.back().empty()) entries.pop_back();
  return entries;
}

std::vector<std::string> LowerCaseWords(const std::string& utf8_text) {
  const std::string text = lang::LowerCase(platform::Utf8ToCp1252(utf8_text, ' '));
  std::vector<std::string> words;
  std::string word;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ' ';
    if (lang::IsPortugueseLetter(c, lang::Accents::kCurrent)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(platform::Cp1252ToUtf8(word));
      word.clear();
    }
  }
  return words;
}

bool HeldOut(size_t entry_index) { return entry_index % 4 == 3; }

}  // namespace placarim::vowel_lexicon
