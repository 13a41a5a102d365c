// Canonical PCM wave files: the 44-byte header ("RIFF", "WAVE", a 16-byte
// "fmt " chunk, "data") followed by the samples. Readers of the letters
// directory skip exactly 44 bytes, so nothing else may sit before the data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace placarim::soundkit {

enum class SampleFormat { kUnsigned8, kSigned16 };

struct WaveFormat {
  int sample_rate = 11025;
  SampleFormat sample_format = SampleFormat::kUnsigned8;
};

inline constexpr int kWaveHeaderSize = 44;

// Float samples in [-1, 1] to 8-bit unsigned (silence 128); values beyond
// the range are clipped.
std::vector<uint8_t> ToUnsigned8(std::span<const float> samples);

// Float samples in [-1, 1] to 16-bit signed, little-endian bytes.
std::vector<uint8_t> ToSigned16(std::span<const float> samples);

// The whole file image: header plus samples in the given format, mono.
std::vector<uint8_t> EncodeWave(std::span<const float> samples, const WaveFormat& format);

// Writes `bytes` to `path` through a temporary file in the same directory
// that is renamed into place only when every byte is on disk, so a failed or
// interrupted run never leaves a truncated file under the final name.
// Returns an empty string on success, otherwise the reason.
std::string WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace placarim::soundkit
