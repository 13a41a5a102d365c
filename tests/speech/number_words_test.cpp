#include "speech/number_words.h"

#include <gtest/gtest.h>

namespace placarim::speech {
namespace {

using Keys = std::vector<std::string>;

struct WordsCase {
  uint64_t n;
  const char* words;
};

TEST(NumberToWords, BrazilianPortuguese) {
  const WordsCase cases[] = {
      {0, "zero"},
      {7, "sete"},
      {16, "dezesseis"},
      {17, "dezessete"},
      {20, "vinte"},
      {21, "vinte e um"},
      {100, "cem"},
      {101, "cento e um"},
      {115, "cento e quinze"},
      {200, "duzentos"},
      {999, "novecentos e noventa e nove"},
      {1000, "mil"},
      {1001, "mil e um"},
      {1234, "mil e duzentos e trinta e quatro"},
      {2000, "dois mil"},
      {100000, "cem mil"},
      {123456, "cento e vinte e tr\xEAs mil e quatrocentos e cinquenta e seis"},
      {1000000, "um milh\xE3o"},
      {1000001, "um milh\xE3o e um"},
      {2000000, "dois milh\xF5" "es"},
      {1000000000, "um bilh\xE3o"},
      {2000000000000, "dois trilh\xF5" "es"},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberToWords(c.n), c.words) << c.n;
}

TEST(NumberToWords, NumbersBeyondTheNamedGroupsStayInRange) {
  EXPECT_EQ(NumberToWords(UINT64_MAX), NumberToWords(kLargestWordedNumber));
}

struct KeysCase {
  uint64_t n;
  bool feminine;
  Keys keys;
};

TEST(NumberWordKeys, RecordingKeysOfNumbers) {
  const KeysCase cases[] = {
      {17, false, {"_dezeset"}},
      {16, false, {"_dezesse"}},
      {14, false, {"_quatorz"}},
      {1000, false, {"_mil"}},
      {1000000, false, {"_um", "_milhao"}},
      {2000000, false, {"_dois", "_milhoes"}},
      {2000000000000, false, {"_dois", "_trilhoe"}},
      {1000000000000, false, {"_um", "_trilhao"}},
      {2000, false, {"_dois", "_mil"}},
      {1001, false, {"_mil", "_e", "_um"}},
      {1234, false, {"_mil", "_e", "_duzento", "_e", "_trinta", "_e", "_quatro"}},
      {115, false, {"_cento", "_e", "_quinze"}},
      // The recorded words always join the last group with "e", the
      // thousands and beyond included.
      {1024, false, {"_mil", "_e", "_vinte", "_e", "_quatro"}},
      {2345, false, {"_dois", "_mil", "_e", "_trezent", "_e", "_quarent", "_e", "_cinco"}},
      {3300, false, {"_tres", "_mil", "_e", "_trezent"}},
      {1001000, false, {"_um", "_milhao", "_e", "_mil"}},
      {1, true, {"_uma"}},
      {2, true, {"_duas"}},
      {21, true, {"_vinte", "_e", "_uma"}},
      {21, false, {"_vinte", "_e", "_um"}},
      // Feminine: um, dois and the hundreds of every group below a million
      // agree; millions and above are masculine nouns.
      {2000, true, {"_duas", "_mil"}},
      {300, true, {"_trezena"}},
      {300, false, {"_trezent"}},
      {201, true, {"_duzenta", "_e", "_uma"}},
      {302000, true, {"_trezena", "_e", "_duas", "_mil"}},
      {999, true, {"_novecea", "_e", "_noventa", "_e", "_nove"}},
      {481522, true, {"_quatroa", "_e", "_oitenta", "_e", "_uma", "_mil", "_e", "_quinhea", "_e", "_vinte", "_e", "_duas"}},
      {600700800, true, {"_seiscen", "_milhoes", "_setecea", "_mil", "_e", "_oitocea"}},
      {2000000, true, {"_dois", "_milhoes"}},
      {1000002, true, {"_um", "_milhao", "_e", "_duas"}},
      {2000000000, true, {"_dois", "_bilhoes"}},
      {12, true, {"_doze"}},
      {0, true, {"_zero"}},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberWordKeys(NumberToWords(c.n), c.feminine), c.keys) << c.n;
}

TEST(NumberWordKeys, EmptyAndBlankWords) {
  EXPECT_TRUE(NumberWordKeys("", false).empty());
  EXPECT_TRUE(NumberWordKeys("   ", true).empty());
}

TEST(DateKeys, WeekdaysAndMonths) {
  EXPECT_EQ(WeekdayOf(2024, 3, 15), 5);  // a Friday
  EXPECT_EQ(WeekdayOf(2000, 1, 1), 6);
  EXPECT_EQ(WeekdayOf(2024, 2, 29), 4);
  EXPECT_EQ(WeekdayOf(1999, 12, 31), 5);
  EXPECT_EQ(WeekdayKey(5), "_Sexta");
  EXPECT_EQ(WeekdayKey(0), "_Domingo");
  EXPECT_EQ(MonthKey(3), "_Marco");
  EXPECT_EQ(MonthKey(9), "_Setembr");
  EXPECT_EQ(MonthKey(2), "_Feverei");
  EXPECT_EQ(MonthKey(13), "_Janeiro");  // out of range stays a valid key
}

}  // namespace
}  // namespace placarim::speech
