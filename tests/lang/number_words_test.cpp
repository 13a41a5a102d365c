#include "lang/number_words.h"

#include <gtest/gtest.h>

#include <random>

namespace placarim::lang {
namespace {

// The rule stated afresh, as a grammar book puts it and not as the library
// builds it: a number is its largest scale's count and name, then the rest;
// the rest is joined with "e" only when it is a single group (the last one)
// and that group is below one hundred or a round hundred, or, for the
// recorded words, whenever it is a single group. A thousand alone is "mil".
class Grammar {
 public:
  explicit Grammar(LastGroupJoin join) : join_(join) {}

  std::string Say(uint64_t n) const {
    if (n < 1000) return n == 0 ? "zero" : Small(n);
    static const struct {
      uint64_t size;
      const char *one, *many;
    } kScales[] = {{1'000'000'000'000, "um trilh\xE3o", "trilh\xF5" "es"},
                   {1'000'000'000, "um bilh\xE3o", "bilh\xF5" "es"},
                   {1'000'000, "um milh\xE3o", "milh\xF5" "es"},
                   {1'000, "mil", "mil"}};
    for (const auto& scale : kScales) {
      if (n < scale.size) continue;
      const uint64_t count = n / scale.size, rest = n % scale.size;
      const std::string head = count == 1 ? scale.one : Small(count) + " " + scale.many;
      if (rest == 0) return head;
      return head + (JoinsWithE(rest) ? " e " : " ") + Say(rest);
    }
    return {};
  }

 private:
  // Whether the rest after a scale is one group, and that group takes "e".
  bool JoinsWithE(uint64_t rest) const {
    while (rest % 1000 == 0) rest /= 1000;
    if (rest >= 1000) return false;  // more groups follow: the "e" is theirs
    return join_ == LastGroupJoin::kAlways || rest < 100 || rest % 100 == 0;
  }

  static std::string Small(uint64_t n) {
    static const char* const kWords[] = {"zero",  "um",     "dois",     "tr\xEAs",   "quatro",    "cinco",   "seis",
                                         "sete",  "oito",   "nove",     "dez",       "onze",      "doze",    "treze",
                                         "quatorze", "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
    static const char* const kTens[] = {"", "", "vinte", "trinta", "quarenta", "cinquenta", "sessenta", "setenta",
                                        "oitenta", "noventa"};
    static const char* const kHundreds[] = {"", "cento", "duzentos", "trezentos", "quatrocentos", "quinhentos",
                                            "seiscentos", "setecentos", "oitocentos", "novecentos"};
    if (n < 20) return kWords[n];
    if (n < 100) return std::string(kTens[n / 10]) + (n % 10 ? std::string(" e ") + kWords[n % 10] : "");
    if (n == 100) return "cem";
    return std::string(kHundreds[n / 100]) + (n % 100 ? " e " + Small(n % 100) : "");
  }

  LastGroupJoin join_;
};

TEST(NumberWords, TheLastGroupsEAsBraziliansSayIt) {
  const struct {
    uint64_t n;
    const char* brazilian;
    const char* always;
  } cases[] = {
      {0, "zero", "zero"},
      {21, "vinte e um", "vinte e um"},
      {1024, "mil e vinte e quatro", "mil e vinte e quatro"},
      {1100, "mil e cem", "mil e cem"},
      {2300, "dois mil e trezentos", "dois mil e trezentos"},
      {2345, "dois mil trezentos e quarenta e cinco", "dois mil e trezentos e quarenta e cinco"},
      {2024, "dois mil e vinte e quatro", "dois mil e vinte e quatro"},
      {1001000, "um milh\xE3o e mil", "um milh\xE3o e mil"},
      {1345000, "um milh\xE3o trezentos e quarenta e cinco mil", "um milh\xE3o e trezentos e quarenta e cinco mil"},
      {2001005, "dois milh\xF5" "es mil e cinco", "dois milh\xF5" "es mil e cinco"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CardinalWords(c.n, LastGroupJoin::kBrazilian), c.brazilian) << c.n;
    EXPECT_EQ(CardinalWords(c.n, LastGroupJoin::kAlways), c.always) << c.n;
  }
}

TEST(NumberWords, EveryNumberToAMillionFollowsTheGrammar) {
  for (LastGroupJoin join : {LastGroupJoin::kBrazilian, LastGroupJoin::kAlways}) {
    const Grammar grammar(join);
    int wrong = 0;
    for (uint64_t n = 0; n <= 1'000'000; ++n) {
      if (CardinalWords(n, join) != grammar.Say(n) && ++wrong <= 5) {
        ADD_FAILURE() << n << ": " << CardinalWords(n, join) << " / " << grammar.Say(n);
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

// Ten thousand numbers of every length up to the trillions.
TEST(NumberWords, TenThousandLargerNumbersFollowTheGrammar) {
  std::mt19937_64 random(2024);
  const Grammar brazilian(LastGroupJoin::kBrazilian);
  int right = 0;
  for (int i = 0; i < 10'000; ++i) {
    const int digits = 7 + i % 9;
    uint64_t n = random() % 9 + 1;
    for (int d = 1; d < digits; ++d) n = n * 10 + (random() % 4 == 0 ? 0 : random() % 10);  // zeros are common
    if (CardinalWords(n, LastGroupJoin::kBrazilian) == brazilian.Say(n)) ++right;
    else ADD_FAILURE() << n << ": " << CardinalWords(n, LastGroupJoin::kBrazilian) << " / " << brazilian.Say(n);
  }
  EXPECT_EQ(right, 10'000);
  EXPECT_EQ(CardinalWords(UINT64_MAX, LastGroupJoin::kBrazilian),
            CardinalWords(kLargestWordedNumber, LastGroupJoin::kBrazilian));
}

TEST(NumberWords, FeminineAndOrdinals) {
  const struct {
    uint64_t n;
    const char* feminine;
  } feminines[] = {{1, "uma"}, {2, "duas"}, {21, "vinte e uma"}, {12, "doze"}, {200, "duzentas"},
                   {2002, "duas mil e duas"}, {201000, "duzentas e uma mil"}, {2000000, "dois milh\xF5" "es"},
                   {1000001, "um milh\xE3o e uma"},
                   {300302000, "trezentos milh\xF5" "es trezentas e duas mil"}};
  for (const auto& c : feminines) EXPECT_EQ(CardinalWords(c.n, LastGroupJoin::kBrazilian, Gender::kFeminine), c.feminine);
  EXPECT_EQ(FeminineWord("quinhentos"), "quinhentas");
  EXPECT_EQ(FeminineWord("tr\xEAs"), "tr\xEAs");
  EXPECT_EQ(OrdinalWords(21, Gender::kFeminine), "vig\xE9sima primeira");
  EXPECT_EQ(OrdinalWords(1999, Gender::kMasculine),
            "mil\xE9simo nongent\xE9simo nonag\xE9simo nono");
  EXPECT_EQ(OrdinalWords(110, Gender::kFeminine), "cent\xE9sima d\xE9" "cima");
  EXPECT_EQ(OrdinalWords(0, Gender::kMasculine), "zero");
  EXPECT_EQ(OrdinalWords(2024, Gender::kFeminine), "dois mil e vinte e quatro");
}

}  // namespace
}  // namespace placarim::lang
