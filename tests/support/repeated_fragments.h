// A measure of synthesized speech shared by the engine's tests and the
// voice benchmarks.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <vector>

namespace placarim::mbr::testing {

// Where a fragment repeats itself sample for sample (within 2) for at least
// three periods of 40 to 160 samples while it is not silence: a grain laid
// again and again, heard as a buzz or a train of small steps. Speech itself
// never repeats that exactly (its pitch moves); silence is left out. Each run
// counts once, at its start.
inline std::vector<size_t> RepeatedFragments(const std::vector<int16_t>& s) {
  std::vector<size_t> at;
  size_t i = 0;
  while (i < s.size()) {
    size_t found = 0;
    for (size_t period = 40; period <= 160 && !found; ++period) {
      if (i + 3 * period > s.size()) break;
      bool same = true;
      int loudest = 0;
      for (size_t k = i + period; k < i + 3 * period && same; ++k) {
        same = std::abs(int(s[k]) - int(s[k - period])) <= 2;
        loudest = std::max(loudest, std::abs(int(s[k])));
      }
      if (same && loudest >= 64) found = period;
    }
    if (!found) {
      ++i;
      continue;
    }
    at.push_back(i);
    // Skip the whole run.
    size_t k = i + found;
    while (k < s.size() && std::abs(int(s[k]) - int(s[k - found])) <= 2) ++k;
    i = k;
  }
  return at;
}

}  // namespace placarim::mbr::testing
