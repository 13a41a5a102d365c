// Any exercise file through the checker. Every problem names a line of the
// file (or the whole file), in order; and a file without errors must load
// in the game: every championship the menu offers, every sum parsing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/exercise_check.h"
#include "game/exercise_file.h"

using namespace placarim::game;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view file(reinterpret_cast<const char*>(data), size);
  const auto problems = CheckExerciseFile(file);
  const int lines = 1 + static_cast<int>(std::count(file.begin(), file.end(), '\n'));
  int previous = 0;
  bool errors = false;
  for (const Problem& problem : problems) {
    if (problem.line < previous || problem.line > lines || problem.text.empty()) std::abort();
    previous = problem.line;
    errors = errors || problem.severity == Severity::kError;
    FormatProblem("f", problem);
  }
  if (errors) return 0;
  const WrittenFile written = SplitExerciseFile(file);
  const int offered = std::min<int>(kMaxChampionships, static_cast<int>(written.championships.size()));
  if (problems.empty() && offered != kMaxChampionships) std::abort();
  for (int k = 1; k <= offered; ++k) {
    const LoadResult loaded = LoadChampionshipText(file, k);
    if (!loaded.ok()) std::abort();
    const Championship& c = loaded.championship;
    for (int p = 1; p <= c.phase_count; ++p) {
      for (int s = 1; s <= c.SumCount(p); ++s) {
        if (!ParseSum(c.Sum(p, s))) std::abort();
      }
    }
  }
  return 0;
}
