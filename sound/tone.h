// The mode tones (the braille switch's signals): a square wave as a complete
// in-memory RIFF/WAVE image (8-bit mono, 11025 Hz) for the platform's looping
// sound player, and the one tone that plays at a time.
//
// Threads: main thread only. Neither call blocks: the platform mixes the tone
// in the background until it is stopped.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace placarim::sound {

inline constexpr int kToneRate = 11025;

// A little under one second of a square wave of `frequency` hertz (clamped to
// 1 to 11025), 32 steps each side of the silence level, ending on silence.
std::vector<uint8_t> MakeToneImage(uint16_t frequency);

// Plays one looped tone at a time on the platform's tone player; a new tone
// replaces the one playing, and the tone stops at the latest when this goes.
class ModeTone {
 public:
  explicit ModeTone(platform::TonePlayer& player) : player_(player) {}
  ~ModeTone();
  ModeTone(const ModeTone&) = delete;
  ModeTone& operator=(const ModeTone&) = delete;

  void Play(uint16_t frequency);
  void Stop();

 private:
  platform::TonePlayer& player_;
  bool playing_ = false;
};

}  // namespace placarim::sound
