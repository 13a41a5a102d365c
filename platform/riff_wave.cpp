#include "platform/riff_wave.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace placarim::platform::riff {
namespace {

constexpr size_t kPcmFieldsSize = 16;

char AsciiLower(uint8_t c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); }

bool NameIs(const uint8_t* name, const char (&expected)[5], bool any_case) {
  for (int i = 0; i < 4; ++i) {
    const auto want = static_cast<uint8_t>(expected[i]);
    if (any_case ? AsciiLower(name[i]) != AsciiLower(want) : name[i] != want) return false;
  }
  return true;
}

void PutTag(uint8_t* at, const char (&tag)[5]) { std::memcpy(at, tag, 4); }

void SkipPad(WaveSource& source, uint64_t chunk_length, PadByte pad) {
  if (chunk_length % 2 == 0 || pad == PadByte::kNever) return;
  if (pad == PadByte::kAlways) {
    source.Skip(1);
    return;
  }
  uint8_t next = 0;
  if (source.Peek(next) && next == 0) source.Skip(1);
}

WaveChunks Failure(WaveWalkError error) {
  WaveChunks chunks;
  chunks.error = error;
  return chunks;
}

}  // namespace

void WriteCanonicalHeader(uint8_t* out, const AudioFormat& format, uint32_t data_size) {
  WriteCanonicalHeader(out, format, data_size, static_cast<uint16_t>(format.channels * (format.bits / 8)));
}

void WriteCanonicalHeader(uint8_t* out, const AudioFormat& format, uint32_t data_size,
                          uint16_t block_align) {
  PutTag(out, "RIFF");
  PutLe32(out + 4, data_size + 36);
  PutTag(out + 8, "WAVE");
  PutTag(out + 12, "fmt ");
  PutLe32(out + 16, kPcmFieldsSize);
  PutLe16(out + 20, 1);  // PCM
  PutLe16(out + 22, format.channels);
  PutLe32(out + 24, format.rate);
  PutLe32(out + 28, format.rate * format.channels * (format.bits / 8));
  PutLe16(out + 32, block_align);
  PutLe16(out + 34, format.bits);
  PutTag(out + 36, "data");
  PutLe32(out + 40, data_size);
}

std::vector<uint8_t> MakeWaveImage(const AudioFormat& format, std::span<const uint8_t> samples) {
  std::vector<uint8_t> image(kCanonicalHeaderSize + samples.size());
  WriteCanonicalHeader(image.data(), format, static_cast<uint32_t>(samples.size()));
  if (!samples.empty()) std::memcpy(image.data() + kCanonicalHeaderSize, samples.data(), samples.size());
  return image;
}

bool WriteWaveFile(const std::string& path, const AudioFormat& format, std::span<const uint8_t> samples) {
  const std::vector<uint8_t> image = MakeWaveImage(format, samples);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  return !out.fail();
}

WaveChunks ReadWaveChunks(WaveSource& source, const WaveReadOptions& options) {
  uint8_t riff[12];
  if (ReadFully(source, riff, sizeof riff) != sizeof riff || !NameIs(riff, "RIFF", options.riff_any_case) ||
      (options.form_type_checked && !NameIs(riff + 8, "WAVE", options.chunk_names_any_case))) {
    return Failure(WaveWalkError::kNotRiff);
  }
  WaveChunks found;
  uint8_t chunk[8];
  // Each round consumes at least the 8-byte chunk header, so the walk ends.
  while (ReadFully(source, chunk, sizeof chunk) == sizeof chunk) {
    const uint32_t length = Le32(chunk + 4);
    if (!found.has_format && NameIs(chunk, "fmt ", options.chunk_names_any_case)) {
      found.format_size = std::min<size_t>(length, found.format.size());
      if (ReadFully(source, found.format.data(), found.format_size) != found.format_size ||
          !source.Skip(length - found.format_size)) {
        return Failure(WaveWalkError::kNoFormat);
      }
      found.has_format = true;
    } else if (!found.has_format && options.format_chunk_first) {
      return Failure(WaveWalkError::kNoFormat);
    } else if (found.has_format && NameIs(chunk, "data", options.chunk_names_any_case)) {
      found.data_length = length;
      return found;
    } else if (!source.Skip(length)) {
      break;
    }
    SkipPad(source, length, options.pad);
  }
  found.error = found.has_format ? WaveWalkError::kNoData : WaveWalkError::kNoFormat;
  return found;
}

bool ReadPcmFields(std::span<const uint8_t> format_body, PcmFields& fields) {
  if (format_body.size() < kPcmFieldsSize) return false;
  fields.tag = Le16(&format_body[0]);
  fields.format.channels = Le16(&format_body[2]);
  fields.format.rate = Le32(&format_body[4]);
  fields.format.bits = Le16(&format_body[14]);
  return true;
}

}  // namespace placarim::platform::riff
