// In-memory RIFF/WAVE images for the tone player: reading the format and the
// samples out of one (the images may come from anywhere, so every size is
// checked against the bytes really there) and making one from samples.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/platform.h"
#include "platform/riff_wave.h"

namespace placarim::platform::audio {

struct WaveView {
  AudioFormat format;
  std::span<const uint8_t> samples;  // inside the image; cut to the bytes present
};

// The PCM format and data of an image: "RIFF", "WAVE", then chunks; the first
// "fmt " (at least 16 bytes, PCM) and the first "data" after it. Nothing when
// the image is not PCM with a known format or has no data chunk.
std::optional<WaveView> ReadWaveImage(std::span<const uint8_t> image);

// A canonical image: 44-byte header, then the samples.
using riff::MakeWaveImage;

// The default message beep: a short 880 Hz tone, 8-bit mono at 11,025 Hz,
// faded in and out so it does not click.
std::vector<uint8_t> MakeBeepImage();

}  // namespace placarim::platform::audio
