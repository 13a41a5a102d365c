#include "lang/number_words.h"

#include <algorithm>
#include <array>

namespace placarim::lang {
namespace {

// Windows-1252: \xEA ê, \xE3 ã, \xF5 õ, \xE9 é.
constexpr std::array<const char*, 10> kUnits = {"zero", "um",   "dois", "tr\xEAs", "quatro",
                                                "cinco", "seis", "sete", "oito",    "nove"};
constexpr std::array<const char*, 10> kTeens = {"dez",    "onze",      "doze",      "treze",   "quatorze",
                                                "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
constexpr std::array<const char*, 10> kTens = {"",          "",         "vinte",   "trinta",  "quarenta",
                                               "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
constexpr std::array<const char*, 10> kHundreds = {"",             "cento",      "duzentos",   "trezentos",
                                                   "quatrocentos", "quinhentos", "seiscentos", "setecentos",
                                                   "oitocentos",   "novecentos"};
// Group names from the trillions down to the thousands.
constexpr std::array<const char*, 4> kGroupOne = {"trilh\xE3o", "bilh\xE3o", "milh\xE3o", "mil"};
constexpr std::array<const char*, 4> kGroupMany = {"trilh\xF5" "es", "bilh\xF5" "es", "milh\xF5" "es", "mil"};

constexpr std::array<const char*, 10> kOrdinalUnits = {"",       "primeiro", "segundo", "terceiro", "quarto",
                                                       "quinto", "sexto",    "s\xE9timo", "oitavo", "nono"};
constexpr std::array<const char*, 10> kOrdinalTens = {
    "",  "d\xE9" "cimo", "vig\xE9simo", "trig\xE9simo", "quadrag\xE9simo", "quinquag\xE9simo",
    "sexag\xE9simo", "septuag\xE9simo", "octag\xE9simo", "nonag\xE9simo"};
constexpr std::array<const char*, 10> kOrdinalHundreds = {
    "",  "cent\xE9simo", "ducent\xE9simo", "tricent\xE9simo", "quadrigent\xE9simo", "quingent\xE9simo",
    "seiscent\xE9simo", "septigent\xE9simo", "octigent\xE9simo", "nongent\xE9simo"};
constexpr const char* kThousandth = "mil\xE9simo";

constexpr int kGroups = 5;

void Append(std::string& out, std::string_view word) {
  if (word.empty()) return;
  if (!out.empty()) out += ' ';
  out += word;
}

// Words of one group of three digits (1 to 999).
std::string GroupWords(int group) {
  if (group == 100) return "cem";
  const int h = group / 100, t = group / 10 % 10, u = group % 10;
  std::string out;
  if (h != 0) out = kHundreds[h];
  if (group % 100 == 0) return out;
  if (!out.empty()) out += " e";
  if (t == 1) {
    Append(out, kTeens[u]);
    return out;
  }
  if (t != 0) Append(out, kTens[t]);
  if (t != 0 && u != 0) out += " e";
  if (u != 0) Append(out, kUnits[u]);
  return out;
}

bool JoinsWithE(int last_group, LastGroupJoin join) {
  return join == LastGroupJoin::kAlways || last_group < 100 || last_group % 100 == 0;
}

}  // namespace

std::string FeminineWord(std::string_view word) {
  if (word == "um") return "uma";
  if (word == "dois") return "duas";
  if (word.size() > 3 && word.ends_with("entos")) return std::string(word.substr(0, word.size() - 2)) + "as";
  return std::string(word);
}

std::string FeminineNumberWords(std::string_view words) {
  // Millions and above are masculine nouns: duas mil, but dois milhões.
  size_t from = 0;
  for (size_t g = 0; g + 1 < kGroupOne.size(); ++g) {
    for (const std::string_view name : {kGroupOne[g], kGroupMany[g]}) {
      for (size_t at = words.find(name); at != std::string_view::npos; at = words.find(name, at + 1)) {
        const size_t end = at + name.size();
        if ((at == 0 || words[at - 1] == ' ') && (end == words.size() || words[end] == ' ')) from = std::max(from, end);
      }
    }
  }
  std::string out(words.substr(0, from));
  while (from < words.size()) {
    const size_t end = std::min(words.find(' ', from), words.size());
    out += FeminineWord(words.substr(from, end - from));
    if (end < words.size()) out += ' ';
    from = end + 1;
  }
  return out;
}

std::string CardinalWords(uint64_t n, LastGroupJoin join, Gender gender) {
  if (n == 0) return kUnits[0];
  if (n > kLargestWordedNumber) n = kLargestWordedNumber;
  std::array<int, kGroups> groups{};
  for (int g = kGroups - 1; g >= 0; --g, n /= 1000) groups[g] = static_cast<int>(n % 1000);
  int last = kGroups - 1;
  while (groups[last] == 0) --last;

  std::string out;
  for (int g = 0; g < kGroups; ++g) {
    const int group = groups[g];
    if (group == 0) continue;
    if (g == last && !out.empty() && JoinsWithE(group, join)) out += " e";
    const bool thousand_alone = g == kGroups - 2 && group == 1;
    if (!thousand_alone) Append(out, GroupWords(group));
    if (g < kGroups - 1) Append(out, group == 1 ? kGroupOne[g] : kGroupMany[g]);
  }
  return gender == Gender::kFeminine ? FeminineNumberWords(out) : out;
}

std::string OrdinalWords(uint64_t n, Gender gender) {
  if (n >= 2000) return CardinalWords(n, LastGroupJoin::kBrazilian);
  if (n == 0) return kUnits[0];
  const char* parts[] = {n >= 1000 ? kThousandth : "", kOrdinalHundreds[n / 100 % 10], kOrdinalTens[n / 10 % 10],
                         kOrdinalUnits[n % 10]};
  std::string out;
  for (const char* part : parts) {
    std::string word = part;
    if (!word.empty() && gender == Gender::kFeminine) word.back() = 'a';
    Append(out, word);
  }
  return out;
}

}  // namespace placarim::lang
