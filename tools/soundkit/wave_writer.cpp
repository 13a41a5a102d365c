#include "tools/soundkit/wave_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace placarim::soundkit {
namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

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
  std::vector<uint8_t> out;
  out.reserve(samples.size() * 2);
  for (float s : samples) {
    const long v = std::lround(Clip(s) * 32767.0f);
    PutU16(out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(v))));
  }
  return out;
}

std::vector<uint8_t> EncodeWave(std::span<const float> samples, const WaveFormat& format) {
  const bool eight = format.sample_format == SampleFormat::kUnsigned8;
  const std::vector<uint8_t> data = eight ? ToUnsigned8(samples) : ToSigned16(samples);
  const uint32_t bytes_per_sample = eight ? 1 : 2;
  const auto rate = static_cast<uint32_t>(format.sample_rate);

  std::vector<uint8_t> out;
  out.reserve(kWaveHeaderSize + data.size());
  PutTag(out, "RIFF");
  PutU32(out, static_cast<uint32_t>(36 + data.size()));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutU32(out, 16);
  PutU16(out, 1);  // PCM
  PutU16(out, 1);  // mono
  PutU32(out, rate);
  PutU32(out, rate * bytes_per_sample);
  PutU16(out, bytes_per_sample);
  PutU16(out, bytes_per_sample * 8);
  PutTag(out, "data");
  PutU32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
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
