// The game's one source of chance: the phase shuffles and the commentary
// phrases. Behind an interface so that tests can script the draws.
#pragma once

#include <cstdint>
#include <random>

#include "game/exercise_file.h"

namespace placarim::game {

class Random {
 public:
  virtual ~Random() = default;
  // A value drawn uniformly from lo to hi, both included (lo <= hi).
  virtual int Uniform(int lo, int hi) = 0;
};

// The program's generator, seeded once when the program starts.
class SeededRandom : public Random {
 public:
  explicit SeededRandom(uint64_t seed) : engine_(seed) {}
  int Uniform(int lo, int hi) override {
    return std::uniform_int_distribution<int>(lo, hi)(engine_);
  }

 private:
  std::mt19937_64 engine_;
};

// A seed from the wall clock, so that each run deals the sums differently.
uint64_t ClockSeed();

// Reorders the sums of `phase` in place with 20 random swaps; the result is the
// starting order of the next shuffle when the phase is replayed.
void ShufflePhase(Championship& championship, int phase, Random& random);

// The value of a op b as the times tables show it: + - and the three
// multiplication characters as usual, "/" and ":" the quotient truncated toward
// zero (0 when b is 0), any other character 0.
int64_t CellValue(int64_t a, char op, int64_t b);

}  // namespace placarim::game
