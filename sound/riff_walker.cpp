#include "sound/riff_walker.h"

#include <algorithm>

#include "sound/wave_format.h"

namespace placarim::sound {
namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr size_t kFormatFieldsSize = 16;
// The extensible layout keeps its real format tag in the first two bytes of
// the sub-format identifier at offset 24.
constexpr size_t kSubFormatOffset = 24;
constexpr size_t kFormatBytesKept = 40;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

char AsciiLower(uint8_t c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); }

bool NameIs(const uint8_t* name, const char (&expected)[5]) {
  for (int i = 0; i < 4; ++i) {
    if (AsciiLower(name[i]) != AsciiLower(static_cast<uint8_t>(expected[i]))) return false;
  }
  return true;
}

void SkipPadByte(WaveSource& source, uint64_t chunk_length) {
  if (chunk_length % 2 == 0) return;
  uint8_t next = 0;
  if (source.Peek(next) && next == 0) source.Skip(1);
}

WaveHeader Failure(WaveError error) {
  WaveHeader header;
  header.error = error;
  return header;
}

}  // namespace

std::optional<platform::AudioFormat> ParseFormatChunk(std::span<const uint8_t> chunk) {
  if (chunk.size() < kFormatFieldsSize) return std::nullopt;
  const uint16_t tag = Le16(&chunk[0]);
  const bool extensible_pcm = tag == kTagExtensible && chunk.size() >= kSubFormatOffset + 2 &&
                              Le16(&chunk[kSubFormatOffset]) == kTagPcm;
  if (tag != kTagPcm && !extensible_pcm) return std::nullopt;
  platform::AudioFormat format;
  format.channels = Le16(&chunk[2]);
  format.rate = Le32(&chunk[4]);
  format.bits = Le16(&chunk[14]);
  if (!IsPlayableFormat(format)) return std::nullopt;
  return format;
}

WaveHeader ReadWaveHeader(WaveSource& source) {
  uint8_t riff[12];
  if (ReadFully(source, riff, sizeof riff) != sizeof riff || !NameIs(riff, "RIFF")) {
    return Failure(WaveError::kNotRiff);
  }
  uint8_t chunk[8];
  if (ReadFully(source, chunk, sizeof chunk) != sizeof chunk || !NameIs(chunk, "fmt ")) {
    return Failure(WaveError::kNoFormat);
  }
  const uint32_t format_length = Le32(chunk + 4);
  uint8_t format_bytes[kFormatBytesKept];
  const size_t kept = std::min<size_t>(format_length, sizeof format_bytes);
  if (ReadFully(source, format_bytes, kept) != kept || !source.Skip(format_length - kept)) {
    return Failure(WaveError::kNoFormat);
  }
  SkipPadByte(source, format_length);
  const auto format = ParseFormatChunk({format_bytes, kept});
  if (!format) return Failure(WaveError::kBadFormat);

  // Each round consumes at least the 8-byte chunk header, so the walk ends.
  while (ReadFully(source, chunk, sizeof chunk) == sizeof chunk) {
    const uint32_t length = Le32(chunk + 4);
    if (NameIs(chunk, "data")) {
      WaveHeader header;
      header.format = *format;
      header.data_length = length;
      return header;
    }
    if (!source.Skip(length)) break;
    SkipPadByte(source, length);
  }
  return Failure(WaveError::kNoData);
}

std::optional<WaveImage> FindImageSamples(std::span<const uint8_t> image) {
  MemorySource source(image);
  const WaveHeader header = ReadWaveHeader(source);
  if (!header.ok()) return std::nullopt;
  const size_t available = source.Remaining();
  const size_t length = static_cast<size_t>(std::min<uint64_t>(header.data_length, available));
  return WaveImage{header.format, image.subspan(source.Position(), length)};
}

}  // namespace placarim::sound
