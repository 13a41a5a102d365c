#include "speech/wave_image.h"

#include <cstring>

namespace placarim::speech {
namespace {

void Put16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t Get16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

constexpr uint8_t kHeaderTemplate[kWaveHeaderSize] = {
    'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
    16, 0, 0, 0,          // fmt chunk size
    1, 0, 1, 0,           // PCM, one channel
    0x11, 0x2B, 0, 0,     // 11025 samples per second
    0x11, 0x2B, 0, 0,     // 11025 bytes per second
    1, 0, 8, 0,           // block alignment 1, 8 bits
    'd', 'a', 't', 'a', 0, 0, 0, 0};

}  // namespace

void MakeWaveHeader(uint8_t* image, uint32_t data_size, uint32_t rate, uint16_t channels,
                    uint16_t bits) {
  std::memcpy(image, kHeaderTemplate, kWaveHeaderSize);
  Put32(image + 40, data_size);
  Put32(image + 4, data_size + 36);
  Put16(image + 22, channels);
  Put32(image + 24, rate);
  Put16(image + 34, bits);
  Put32(image + 28, rate * channels * (bits / 8));
}

std::vector<uint8_t> MakeSpeechImage(const uint8_t* samples, size_t count) {
  std::vector<uint8_t> image(kWaveHeaderSize + count);
  MakeWaveHeader(image.data(), static_cast<uint32_t>(count), kSpeechRate, 1, 8);
  if (count > 0) std::memcpy(image.data() + kWaveHeaderSize, samples, count);
  return image;
}

std::vector<uint8_t> MakeClickSamples(std::mt19937& random) {
  std::vector<uint8_t> samples(256, kSilence);
  std::uniform_int_distribution<int> noise(0, 59);
  for (int i = 0; i < 64; ++i) samples[i] = static_cast<uint8_t>(kSilence + noise(random));
  return samples;
}

std::vector<uint8_t> MakeBeepSamples() {
  constexpr uint8_t kTriangle[8] = {128, 112, 96, 80, 64, 80, 96, 112};
  std::vector<uint8_t> samples(512);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = kTriangle[i % 8];
  samples.back() = kSilence;
  return samples;
}

bool IsSpeechWaveFile(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kWaveHeaderSize) return false;
  const uint8_t* b = bytes.data();
  return std::memcmp(b, "RIFF", 4) == 0 && std::memcmp(b + 8, "WAVE", 4) == 0 &&
         Get16(b + 22) == 1 && Get16(b + 34) == 8;
}

}  // namespace placarim::speech
