// In-memory wave images: a 44-byte canonical PCM header followed by samples.
// The speech layer's own sounds are 8-bit unsigned mono at 11,025 samples per
// second (silence is 128).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <vector>

namespace placarim::speech {

inline constexpr size_t kWaveHeaderSize = 44;
inline constexpr uint32_t kSpeechRate = 11025;
inline constexpr uint8_t kSilence = 128;

// Fills the first 44 bytes of `image` (which must hold at least 44) with the
// canonical header: data size at offset 40, RIFF size (data size + 36) at 4,
// channels at 22, rate at 24, byte rate (rate * channels * bits / 8) at 28,
// bits at 34. The block alignment stays 1, as every sound here is 8-bit mono.
void MakeWaveHeader(uint8_t* image, uint32_t data_size, uint32_t rate, uint16_t channels,
                    uint16_t bits);

// A wave image of the given 8-bit mono 11,025 Hz samples.
std::vector<uint8_t> MakeSpeechImage(const uint8_t* samples, size_t count);

// The click: 64 samples of noise (128 plus 0 to 59) and 192 of silence.
std::vector<uint8_t> MakeClickSamples(std::mt19937& random);

// The beep: the triangle 128, 112, 96, 80, 64, 80, 96, 112 repeated 64 times
// (1378.125 Hz, about 46 ms), ending on silence.
std::vector<uint8_t> MakeBeepSamples();

// The samples of a wave file of 8-bit mono PCM: what recorded number words
// must be. Other chunks (a recorder's LIST or fact chunk) may stand before or
// after the samples; a data length past the end of the file is cut to what is
// there. Nothing when `bytes` are not such a file.
std::optional<std::span<const uint8_t>> SpeechWaveSamples(const std::vector<uint8_t>& bytes);

}  // namespace placarim::speech
