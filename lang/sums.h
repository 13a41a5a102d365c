// Written sums read as sums, before any voice sees the text: "12-5=7" is
// "12 menos 5 igual a 7", "7x8=56" is "7 vezes 8 igual a 56", "10÷2" is
// "10 dividido por 2". Numbers stay in digits: every voice reads numbers in
// its own way (recorded words, its own normaliser), but none of them knows
// that "x" or ":" between two numbers is an operator.
//
// A sum is a number, then one or more times an operator and a number, then
// optionally "=" and optionally a result; blanks around the signs are
// optional. The operators are + - x X * × (times) : / ÷ (division). Where
// "-", ":" or "/" stands between numbers without "=" after them, the text is
// no sum but a telephone (3333-4444), a date (12-05-2024, 10/05) or an hour
// (10:30), and is left as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace placarim::lang {

// The word of an arithmetic sign ("mais", "menos", "vezes", "dividido por",
// "igual"), or empty when `sign` is none.
std::string_view OperatorWord(char sign);

// The length of the written sum at the start of `text` (leading blanks not
// allowed), or 0 when none starts there.
size_t SumLength(std::string_view text);

// `text` with every written sum in it read as a sum. A sum starts only at a
// number that no letter, digit or decimal mark comes right before.
std::string ReadSums(std::string_view text);

}  // namespace placarim::lang
