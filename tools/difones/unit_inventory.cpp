#include "tools/difones/unit_inventory.h"

#include <cctype>

namespace placarim::difones {
namespace {

struct Sound {
  std::string code;                  // as written in the codes (upper-cased in names)
  std::vector<std::string> phonemes; // espeak-ng phonemes
};

// Onsets: the consonants that begin a syllable unit.
const std::vector<Sound> kOnsets = {
    {"B", {"b"}},   {"D", {"d"}},    {"F", {"f"}},   {"G", {"g"}},   {"J", {"Z"}},
    {"K", {"k"}},   {"L", {"l"}},    {"LH", {"l^"}}, {"M", {"m"}},   {"N", {"n"}},
    {"NH", {"n^"}}, {"P", {"p"}},    {"R", {"*"}},   {"RR", {"x"}},  {"S", {"s"}},
    {"T", {"t"}},   {"V", {"v"}},    {"X", {"S"}},   {"Z", {"z"}},
    // Glide onsets: the second vowel of dia, rua, pessoa and the -ia of
    // história start from the glide the first vowel ends in, so the two
    // vowels run into each other as in speech.
    {"Y", {"j"}},   {"W", {"w"}},
};

// Nuclei: open vowels plain, closed ones with CIRC, nasal ones with TIL.
const std::vector<Sound> kNuclei = {
    {"A", {"a"}},       {"E", {"E"}},      {"I", {"i"}},      {"O", {"O"}},      {"U", {"u"}},
    {"ACIRC", {"&"}},   {"ECIRC", {"e"}},  {"OCIRC", {"o"}},
    {"ICIRC", {"i"}},   {"UCIRC", {"u"}},  // before the glide of a nasal diphthong (muito)
    {"ATIL", {"&~"}},   {"ETIL", {"e~"}},  {"ITIL", {"i~"}},  {"OTIL", {"o~"}},  {"UTIL", {"u~"}},
};

// Onsets that only come before some nuclei (names stay within 8 characters).
struct LimitedOnset {
  Sound onset;
  std::vector<std::string> nuclei;
};
const std::vector<LimitedOnset> kLimitedOnsets = {
    {{"DJ", {"dZ"}}, {"I", "ITIL"}},
    {{"TCH", {"tS"}}, {"I", "ITIL"}},
    {{"KW", {"k", "w"}}, {"A", "ACIRC", "ATIL", "E", "ECIRC", "ETIL", "I", "ITIL", "O", "OCIRC"}},
    {{"GW", {"g", "w"}}, {"A", "ACIRC", "ATIL", "E", "ECIRC", "ETIL", "I", "ITIL", "O", "OCIRC"}},
};

// Vowel-glide units: played after a syllable shortened to 0.6, so they are
// cut from inside their vowel.
const std::vector<Sound> kGlides = {
    {"AY", {"aI"}},          {"AW", {"aU"}},          {"EY", {"EI"}},      {"EW", {"EU"}},
    {"IW", {"iU"}},          {"OY", {"OI"}},          {"OW", {"O", "U"}},  {"UY", {"uI"}},
    {"UW", {"u", "U"}},
    {"AYCIRC", {"&", "I"}},  {"AWCIRC", {"&", "U"}},  {"EYCIRC", {"eI"}},  {"EWCIRC", {"eU"}},
    {"OYCIRC", {"oI"}},  {"OWCIRC", {"o", "U"}},
    {"AWTIL", {"&U~"}},      {"AYTIL", {"&~", "I"}},  {"EYTIL", {"e~", "I"}},
    {"OYTIL", {"o~", "I"}},  {"UYTIL", {"u~", "I"}},
};

// Lone consonants: cluster heads (b of bra) and syllable codas (s, r, l...).
const std::vector<Sound> kLoneConsonants = {
    {"B", {"b"}}, {"C", {"k"}}, {"D", {"d"}}, {"F", {"f"}}, {"G", {"g"}}, {"J", {"Z"}},
    {"K", {"k"}}, {"L", {"l"}}, {"M", {"m"}}, {"N", {"n"}}, {"P", {"p"}}, {"Q", {"k"}},
    {"R", {"*"}}, {"S", {"s"}}, {"T", {"t"}}, {"V", {"v"}}, {"X", {"S"}}, {"Z", {"z"}},
    {"RR", {"x"}}, {"NN", {"N"}},
    // before the glide syllable of estádio and dormitório (-dio, -tio)
    {"DJ", {"dZ"}}, {"TCH", {"tS"}},
};

std::string Join(const std::vector<std::string>& parts) {
  std::string s;
  for (const auto& p : parts) s += p;
  return s;
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> lists) {
  std::vector<std::string> all;
  for (const auto& l : lists) all.insert(all.end(), l.begin(), l.end());
  return all;
}

UnitRecipe Syllable(const Sound& onset, const Sound& nucleus) {
  UnitRecipe r;
  r.name = "$" + onset.code + nucleus.code;
  r.carrier = "&'" + Join(onset.phonemes) + Join(nucleus.phonemes) + "t&";
  r.phonemes = Concat({{"&"}, onset.phonemes, nucleus.phonemes, {"t", "&"}});
  r.first = 1;
  r.count = onset.phonemes.size() + nucleus.phonemes.size();
  r.ends_in_vowel = true;
  return r;
}

UnitRecipe Vowel(const Sound& nucleus) {
  UnitRecipe r;
  r.name = "$" + nucleus.code;
  r.carrier = "&t'" + Join(nucleus.phonemes) + "t&";
  r.phonemes = Concat({{"&", "t"}, nucleus.phonemes, {"t", "&"}});
  r.first = 2;
  r.count = nucleus.phonemes.size();
  r.ends_in_vowel = true;
  return r;
}

UnitRecipe Glide(const Sound& glide) {
  UnitRecipe r = Vowel(glide);
  r.ends_in_vowel = false;
  r.start_fraction = 0.4;
  return r;
}

UnitRecipe Consonant(const Sound& c) {
  UnitRecipe r;
  r.name = "$" + c.code;
  r.carrier = "'a" + Join(c.phonemes) + "&";
  r.phonemes = Concat({{"a"}, c.phonemes, {"&"}});
  r.first = 1;
  r.count = c.phonemes.size();
  return r;
}

const Sound* FindNucleus(const std::string& code) {
  for (const auto& n : kNuclei) {
    if (n.code == code) return &n;
  }
  return nullptr;
}

}  // namespace

std::vector<UnitRecipe> UnitInventory() {
  std::vector<UnitRecipe> units;
  for (const auto& onset : kOnsets) {
    for (const auto& nucleus : kNuclei) units.push_back(Syllable(onset, nucleus));
  }
  for (const auto& limited : kLimitedOnsets) {
    for (const auto& code : limited.nuclei) units.push_back(Syllable(limited.onset, *FindNucleus(code)));
  }
  for (const auto& nucleus : kNuclei) units.push_back(Vowel(nucleus));
  for (const auto& glide : kGlides) units.push_back(Glide(glide));
  for (const auto& c : kLoneConsonants) units.push_back(Consonant(c));
  return units;
}

}  // namespace placarim::difones
