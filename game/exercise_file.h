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

// Fills the tables of championship `number` (1 to 9) from the whole text of the
// exercise file. The text may be Windows-1252 or UTF-8 (converted); a Ctrl+Z
// ends it; lines end with CR LF or LF. Refusals: fewer headers than `number`
// (PLERRARQ), a 31st sum in a phase (PLERRMAX, PLERRARQ), an eleventh phase
// (PLERRARQ: the tables hold ten, and dropping sums the teacher wrote would go
// unnoticed).
LoadResult LoadChampionshipText(std::string_view file_bytes, int number);

// Reads a whole regular file; nothing when it cannot be opened or read, or
// when the name is a directory, a FIFO or a device. Never writes.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Whether the name is a regular file that can be opened for reading (it is
// not read).
bool CanOpenForReading(const std::string& path);

// One sum line taken apart: a op b = r.
struct ParsedSum {
  int32_t a = 0;
  char op = '+';
  int32_t b = 0;
  int32_t r = 0;
};

// Blanks (spaces) are removed first; then a run of digits, one of the seven
// operator characters + - * x X / :, a run of digits, "=", a run of digits and
// anything after. Each number is 1 or more digits worth at most 2147483647.
// Nothing when the line does not follow that syntax.
std::optional<ParsedSum> ParseSum(std::string_view line);

bool IsOperatorChar(char c);

}  // namespace placarim::game
