#include "speech/number_words.h"

#include <array>

#include "lang/cp1252.h"
#include "lang/number_words.h"

namespace placarim::speech {
namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Domingo", "Segunda", "Terca", "Quarta",
                                                  "Quinta",  "Sexta",   "Sabado"};
constexpr std::array<const char*, 12> kMonths = {"Janeiro", "Fevereiro", "Marco",    "Abril",
                                                 "Maio",    "Junho",     "Julho",    "Agosto",
                                                 "Setembro", "Outubro",  "Novembro", "Dezembro"};

constexpr size_t kKeyLength = 8;

// Keys are plain ASCII: "três" is "_tres", "milhões" "_milhoes". A feminine
// hundred cut short ends in "a", so that it differs from the masculine:
// "_trezena" (trezentas) beside "_trezent" (trezentos).
std::string WordKey(std::string word) {
  for (char& c : word) c = lang::BaseLetter(c);
  if (word == "dezessete") word = "dezeset";
  std::string key = "_" + word;
  if (key.size() > kKeyLength) {
    key.resize(kKeyLength);
    if (word.ends_with("entas")) key.back() = 'a';
  }
  return key;
}

}  // namespace

std::string NumberToWords(uint64_t n) { return lang::CardinalWords(n, lang::LastGroupJoin::kAlways); }

std::vector<std::string> NumberWordKeys(std::string_view words, bool feminine) {
  // Agreeing with a feminine noun: trezentas e duas mil (bolas).
  const std::string spoken = feminine ? lang::FeminineNumberWords(words) : std::string(words);
  std::vector<std::string> keys;
  size_t pos = 0;
  while (pos < spoken.size()) {
    const size_t end = std::min(spoken.find(' ', pos), spoken.size());
    if (end > pos) keys.push_back(WordKey(spoken.substr(pos, end - pos)));
    pos = end + 1;
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
