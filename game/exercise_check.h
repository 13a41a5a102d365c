// Checks an exercise file for the teacher: reads it with the game's own
// splitter and sum reader and tells, line by line and in Portuguese, what the
// game will refuse, what it can never ask, and what it will play differently
// from what the teacher probably meant.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace placarim::game {

enum class Severity {
  kError,    // the game stops or refuses, or sums are never asked
  kWarning,  // the game plays it, but probably not as meant
};

struct Problem {
  int line = 0;  // 0: the file as a whole
  Severity severity = Severity::kError;
  std::string text;  // UTF-8, Portuguese
};

// Every problem of the file, in line order (whole-file problems first).
std::vector<Problem> CheckExerciseFile(std::string_view file_bytes);

// One problem as the checker prints it: "<name>, linha 12: erro: ...".
std::string FormatProblem(std::string_view file_name, const Problem& problem);

}  // namespace placarim::game
