// What SDL's disk audio driver wrote, read back. The audio device runs at one
// fixed format, 16-bit stereo at 48 kHz on that driver, whatever the format
// of the sounds played; a constant sample value stays constant through SDL's
// conversion, so sounds made of runs of one value are found by their level.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace placarim::testing {

constexpr int kPlayedRate = 48000;
constexpr size_t kPlayedFrameBytes = 4;

// The left channel of the frames in `path` from byte `offset` (a frame's start) on.
inline std::vector<int16_t> ReadPlayedLeft(const std::filesystem::path& path, size_t offset = 0) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<int16_t> left;
  left.reserve(bytes.size() / kPlayedFrameBytes);
  for (size_t i = 0; i + kPlayedFrameBytes <= bytes.size(); i += kPlayedFrameBytes) {
    left.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  }
  return left;
}

// The 16-bit level of a run of one 8-bit (unsigned) sample value.
constexpr int Level8(uint8_t value) { return (value - 128) * 256; }
// The level of a run of 16-bit samples whose two bytes are both `byte`.
constexpr int Level16(uint8_t byte) { return static_cast<int16_t>(byte | (byte << 8)); }

inline bool AtLevel(int16_t sample, int level) { return std::abs(sample - level) <= 256; }

// How many frames hold `level`.
inline size_t CountLevel(const std::vector<int16_t>& left, int level) {
  size_t n = 0;
  for (const int16_t s : left) n += AtLevel(s, level) ? 1 : 0;
  return n;
}

// One past the last frame at `level`; 0 when there is none.
inline size_t EndOfLevel(const std::vector<int16_t>& left, int level) {
  for (size_t i = left.size(); i > 0; --i) {
    if (AtLevel(left[i - 1], level)) return i;
  }
  return 0;
}

// The first frame at `level`; left.size() when there is none.
inline size_t StartOfLevel(const std::vector<int16_t>& left, int level) {
  for (size_t i = 0; i < left.size(); ++i) {
    if (AtLevel(left[i], level)) return i;
  }
  return left.size();
}

}  // namespace placarim::testing
