// The exercise file: the teacher's plain text file of championships, phases and
// sums. This part only parses; speaking the errors it reports is the game's job,
// so the parsing can be checked without a console or a voice.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/regular_file.h"

namespace placarim::game {

inline constexpr int kMaxPhases = 10;
inline constexpr int kMaxSumsPerPhase = 30;
inline constexpr int kMaxChampionships = 9;
inline constexpr int32_t kMaxOperand = 2147483647;

// The loaded championship. Phases and sums are numbered from 1, as the teacher
// counts them; cells are filled from 1 upwards and each keeps its line exactly
// as read (blanks included), so a damaged line can be reported word for word.
struct Championship {
  int phase_count = 0;
  std::array<int, kMaxPhases> sum_count{};
  std::array<std::array<std::string, kMaxSumsPerPhase>, kMaxPhases> sums;

  int SumCount(int phase) const { return sum_count[phase - 1]; }
  const std::string& Sum(int phase, int sum) const { return sums[phase - 1][sum - 1]; }
  std::string& Sum(int phase, int sum) { return sums[phase - 1][sum - 1]; }
};

// What loading one championship gave: its title when the header was found, the
// tables, and the message keys to say (in order) when the file is refused.
struct LoadResult {
  std::optional<std::string> title;
  Championship championship;
  std::vector<std::string> errors;

  bool ok() const { return errors.empty(); }
};

// One line of the exercise file with its number, counted from 1 at the top.
struct NumberedLine {
  int number = 0;
  std::string text;  // Windows-1252, without its line end
};

// A championship as written in the file: its header line, title and every
// phase with its sum lines, whatever their count. The limits of the game's
// tables are applied by the loader and reported by the checker.
struct WrittenChampionship {
  int header_line = 0;
  std::string title;
  std::vector<std::vector<NumberedLine>> phases;
};

// The whole exercise file split as the game reads it.
struct WrittenFile {
  std::vector<NumberedLine> preamble;  // non-empty lines before the first header
  std::vector<WrittenChampionship> championships;
  bool from_utf8 = false;       // the text was UTF-8 and was converted
  bool byte_order_mark = false;  // a UTF-8 byte order mark opened the file (skipped)
  int end_of_file_line = 0;     // line of a Ctrl+Z that ends the text early; 0 when none
  bool text_after_end = false;  // something other than blanks and line ends follows it
};

// Splits the exercise file's bytes into championships, phases and sum lines.
// The text may be Windows-1252 or UTF-8 (converted); a UTF-8 byte order mark
// is skipped, so that a header on the first line still counts; a Ctrl+Z ends
// the text; lines end with CR LF or LF. Empty lines separate phases (several
// count as one); a line of blanks is a sum line.
WrittenFile SplitExerciseFile(std::string_view file_bytes);

// Fills the tables of championship `number` (1 to 9) from the whole text of
// the exercise file, split as SplitExerciseFile does. Refusals: fewer headers
// than `number` (PLERRARQ), a 31st sum in a phase (PLERRMAX, PLERRARQ), an
// eleventh phase (PLERRARQ: the tables hold ten, and dropping sums the
// teacher wrote would go unnoticed).
LoadResult LoadChampionshipText(std::string_view file_bytes, int number);

using platform::CanOpenForReading;
using platform::ReadWholeFile;

// One sum line taken apart: a op b = r.
struct ParsedSum {
  int32_t a = 0;
  char op = '+';
  int32_t b = 0;
  int32_t r = 0;
};

// The first way in which a sum line breaks the syntax, in reading order.
enum class SumFault {
  kNone,
  kNoFirstNumber,
  kFirstNumberTooBig,
  kBadOperator,
  kNoSecondNumber,
  kSecondNumberTooBig,
  kNoEquals,
  kNoResult,
  kNegativeResult,
  kResultTooBig,
};

// A sum line read: its parts when it follows the syntax, else the fault.
struct SumReading {
  std::optional<ParsedSum> sum;
  SumFault fault = SumFault::kNone;
};

// Blanks (spaces) are removed first; then a run of digits, one of the seven
// operator characters + - * x X / :, a run of digits, "=", a run of digits and
// anything after. Each number is 1 or more digits worth at most 2147483647.
SumReading ReadSum(std::string_view line);
// The parts of a sum line; nothing when the line does not follow the syntax.
std::optional<ParsedSum> ParseSum(std::string_view line);

bool IsOperatorChar(char c);

}  // namespace placarim::game
