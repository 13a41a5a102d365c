#include "tools/soundkit/wave_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/riff_wave.h"

namespace placarim::soundkit {
namespace {

float Clip(float x) { return std::clamp(x, -1.0f, 1.0f); }

}  // namespace

std::vector<uint8_t> ToUnsigned8(std::span<const float> samples) {
  std::vector<uint8_t> out;
  out.reserve(samples.size());
  for (float s : samples) {
    const long v = std::lround(Clip(s) * 127.0f) + 128;
    out.push_back(static_cast<uint8_t>(std::clamp(v, 0L, 255L)));
  }
  return out;
}

std::vector<uint8_t> ToSigned16(std::span<const float> samples) {
  std::vector<uint8_t> out(samples.size() * 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    const long v = std::lround(Clip(samples[i]) * 32767.0f);
    platform::riff::PutLe16(&out[2 * i], static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
  return out;
}

std::vector<uint8_t> EncodeWave(std::span<const float> samples, const WaveFormat& format) {
  const bool eight = format.sample_format == SampleFormat::kUnsigned8;
  const std::vector<uint8_t> data = eight ? ToUnsigned8(samples) : ToSigned16(samples);
  const platform::AudioFormat wave{static_cast<uint32_t>(format.sample_rate), static_cast<uint16_t>(eight ? 8 : 16), 1};
  return platform::riff::MakeWaveImage(wave, data);
}

std::string WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return "cannot create " + temporary + ": " + std::strerror(errno);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool flushed = std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  if (!written || !flushed || !closed) {
    const std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return "cannot write " + temporary + ": " + reason;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return "cannot rename " + temporary + " to " + path + ": " + reason;
  }
  return {};
}

}  // namespace placarim::soundkit
