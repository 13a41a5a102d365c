// RIFF/WAVE in one place: little-endian fields, the canonical 44-byte header,
// and a walker that finds the "fmt " and "data" chunks of a file or an image.
//
// Files reach the program from many hands (the sound kit, other programs, a
// teacher's own recordings), and its readers have always differed in what they
// forgive: letter case of the chunk names, a form type other than "WAVE",
// chunks before "fmt ", the pad byte after a chunk of odd length. Each reader
// states its tolerance as WaveReadOptions; the walk itself is the same, and
// every length is checked against what is really there, so no header value can
// make it read outside its source or walk backwards.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/wave_source.h"

namespace placarim::platform::riff {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// --- writing -------------------------------------------------------------

inline constexpr size_t kCanonicalHeaderSize = 44;

// Fills out[0..44) with "RIFF", the RIFF length (data_size + 36), "WAVE", a
// 16-byte PCM "fmt " chunk and the "data" chunk header. The block alignment is
// channels x bytes per sample unless given.
void WriteCanonicalHeader(uint8_t* out, const AudioFormat& format, uint32_t data_size);
void WriteCanonicalHeader(uint8_t* out, const AudioFormat& format, uint32_t data_size,
                          uint16_t block_align);

// A canonical image: the 44-byte header, then the samples.
std::vector<uint8_t> MakeWaveImage(const AudioFormat& format, std::span<const uint8_t> samples);

// Writes a canonical wave file; false when it could not be written whole.
bool WriteWaveFile(const std::string& path, const AudioFormat& format,
                   std::span<const uint8_t> samples);

// --- reading -------------------------------------------------------------

// After a chunk of odd length, well-formed files hold a pad byte; some files
// hold nothing there.
enum class PadByte {
  kAlways,    // always skipped
  kWhenZero,  // skipped when it is 0; a non-zero byte starts the next chunk name
  kNever,     // never skipped: the next chunk starts right after the body
};

struct WaveReadOptions {
  bool riff_any_case = false;         // "riff" passes for "RIFF"
  bool chunk_names_any_case = false;  // "FMT ", "DATA" pass
  bool form_type_checked = true;      // "WAVE" must follow the RIFF length
  bool format_chunk_first = false;    // "fmt " must come right after the RIFF header
  PadByte pad = PadByte::kAlways;
};

enum class WaveWalkError {
  kNone,
  kNotRiff,   // shorter than 12 bytes, not "RIFF", or (when checked) not "WAVE"
  kNoFormat,  // no "fmt " chunk where one is required, or its body is cut short
  kNoData,    // no "data" chunk after the "fmt " chunk before the end
};

struct WaveChunks {
  WaveWalkError error = WaveWalkError::kNone;
  bool has_format = false;  // a "fmt " chunk was read whole (also when no data followed)
  // The first bytes of the "fmt " chunk's body (up to 40: enough for the
  // extensible layout), as many as the chunk holds.
  std::array<uint8_t, 40> format{};
  size_t format_size = 0;
  uint64_t data_length = 0;  // as the header says; may exceed what follows
  bool ok() const { return error == WaveWalkError::kNone; }
  std::span<const uint8_t> FormatBytes() const { return {format.data(), format_size}; }
};

// Walks a RIFF/WAVE stream to the first "data" chunk after the first "fmt "
// chunk; on success the source stands at the first data byte.
WaveChunks ReadWaveChunks(WaveSource& source, const WaveReadOptions& options);

// The PCM fields of a "fmt " chunk body of at least 16 bytes.
struct PcmFields {
  uint16_t tag = 0;
  AudioFormat format;
};
bool ReadPcmFields(std::span<const uint8_t> format_body, PcmFields& fields);

}  // namespace placarim::platform::riff
