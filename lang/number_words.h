// Numbers as Brazilian Portuguese words (Windows-1252): cardinals up to the
// trillions, in either gender, and ordinals below two thousand. Words are
// separated by single spaces, with no space at either end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace placarim::lang {

// The largest number that has words; larger ones are read as it.
inline constexpr uint64_t kLargestWordedNumber = 999'999'999'999'999ULL;

// How the last group of three digits joins the groups before it.
enum class LastGroupJoin {
  // Always with "e": dois mil e trezentos e quarenta e cinco. The recorded
  // number words are read so.
  kAlways,
  // With "e" only when the last group is below one hundred or a round
  // hundred, as Brazilians say it: mil e vinte e quatro, dois mil e
  // trezentos, dois mil trezentos e quarenta e cinco.
  kBrazilian,
};

enum class Gender { kMasculine, kFeminine };

// 0 is "zero"; a thousand alone in its group is "mil", never "um mil"; the
// feminine changes um, dois and the hundreds below a million (duzentas e
// uma mil, but dois milhões).
std::string CardinalWords(uint64_t n, LastGroupJoin join, Gender gender = Gender::kMasculine);

// The feminine of one number word (uma, duas, duzentas); other words as given.
std::string FeminineWord(std::string_view word);

// Masculine number words (as CardinalWords writes them) made to agree with a
// feminine noun: um, dois and the hundreds after the last group of millions
// or more change, those groups themselves are masculine nouns ("trezentos e
// dois mil" becomes "trezentas e duas mil", "um milhão e um" "um milhão e
// uma", "dois milhões" stays).
std::string FeminineNumberWords(std::string_view words);

// Ordinal of n below 2000 ("vigésimo primeiro"); from 2000 on, the cardinal
// (masculine) with the Brazilian join.
std::string OrdinalWords(uint64_t n, Gender gender);

}  // namespace placarim::lang
