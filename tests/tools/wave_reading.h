// Reads a PCM wave file the way the system's players do, for the tests of
// the data tree: the header's fields, and the samples as floats.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace placarim::soundkit::testing {

struct WaveInfo {
  int channels = 0;
  int sample_rate = 0;
  int bits = 0;
  size_t data_offset = 0;   // where the samples start
  std::vector<float> samples;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

inline uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

inline bool TagAt(const std::vector<uint8_t>& b, size_t at, const char* tag) {
  return b.size() >= at + 4 && std::equal(tag, tag + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

// Walks the chunks; nothing when the file is not RIFF/WAVE PCM with a
// format chunk followed by a data chunk that fits the file.
inline std::optional<WaveInfo> ParseWave(const std::vector<uint8_t>& b) {
  if (!TagAt(b, 0, "RIFF") || !TagAt(b, 8, "WAVE") || !TagAt(b, 12, "fmt ")) return std::nullopt;
  const uint32_t fmt_size = U32(b, 16);
  if (fmt_size < 16 || b.size() < 20 + fmt_size || U16(b, 20) != 1) return std::nullopt;
  WaveInfo info;
  info.channels = U16(b, 22);
  info.sample_rate = static_cast<int>(U32(b, 24));
  info.bits = U16(b, 34);
  size_t at = 20 + fmt_size;
  while (at + 8 <= b.size()) {
    const uint32_t size = U32(b, at + 4);
    if (TagAt(b, at, "data")) {
      if (at + 8 + size > b.size()) return std::nullopt;
      info.data_offset = at + 8;
      for (size_t i = info.data_offset; i < info.data_offset + size;) {
        if (info.bits == 8) {
          info.samples.push_back((static_cast<float>(b[i]) - 128.0f) / 128.0f);
          i += 1;
        } else if (info.bits == 16 && i + 1 < info.data_offset + size) {
          info.samples.push_back(static_cast<float>(static_cast<int16_t>(U16(b, i))) / 32768.0f);
          i += 2;
        } else {
          return std::nullopt;
        }
      }
      return info;
    }
    at += 8 + size;
  }
  return std::nullopt;
}

inline std::optional<WaveInfo> ReadWave(const std::string& path) { return ParseWave(ReadBytes(path)); }

}  // namespace placarim::soundkit::testing
