#include "lang/sums.h"

#include <gtest/gtest.h>

namespace placarim::lang {
namespace {

TEST(Sums, WrittenSumsAreReadAsSums) {
  const struct {
    const char* written;
    const char* read;
  } cases[] = {
      {"12-5=7", "12 menos 5 igual a 7"},
      {"12 - 5 =", "12 menos 5 igual"},
      {"7x8=56", "7 vezes 8 igual a 56"},
      {"7 X 8", "7 vezes 8"},
      {"3*4=", "3 vezes 4 igual"},
      {"6\xD7" "7", "6 vezes 7"},
      {"10:2=5", "10 dividido por 2 igual a 5"},
      {"10/2 =", "10 dividido por 2 igual"},
      {"10\xF7" "2", "10 dividido por 2"},
      {"3+4", "3 mais 4"},
      {"1+2+3=6", "1 mais 2 mais 3 igual a 6"},
      {"3-5=-2", "3 menos 5 igual a -2"},
      {"Conta: 12-5=7. Gol!", "Conta: 12 menos 5 igual a 7. Gol!"},
      {"-7+3=", "-7 mais 3 igual"},
      {"2,5+1,5=4", "2,5 mais 1,5 igual a 4"},
      // Not sums: a telephone, dates, an hour, a fraction, codes and units.
      {"3333-4444", "3333-4444"},
      {"12-05-2024", "12-05-2024"},
      {"10/05", "10/05"},
      {"9:15", "9:15"},
      {"1/2", "1/2"},
      {"A1+2", "A1+2"},
      {"3x4cm", "3x4cm"},
      {"0x1F", "0x1F"},
      {"12 x", "12 x"},
      {"x = 5", "x = 5"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadSums(c.written), c.read) << c.written;
}

TEST(Sums, LengthOfTheSumAtTheStart) {
  const struct {
    const char* text;
    size_t length;
  } cases[] = {{"12-5=7 gol", 6}, {"12-5= ", 5}, {"7 x 8 = 56", 10}, {"3333-4444", 0}, {"casa", 0}, {" 3+4", 0}};
  for (const auto& c : cases) EXPECT_EQ(SumLength(c.text), c.length) << c.text;
}

}  // namespace
}  // namespace placarim::lang
