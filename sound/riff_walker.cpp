#include "sound/riff_walker.h"

#include <algorithm>

#include "sound/wave_format.h"

namespace placarim::sound {
namespace {

namespace riff = platform::riff;

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
// The extensible layout keeps its real format tag in the first two bytes of
// the sub-format identifier at offset 24.
constexpr size_t kSubFormatOffset = 24;

// Playback forgives what other programs' files get wrong: letter case of the
// chunk names, any form type, and a missing pad byte after a chunk of odd
// length; but "fmt " must come first.
constexpr riff::WaveReadOptions kPlaybackReading{
    .riff_any_case = true,
    .chunk_names_any_case = true,
    .form_type_checked = false,
    .format_chunk_first = true,
    .pad = riff::PadByte::kWhenZero,
};

WaveHeader Failure(WaveError error) {
  WaveHeader header;
  header.error = error;
  return header;
}

}  // namespace

std::optional<platform::AudioFormat> ParseFormatChunk(std::span<const uint8_t> chunk) {
  riff::PcmFields fields;
  if (!riff::ReadPcmFields(chunk, fields)) return std::nullopt;
  const bool extensible_pcm = fields.tag == kTagExtensible && chunk.size() >= kSubFormatOffset + 2 &&
                              riff::Le16(&chunk[kSubFormatOffset]) == kTagPcm;
  if (fields.tag != kTagPcm && !extensible_pcm) return std::nullopt;
  if (!IsPlayableFormat(fields.format)) return std::nullopt;
  return fields.format;
}

WaveHeader ReadWaveHeader(WaveSource& source) {
  const riff::WaveChunks chunks = riff::ReadWaveChunks(source, kPlaybackReading);
  if (chunks.error == riff::WaveWalkError::kNotRiff) return Failure(WaveError::kNotRiff);
  if (!chunks.has_format) return Failure(WaveError::kNoFormat);
  const auto format = ParseFormatChunk(chunks.FormatBytes());
  if (!format) return Failure(WaveError::kBadFormat);
  if (!chunks.ok()) return Failure(WaveError::kNoData);
  WaveHeader header;
  header.format = *format;
  header.data_length = chunks.data_length;
  return header;
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
