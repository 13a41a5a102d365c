// Playback's reading of RIFF/WAVE files and images, shared by file and memory
// playback, on the system's one walker (platform/riff_wave.h).
//
// Layout accepted: "RIFF", a 32-bit length (not trusted), a form type (not
// checked), then a "fmt " chunk straight away, then any chunks up to the first
// "data" chunk. Chunk names are compared without regard to case. A chunk of
// odd length is followed by a zero pad byte in well-formed files and by
// nothing in some others; the walker skips a zero byte found there and keeps a
// non-zero one as the start of the next chunk name, so both kinds are read.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/platform.h"
#include "platform/riff_wave.h"
#include "platform/wave_source.h"

namespace placarim::sound {

// The byte sources live with the walker, below playback.
using platform::FileSource;
using platform::MemorySource;
using platform::ReadFully;
using platform::WaveSource;

enum class WaveError {
  kNone,
  kNotRiff,    // shorter than 12 bytes, or not "RIFF"
  kNoFormat,   // no "fmt " chunk right after the RIFF header, or it is cut short
  kBadFormat,  // a format the device is not given (see IsPlayableFormat)
  kNoData,     // no "data" chunk before the end
};

struct WaveHeader {
  WaveError error = WaveError::kNone;
  platform::AudioFormat format;
  uint64_t data_length = 0;  // as the header says; may exceed what follows
  bool ok() const { return error == WaveError::kNone; }
};

// Reads the header of a RIFF/WAVE stream. On success the source stands at the
// first data byte.
WaveHeader ReadWaveHeader(WaveSource& source);

// Decodes a "fmt " chunk's bytes: integer PCM (tag 1, or the extensible tag
// with the PCM sub-format) in a playable format, else nothing.
std::optional<platform::AudioFormat> ParseFormatChunk(std::span<const uint8_t> chunk);

// A wave image held in memory, and the samples it really holds.
struct WaveImage {
  platform::AudioFormat format;
  std::span<const uint8_t> samples;
};

// The data chunk of an in-memory image, cut to the image's end; nothing when
// the image is not a playable RIFF/WAVE image.
std::optional<WaveImage> FindImageSamples(std::span<const uint8_t> image);

}  // namespace placarim::sound
