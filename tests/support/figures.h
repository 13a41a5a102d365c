// Latency figures shared by the benchmarks: median, 95th percentile and
// maximum of a set of measurements.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace placarim::bench {

struct Figures {
  double median, p95, max;
};

// `values` must not be empty.
inline Figures Summarize(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  const size_t p95 = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n))) - 1;
  return {values[n / 2], values[p95], values.back()};
}

}  // namespace placarim::bench
