// Numbers as a teacher writes them, read as Brazilians say them: money
// (R$ 3,95), hours (24h, 9h15, 9:15), simple fractions (1/2, 3/4), "1°" as
// an ordinal (25°C stays a temperature), a blank as thousands separator
// ("1 000"), and the gender of a number before a known feminine noun (duas
// horas, trezentas pessoas, uma bola). Texts are Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace placarim::lang {

// "três reais e noventa e cinco centavos", "um real", "cinquenta centavos",
// "dois milhões de reais". centavos below 100.
std::string MoneyWords(uint64_t reais, unsigned centavos);
// "nove horas e quinze minutos", "uma hora", "vinte e duas horas".
std::string HourWords(unsigned hours, unsigned minutes);
// "um meio", "um terço", "três quartos", "dois quintos", "cinco doze avos";
// empty for a denominator below 2.
std::string FractionWords(uint64_t numerator, uint64_t denominator);
// Whether a noun (any case) is one of the common feminine nouns a number
// agrees with (hora, pessoa, bola, vez, ...), singular or plural.
bool IsKnownFeminineNoun(std::string_view word);

// How the numbers inside the forms are written: in words, or left in digits
// for a voice that plays recorded numbers (3 reais e 95 centavos, 9 horas e
// 15 minutos, 1 terço, 25 graus Celsius); that voice picks a number's
// feminine itself from the noun after it.
enum class TeacherNumbers { kWords, kDigits };

// `text` with the forms above written out; every other digit is left for
// the voice to read. Run after the sum reader, so "10:2=" and "1/2=" are
// sums by then and "9:15" or "1/2" alone are read here.
std::string ReadTeacherText(std::string_view text, TeacherNumbers numbers = TeacherNumbers::kWords);

}  // namespace placarim::lang
