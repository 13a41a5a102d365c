// The game's non-verbal cues, made from scratch: short jingles and fanfares
// of additive instruments, a ball kick, a counting tick, a crowd's "uau",
// applause and a referee's whistle. Every random choice comes from a fixed
// seed, so each cue is the same, byte for byte, on every build.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace placarim::soundkit {

enum class Cue {
  kStartJingle,     // the game begins
  kEndJingle,       // the championship is won
  kFanfare,         // a phase starts or is won
  kShortFanfare,    // before each sum
  kMediumFanfare,   // after the phase number
  kKick,            // the answer is shot at goal
  kTick,            // one unit counted
  kCrowd,           // the crowd's "uau"
  kApplause,
  kWhistle,         // the referee starts the training
};

// The cue's samples at `rate` (mono, peak 0.8).
std::vector<float> MakeCue(Cue cue, int rate);

}  // namespace placarim::soundkit
