#include "game/random.h"

#include <chrono>
#include <utility>

namespace placarim::game {

uint64_t ClockSeed() {
  return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

void ShufflePhase(Championship& championship, int phase, Random& random) {
  constexpr int kSwaps = 20;
  const int count = championship.SumCount(phase);
  if (count < 1) return;
  for (int swap = 0; swap < kSwaps; ++swap) {
    const int i = random.Uniform(1, count);
    const int j = random.Uniform(1, count);
    std::swap(championship.Sum(phase, i), championship.Sum(phase, j));
  }
}

int64_t CellValue(int64_t a, char op, int64_t b) {
  switch (op) {
    case '+': return a + b;
    case '-': return a - b;
    case '*': case 'x': case 'X': return a * b;
    case '/': case ':': return b == 0 ? 0 : a / b;
    default: return 0;
  }
}

}  // namespace placarim::game
