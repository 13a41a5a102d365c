#include "platform/audio/audio_mixer.h"

#include <algorithm>

namespace placarim::platform::audio {

OutputFormat AudioMixer::Format() const {
  std::lock_guard lock(mutex_);
  return format_;
}

void AudioMixer::SetFormat(const OutputFormat& format) {
  std::lock_guard lock(mutex_);
  if (format_ == format) return;
  format_ = format;
  for (Tone& tone : tones_) tone = Tone{};
}

bool AudioMixer::Add(int id, std::span<const uint8_t> sound, const OutputFormat& format) {
  std::lock_guard lock(mutex_);
  if (sound.empty() || !(format_ == format)) return false;
  queue_.Add(id, sound.data(), sound.size());
  return true;
}

std::vector<int> AudioMixer::TakeAll() {
  std::lock_guard lock(mutex_);
  return queue_.TakeAll();
}

bool AudioMixer::Contains(int id) const {
  std::lock_guard lock(mutex_);
  return queue_.Contains(id);
}

bool AudioMixer::QueueEmpty() const {
  std::lock_guard lock(mutex_);
  return queue_.Empty();
}

void AudioMixer::SetTone(int slot, std::vector<uint8_t> sound, bool loop, const OutputFormat& format) {
  Tone tone{std::move(sound), 0, loop};
  {
    std::lock_guard lock(mutex_);
    if (!(format_ == format)) return;
    std::swap(tones_[static_cast<size_t>(slot)], tone);
  }
}

void AudioMixer::ClearTone(int slot) {
  Tone cleared;
  std::lock_guard lock(mutex_);
  std::swap(tones_[static_cast<size_t>(slot)], cleared);
}

bool AudioMixer::HoldsTone() const {
  std::lock_guard lock(mutex_);
  return std::any_of(tones_.begin(), tones_.end(), [](const Tone& tone) { return !tone.sound.empty(); });
}

bool AudioMixer::ToneSounding() const {
  std::lock_guard lock(mutex_);
  return std::any_of(tones_.begin(), tones_.end(), [](const Tone& tone) {
    return !tone.sound.empty() && (tone.loop || tone.position < tone.sound.size());
  });
}

bool AudioMixer::Render(uint8_t* out, size_t length, std::vector<int>& finished) {
  std::lock_guard lock(mutex_);
  bool sounded = queue_.Fill(out, length, format_.Silence(), finished) > 0;
  for (Tone& tone : tones_) {
    size_t filled = 0;
    while (filled < length && tone.position < tone.sound.size()) {
      const size_t piece = std::min(length - filled, tone.sound.size() - tone.position);
      SDL_MixAudioFormat(out + filled, tone.sound.data() + tone.position, format_.format,
                         static_cast<Uint32>(piece), SDL_MIX_MAXVOLUME);
      filled += piece;
      tone.position += piece;
      sounded = true;
      if (tone.loop && tone.position == tone.sound.size()) tone.position = 0;
    }
  }
  return sounded;
}

}  // namespace placarim::platform::audio
