// Formats wave playback accepts, and the small rules about them shared by the
// file walker, the block queue and the speed-up option.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace placarim::sound {

// One data block handed to the device holds at most this many bytes.
inline constexpr size_t kBlockSize = 65534;
// The device never gets a block shorter than this; shorter sound is padded.
inline constexpr size_t kMinBlockLength = 256;
// How many blocks may be queued on the device at once.
inline constexpr int kBlockCount = 4;

// Sample rates outside this range are refused: a header claiming 0 or 3 Hz
// would hold the device for minutes per block, and above it no sound card
// plays the data as sound.
inline constexpr uint32_t kMinRate = 1000;
inline constexpr uint32_t kMaxRate = 192000;

// Only integer PCM of 8 or 16 bits, mono or stereo, at a sane rate reaches the
// device; everything else (24-bit, float, 4 channels...) is not played.
bool IsPlayableFormat(const platform::AudioFormat& format);

// The byte that sounds as silence: 128 for unsigned 8-bit, 0 for signed 16-bit.
uint8_t SilenceByte(uint16_t bits);

// rate x 1.5, rounded to the nearest integer with ties going to the even one
// (11,025 -> 16,538). Computed in 64 bits, so any 32-bit rate is safe.
uint64_t SpeedUpRate(uint32_t rate);

}  // namespace placarim::sound
