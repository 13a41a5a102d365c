// Measurements on synthesized speech shared by the engine's tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/repeated_fragments.h"

namespace placarim::mbr::testing {

inline std::string DatabasePath() {
  const char* dir = std::getenv("PLACARIM_BINARY_DIR");
  return std::string(dir ? dir : ".") + "/data/ilvra/ilvra.db";
}

// The pitch of samples [from, to) by normalised autocorrelation between 70
// and 500 Hz, refined between lags.
inline double MeasureHz(const std::vector<int16_t>& s, size_t from, size_t to, int rate) {
  auto corr = [&](int lag) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = from; i + static_cast<size_t>(lag) < to; ++i) {
      const double x = s[i], y = s[i + static_cast<size_t>(lag)];
      xy += x * y;
      xx += x * x;
      yy += y * y;
    }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
  };
  // The shortest lag at a local peak that comes close to the strongest one,
  // so that a period twice as long is not taken for the pitch.
  const int low = rate / 500, high = rate / 70;
  std::vector<double> r(static_cast<size_t>(high + 2), 0.0);
  double strongest = 0;
  for (int lag = low - 1; lag <= high + 1; ++lag) {
    r[static_cast<size_t>(lag)] = corr(lag);
    if (lag >= low && lag <= high) strongest = std::max(strongest, r[static_cast<size_t>(lag)]);
  }
  int best = low;
  for (int lag = low; lag <= high; ++lag) {
    const auto i = static_cast<size_t>(lag);
    if (r[i] >= 0.85 * strongest && r[i] >= r[i - 1] && r[i] >= r[i + 1]) {
      best = lag;
      break;
    }
  }
  const double a = corr(best - 1), b = corr(best), c = corr(best + 1);
  const double d = a - 2 * b + c;
  const double lag = best + (d < 0 ? 0.5 * (a - c) / d : 0.0);
  return rate / lag;
}

inline int MaxJump(const int16_t* s, size_t from, size_t to) {
  int jump = 0;
  for (size_t i = from; i + 1 < to; ++i) jump = std::max(jump, std::abs(int(s[i + 1]) - int(s[i])));
  return jump;
}

}  // namespace placarim::mbr::testing
