// Numbers are spoken from recorded words, never by the diphone voice: a number
// becomes Brazilian Portuguese words, and each word names a recording.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lang/number_words.h"

namespace placarim::speech {

using lang::kLargestWordedNumber;

// The words of `n`, separated by single spaces, the last group always joined
// with "e" (1001 "mil e um", 2345 "dois mil e trezentos e quarenta e
// cinco"): the recorded words are read so. Windows-1252 text.
std::string NumberToWords(uint64_t n);

// The recording keys of the words, in order: "_" plus the word without its
// tilde, cut to 8 characters ("dezessete" is "_dezeset" so that it differs
// from "_dezesse", "trezentas" "_trezena" so that it differs from "_trezent");
// when `feminine`, the words agree with a feminine noun as
// lang::FeminineNumberWords has it ("_duas", "_mil"; "_dois", "_milhoes").
std::vector<std::string> NumberWordKeys(std::string_view words, bool feminine);

// The weekday of a date (0 = Sunday), Gregorian calendar.
int WeekdayOf(int year, int month, int day);

// "_" + weekday name ("_Sexta"); `weekday` 0 is Sunday.
std::string WeekdayKey(int weekday);

// "_" + the first 7 characters of the month name ("_Setembr"); `month` 1 is January.
std::string MonthKey(int month);

}  // namespace placarim::speech
