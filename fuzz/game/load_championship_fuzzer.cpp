// Any exercise file: the first byte picks the championship (1 to 9), the rest
// is the file. Loading must stay inside the tables and keep only sum lines.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/exercise_file.h"

using placarim::game::kMaxPhases;
using placarim::game::kMaxSumsPerPhase;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int number = 1 + data[0] % 9;
  std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  auto result = placarim::game::LoadChampionshipText(file, number);
  const auto& c = result.championship;
  if (c.phase_count < 0 || c.phase_count > kMaxPhases) std::abort();
  if (!result.ok()) return 0;
  if (!result.title) std::abort();
  for (int p = 1; p <= c.phase_count; ++p) {
    if (c.SumCount(p) < 1 || c.SumCount(p) > kMaxSumsPerPhase) std::abort();
    for (int s = 1; s <= c.SumCount(p); ++s) {
      const std::string& line = c.Sum(p, s);
      if (line.empty() || line[0] == '*') std::abort();
      placarim::game::ParseSum(line);
    }
  }
  return 0;
}
