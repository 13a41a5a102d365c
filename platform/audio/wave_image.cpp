#include "platform/audio/wave_image.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace placarim::platform::audio {
namespace {

// Images for the tone player are made by programs, so they are read strictly:
// "RIFF" and "WAVE" exactly, chunks padded to an even length; the "fmt " chunk
// may come after others.
constexpr riff::WaveReadOptions kToneReading{};

}  // namespace

std::optional<WaveView> ReadWaveImage(std::span<const uint8_t> image) {
  MemorySource source(image);
  const riff::WaveChunks chunks = riff::ReadWaveChunks(source, kToneReading);
  riff::PcmFields fields;
  if (!chunks.ok() || !riff::ReadPcmFields(chunks.FormatBytes(), fields) || fields.tag != 1) return std::nullopt;
  const AudioFormat& f = fields.format;
  if (f.channels == 0 || f.rate == 0 || (f.bits != 8 && f.bits != 16)) return std::nullopt;
  const size_t present = static_cast<size_t>(std::min<uint64_t>(chunks.data_length, source.Remaining()));
  return WaveView{f, image.subspan(source.Position(), present)};
}

std::vector<uint8_t> MakeBeepImage() {
  constexpr int kRate = 11025;
  constexpr double kFrequency = 880.0;
  constexpr int kLength = kRate * 80 / 1000;
  constexpr int kFade = kRate * 5 / 1000;
  std::vector<uint8_t> samples(kLength);
  for (int i = 0; i < kLength; ++i) {
    const double envelope = std::min({1.0, double(i) / kFade, double(kLength - 1 - i) / kFade});
    const double wave = std::sin(2.0 * std::numbers::pi * kFrequency * i / kRate);
    samples[i] = static_cast<uint8_t>(std::lround(128.0 + 80.0 * envelope * wave));
  }
  return MakeWaveImage(AudioFormat{kRate, 8, 1}, samples);
}

}  // namespace placarim::platform::audio
