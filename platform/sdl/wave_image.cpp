#include "platform/sdl/wave_image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

namespace placarim::platform::sdl {
namespace {

uint32_t Read32(std::span<const uint8_t> b, size_t at) {
  return uint32_t{b[at]} | (uint32_t{b[at + 1]} << 8) | (uint32_t{b[at + 2]} << 16) |
         (uint32_t{b[at + 3]} << 24);
}

uint16_t Read16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

bool TagIs(std::span<const uint8_t> b, size_t at, const char* tag) {
  return std::memcmp(b.data() + at, tag, 4) == 0;
}

// Writes the canonical header into a fixed buffer, little-endian.
class HeaderWriter {
 public:
  void Tag(const char* tag) {
    for (int i = 0; i < 4; ++i) bytes_[at_++] = static_cast<uint8_t>(tag[i]);
  }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[at_++] = static_cast<uint8_t>(v >> (8 * i));
  }
  void U16(uint16_t v) {
    bytes_[at_++] = static_cast<uint8_t>(v);
    bytes_[at_++] = static_cast<uint8_t>(v >> 8);
  }
  const std::array<uint8_t, 44>& Bytes() const { return bytes_; }

 private:
  std::array<uint8_t, 44> bytes_{};
  size_t at_ = 0;
};

}  // namespace

std::optional<WaveView> ReadWaveImage(std::span<const uint8_t> image) {
  if (image.size() < 12 || !TagIs(image, 0, "RIFF") || !TagIs(image, 8, "WAVE")) return std::nullopt;
  std::optional<AudioFormat> format;
  size_t at = 12;
  while (image.size() - at >= 8) {
    const uint64_t length = Read32(image, at + 4);
    const size_t body = at + 8;
    const size_t present = static_cast<size_t>(std::min<uint64_t>(length, image.size() - body));
    if (TagIs(image, at, "fmt ") && !format) {
      if (present < 16 || Read16(image, body) != 1) return std::nullopt;  // PCM only
      AudioFormat f;
      f.channels = Read16(image, body + 2);
      f.rate = Read32(image, body + 4);
      f.bits = Read16(image, body + 14);
      if (f.channels == 0 || f.rate == 0 || (f.bits != 8 && f.bits != 16)) return std::nullopt;
      format = f;
    } else if (TagIs(image, at, "data") && format) {
      return WaveView{*format, image.subspan(body, present)};
    }
    // Chunks are padded to an even length; 64-bit arithmetic so a huge length
    // ends the walk instead of wrapping around.
    const uint64_t next = uint64_t{body} + length + (length & 1);
    if (next > image.size()) break;
    at = static_cast<size_t>(next);
  }
  return std::nullopt;
}

std::vector<uint8_t> MakeWaveImage(const AudioFormat& format, std::span<const uint8_t> samples) {
  const uint16_t align = static_cast<uint16_t>(format.channels * (format.bits / 8));
  HeaderWriter header;
  header.Tag("RIFF");
  header.U32(static_cast<uint32_t>(36 + samples.size()));
  header.Tag("WAVE");
  header.Tag("fmt ");
  header.U32(16);
  header.U16(1);
  header.U16(format.channels);
  header.U32(format.rate);
  header.U32(format.rate * align);
  header.U16(align);
  header.U16(format.bits);
  header.Tag("data");
  header.U32(static_cast<uint32_t>(samples.size()));
  std::vector<uint8_t> out(header.Bytes().size() + samples.size());
  std::memcpy(out.data(), header.Bytes().data(), header.Bytes().size());
  if (!samples.empty()) std::memcpy(out.data() + header.Bytes().size(), samples.data(), samples.size());
  return out;
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

}  // namespace placarim::platform::sdl
