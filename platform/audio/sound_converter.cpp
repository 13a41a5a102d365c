#include "platform/audio/sound_converter.h"

#include <algorithm>

namespace placarim::platform::audio {
namespace {

// A few hundred frames at a time come out of SDL 2.26's resampler exactly;
// a thousand or more in one call lose sound.
constexpr size_t kMaxPutFrames = 256;

}  // namespace

SDL_AudioFormat SdlFormatOf(uint16_t bits) {
  switch (bits) {
    case 8: return AUDIO_U8;
    case 16: return AUDIO_S16LSB;  // wave data is little-endian on every machine
    case 32: return AUDIO_S32LSB;
    default: return 0;
  }
}

std::vector<uint8_t> ConvertSound(const AudioFormat& source, std::span<const uint8_t> samples,
                                  const OutputFormat& output) {
  const SDL_AudioFormat format = SdlFormatOf(source.bits);
  if (format == 0 || source.channels == 0) return {};
  SDL_AudioStream* stream =
      SDL_NewAudioStream(format, static_cast<Uint8>(source.channels), static_cast<int>(source.rate),
                         output.format, static_cast<Uint8>(output.channels), output.rate);
  if (stream == nullptr) return {};
  const size_t frame = size_t{source.channels} * (source.bits / 8u);
  bool ok = true;
  // A part of a frame at the end cannot be played: dropped.
  for (size_t done = 0; ok && done + frame <= samples.size();) {
    const size_t piece = std::min(kMaxPutFrames * frame, (samples.size() - done) / frame * frame);
    ok = SDL_AudioStreamPut(stream, samples.data() + done, static_cast<int>(piece)) == 0;
    done += piece;
  }
  std::vector<uint8_t> converted;
  if (ok && SDL_AudioStreamFlush(stream) == 0) {
    converted.resize(static_cast<size_t>(std::max(0, SDL_AudioStreamAvailable(stream))));
    const int got = SDL_AudioStreamGet(stream, converted.data(), static_cast<int>(converted.size()));
    converted.resize(static_cast<size_t>(std::max(0, got)));
  }
  SDL_FreeAudioStream(stream);
  return converted;
}

bool BlockConverter::SetSource(const AudioFormat& source, const OutputFormat& output) {
  const SDL_AudioFormat format = SdlFormatOf(source.bits);
  if (format == 0 || source.channels == 0) return false;
  if (!(source == source_)) partial_.clear();
  source_ = source;
  output_ = output;
  same_ = format == output.format && source.channels == output.channels &&
          static_cast<int>(source.rate) == output.rate;
  return true;
}

std::span<const uint8_t> BlockConverter::Convert(int id, std::span<const uint8_t> data) {
  const size_t frame = size_t{source_.channels} * (source_.bits / 8u);
  if (same_ && partial_.empty() && data.size() % frame == 0) return data;
  std::vector<uint8_t> whole;
  whole.reserve(partial_.size() + data.size());
  whole.assign(partial_.begin(), partial_.end());
  whole.insert(whole.end(), data.begin(), data.end());
  const size_t frames_end = whole.size() / frame * frame;
  partial_.assign(whole.begin() + static_cast<ptrdiff_t>(frames_end), whole.end());
  whole.resize(frames_end);
  std::vector<uint8_t>& buffer = converted_[id];
  buffer = same_ ? std::move(whole) : ConvertSound(source_, whole, output_);
  return buffer;
}

}  // namespace placarim::platform::audio
