#include "voices/tradutor/recorded_character.h"

#include "platform/riff_wave.h"

namespace placarim::tradutor {
namespace {

namespace riff = platform::riff;

// The voice has always read its letters this way: "RIFF" in any case, then
// "fmt " and "data" exactly, no form type, no pad bytes, the format unread.
constexpr riff::WaveReadOptions kLetterReading{
    .riff_any_case = true,
    .chunk_names_any_case = false,
    .form_type_checked = false,
    .format_chunk_first = true,
    .pad = riff::PadByte::kNever,
};

}  // namespace

std::optional<std::vector<uint8_t>> ReadRecordedCharacter(const std::string& path) {
  platform::FileSource file;
  if (!file.Open(path)) return std::nullopt;
  const riff::WaveChunks chunks = riff::ReadWaveChunks(file, kLetterReading);
  if (!chunks.ok()) return std::nullopt;
  std::vector<uint8_t> samples(chunks.data_length & 0xFFFF);
  samples.resize(platform::ReadFully(file, samples.data(), samples.size()));
  return samples;
}

}  // namespace placarim::tradutor
