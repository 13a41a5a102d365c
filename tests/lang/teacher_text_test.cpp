#include "lang/teacher_text.h"

#include <gtest/gtest.h>

#include "lang/sums.h"

namespace placarim::lang {
namespace {

// Windows-1252 in and out; \xEA ê, \xE7 ç, \xE9 é, \xE1 á, \xB0 °.
TEST(TeacherText, ReadsWhatATeacherWrites) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"R$ 3,95", "tr\xEAs reais e noventa e cinco centavos"},
      {"R$1,00 e R$ 0,01", "um real e um centavo"},
      {"R$ 1.234,50", "mil duzentos e trinta e quatro reais e cinquenta centavos"},
      {"R$ 2.000.000", "dois milh\xF5" "es de reais"},
      {"R$ 5.", "cinco reais."},
      {"R$ abc", "R$ abc"},
      {"24h", "vinte e quatro horas"},
      {"1h", "uma hora"},
      {"9h15 e 9:15", "nove horas e quinze minutos e nove horas e quinze minutos"},
      {"12h30min", "doze horas e trinta minutos"},
      {"22:05.", "vinte e duas horas e cinco minutos."},
      {"9:5 9:60 25h 9:15:30 4hz", "9:5 9:60 25h 9:15:30 4hz"},
      {"1/2 1/3 3/4", "um meio um ter\xE7o tr\xEAs quartos"},
      {"2/5 e 7/10", "dois quintos e sete d\xE9" "cimos"},
      {"10/05 5/3 1/2/2024 1/20", "10/05 5/3 1/2/2024 1/20"},  // dates and improper fractions stay
      {"1\xB0 lugar", "primeiro lugar"},
      {"25\xB0" "C e 1\xB0 F", "vinte e cinco graus Celsius e um grau Fahrenheit"},
      {"1 000 e 12 345 678", "1000 e 12345678"},
      {"3 10", "3 10"},
      {"2 horas, 300 pessoas, 1 bola, 2 vezes", "duas horas, trezentas pessoas, uma bola, duas vezes"},
      {"2.000 bolas e 2 000 bolas", "duas mil bolas e duas mil bolas"},
      {"2 quest\xF5" "es", "duas quest\xF5" "es"},
      {"2 livros, 3,5 horas, 02 horas", "2 livros, 3,5 horas, 02 horas"},
      {"A1 x2 1.0000", "A1 x2 1.0000"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadTeacherText(c.in), c.out) << c.in;
  // For a voice with recorded numbers the numbers stay digits around the words.
  const Case digits[] = {
      {"R$ 3,95 e R$ 1.234,00", "3 reais e 95 centavos e 1234 reais"},
      {"R$ 0,00 1h 22:05 9h15", "0 real 1 hora 22 horas e 5 minutos 9 horas e 15 minutos"},
      {"1/2 3/4 10/05", "1 meio 3 quartos 10/05"},
      {"1\xB0 lugar, 25\xB0" "C", "primeiro lugar, 25 graus Celsius"},
      {"2 horas, 2.000 bolas, 1 000 e 2 livros", "2 horas, 2000 bolas, 1000 e 2 livros"},
  };
  for (const auto& c : digits) EXPECT_EQ(ReadTeacherText(c.in, TeacherNumbers::kDigits), c.out) << c.in;
  // The sum reader runs first: these are sums, not an hour or a fraction.
  EXPECT_EQ(ReadTeacherText(ReadSums("10:2=5")), ReadSums("10:2=5"));
  EXPECT_EQ(ReadTeacherText(ReadSums("1/2=")), ReadSums("1/2="));
}

TEST(TeacherText, Words) {
  EXPECT_EQ(MoneyWords(0, 0), "zero real");
  EXPECT_EQ(MoneyWords(0, 50), "cinquenta centavos");
  EXPECT_EQ(HourWords(0, 1), "zero hora e um minuto");
  EXPECT_EQ(HourWords(21, 0), "vinte e uma horas");
  EXPECT_EQ(FractionWords(1, 100), "um cent\xE9simo");
  EXPECT_EQ(FractionWords(5, 12), "cinco doze avos");
  EXPECT_EQ(FractionWords(1, 11), "um onze avo");
  EXPECT_EQ(FractionWords(1, 1), "");
  EXPECT_TRUE(IsKnownFeminineNoun("VEZES"));
  EXPECT_TRUE(IsKnownFeminineNoun("Flores"));
  EXPECT_FALSE(IsKnownFeminineNoun("livros"));
  EXPECT_FALSE(IsKnownFeminineNoun("s"));
}

}  // namespace
}  // namespace placarim::lang
