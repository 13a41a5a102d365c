#include "speech/number_words.h"

#include <array>

namespace placarim::speech {
namespace {

constexpr std::array<const char*, 10> kUnits = {"zero", "um",   "dois", "tres", "quatro",
                                                "cinco", "seis", "sete", "oito", "nove"};
constexpr std::array<const char*, 10> kTeens = {"dez",    "onze",      "doze",      "treze",   "quatorze",
                                                "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
constexpr std::array<const char*, 10> kTens = {"",         "",        "vinte",   "trinta",  "quarenta",
                                               "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
constexpr std::array<const char*, 10> kHundreds = {"",           "cento",     "duzentos",  "trezentos",
                                                   "quatrocentos", "quinhentos", "seiscentos", "setecentos",
                                                   "oitocentos",  "novecentos"};
// Group names from the trillions down; "\xE3" is ã and "\xF5" is õ.
constexpr std::array<const char*, 5> kGroupSingular = {"trilh\xE3o ", "bilh\xE3o ", "milh\xE3o ", "mil ", ""};
constexpr std::array<const char*, 5> kGroupPlural = {"trilh\xF5" "es ", "bilh\xF5" "es ", "milh\xF5" "es ",
                                                     "mil ", ""};

constexpr std::array<const char*, 7> kWeekdays = {"Domingo", "Segunda", "Terca", "Quarta",
                                                  "Quinta",  "Sexta",   "Sabado"};
constexpr std::array<const char*, 12> kMonths = {"Janeiro", "Fevereiro", "Marco",    "Abril",
                                                 "Maio",    "Junho",     "Julho",    "Agosto",
                                                 "Setembro", "Outubro",  "Novembro", "Dezembro"};

constexpr size_t kKeyLength = 8;

std::string GroupWords(int h, int t, int u) {
  if (h == 0 && t == 0 && u == 0) return {};
  if (h == 1 && t == 0 && u == 0) return "cem";
  std::string words;
  if (h != 0) {
    words = kHundreds[h];
    if (t == 0 && u == 0) return words;
    words += " e ";
  }
  if (t == 1) return words + kTeens[u];
  if (t != 0) {
    words += kTens[t];
    if (u == 0) return words;
    words += " e ";
  }
  if (u != 0) words += kUnits[u];
  return words;
}

std::string WordKey(std::string word) {
  for (char& c : word) {
    if (c == '\xE3') c = 'a';
    if (c == '\xF5') c = 'o';
  }
  if (word == "dezessete") word = "dezeset";
  std::string key = "_" + word;
  if (key.size() > kKeyLength) key.resize(kKeyLength);
  return key;
}

}  // namespace

std::string NumberToWords(uint64_t n) {
  if (n == 0) return "zero";
  if (n > kLargestWordedNumber) n = kLargestWordedNumber;
  std::string digits = std::to_string(n);
  digits.insert(0, 15 - digits.size(), '0');

  std::array<std::string, 5> groups;
  int last_non_empty = -1;
  for (int g = 0; g < 5; ++g) {
    const int h = digits[g * 3] - '0', t = digits[g * 3 + 1] - '0', u = digits[g * 3 + 2] - '0';
    groups[g] = GroupWords(h, t, u);
    if (groups[g].empty()) continue;
    last_non_empty = g;
    if (g < 4) {
      const bool one = h == 0 && t == 0 && u == 1;
      groups[g] += std::string(" ") + (one ? kGroupSingular[g] : kGroupPlural[g]);
    }
  }

  std::string result;
  for (int g = 0; g < 5; ++g) {
    if (groups[g].empty()) continue;
    if (g == last_non_empty && !result.empty()) result += "e ";
    result += groups[g];
  }
  // One thousand is said "mil"; one million stays "um milhão".
  if (result.starts_with("um mil") && !result.starts_with("um milh")) result.erase(0, 3);
  return result;
}

std::vector<std::string> NumberWordKeys(std::string_view words, bool feminine) {
  std::vector<std::string> keys;
  size_t pos = 0;
  while (pos < words.size()) {
    const size_t end = std::min(words.find(' ', pos), words.size());
    if (end > pos) keys.push_back(WordKey(std::string(words.substr(pos, end - pos))));
    pos = end + 1;
  }
  if (feminine && !keys.empty()) {
    if (keys.back() == "_um") keys.back() = "_uma";
    else if (keys.back() == "_dois") keys.back() = "_duas";
  }
  return keys;
}

int WeekdayOf(int year, int month, int day) {
  static constexpr int kMonthOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 1 || month > 12) return 0;
  if (month < 3) year -= 1;
  const int w = (year + year / 4 - year / 100 + year / 400 + kMonthOffset[month - 1] + day) % 7;
  return w < 0 ? w + 7 : w;
}

std::string WeekdayKey(int weekday) { return std::string("_") + kWeekdays[((weekday % 7) + 7) % 7]; }

std::string MonthKey(int month) {
  const std::string name = kMonths[(month >= 1 && month <= 12) ? month - 1 : 0];
  return "_" + name.substr(0, 7);
}

}  // namespace placarim::speech
