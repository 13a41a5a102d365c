// The console's mode tones: a square wave as a complete in-memory RIFF/WAVE
// image (8-bit mono, 11025 Hz), for the platform's looping sound player.
#pragma once

#include <cstdint>
#include <vector>

namespace placarim::console {

inline constexpr int kToneRate = 11025;

// A little under one second of a square wave of `frequency` hertz (clamped to
// 1 to 11025), 32 steps each side of the silence level, ending on silence.
std::vector<uint8_t> MakeToneImage(uint16_t frequency);

}  // namespace placarim::console
