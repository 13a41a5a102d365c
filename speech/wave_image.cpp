#include "speech/wave_image.h"

#include <algorithm>
#include <cstring>

#include "platform/riff_wave.h"
#include "platform/wave_source.h"

namespace placarim::speech {

void MakeWaveHeader(uint8_t* image, uint32_t data_size, uint32_t rate, uint16_t channels,
                    uint16_t bits) {
  platform::riff::WriteCanonicalHeader(image, platform::AudioFormat{rate, bits, channels}, data_size, 1);
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

std::optional<std::span<const uint8_t>> SpeechWaveSamples(const std::vector<uint8_t>& bytes) {
  platform::MemorySource source(bytes);
  const platform::riff::WaveChunks chunks = platform::riff::ReadWaveChunks(source, platform::riff::WaveReadOptions{});
  platform::riff::PcmFields fields;
  if (!chunks.ok() || !platform::riff::ReadPcmFields(chunks.FormatBytes(), fields)) return std::nullopt;
  if (fields.tag != 1 || fields.format.channels != 1 || fields.format.bits != 8) return std::nullopt;
  const size_t length = static_cast<size_t>(std::min<uint64_t>(chunks.data_length, source.Remaining()));
  return std::span<const uint8_t>(bytes.data() + source.Position(), length);
}

}  // namespace placarim::speech
