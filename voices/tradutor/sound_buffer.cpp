#include "voices/tradutor/sound_buffer.h"

#include <algorithm>
#include <array>

#include "platform/riff_wave.h"

namespace placarim::tradutor {

SoundBuffer::SoundBuffer(WaveBufferPlayer& player) : player_(player) {
  bytes_.reserve(kCapacity);
  Reset();
}

void SoundBuffer::Append(const uint8_t* samples, size_t n) {
  // A unit whose recording starts in silence (the closure of k, p, t) after
  // sound: that sound falls to silence as it does before a pause.
  if (n >= kSilentRun && bytes_.size() > kHeaderSize && bytes_.back() != kSilence &&
      std::all_of(samples, samples + kSilentRun, [](uint8_t b) { return b == kSilence; })) {
    FadeOutTail();
  }
  Store(samples, n);
}

void SoundBuffer::Store(const uint8_t* samples, size_t n) {
  while (n > 0 && !stopped_) {
    if (bytes_.size() + n >= kCapacity) Play();
    if (stopped_) return;
    const size_t room = kCapacity - 1 - bytes_.size();
    const size_t piece = std::min(n, room);
    const size_t start = bytes_.size();
    bytes_.insert(bytes_.end(), samples, samples + piece);
    for (size_t p = start; p < bytes_.size() && fade_in_ > 0; ++p, --fade_in_) {
      const long step = long(kEdge - fade_in_ + 1);  // 1 .. kEdge
      bytes_[p] = uint8_t(kSilence + (long(bytes_[p]) - kSilence) * step / long(kEdge + 1));
    }
    samples += piece;
    n -= piece;
  }
}

void SoundBuffer::FadeOutTail() {
  const size_t m = std::min(kEdge, bytes_.size() - kHeaderSize);
  for (size_t k = 0; k < m; ++k) {
    uint8_t& b = bytes_[bytes_.size() - m + k];
    b = uint8_t(kSilence + (long(b) - kSilence) * long(m - k) / long(m + 1));
  }
}

void SoundBuffer::AppendSilence(int bytes) {
  if (bytes < 100) return;
  FadeOutTail();
  static const std::array<uint8_t, 100> block = [] {
    std::array<uint8_t, 100> b;
    b.fill(kSilence);
    return b;
  }();
  fade_in_ = 0;
  for (int k = 0; k < bytes / 100; ++k) Store(block.data(), block.size());
  fade_in_ = kEdge;
}

void SoundBuffer::WriteHeader() {
  const auto data_size = static_cast<uint32_t>(bytes_.size() - kHeaderSize);
  platform::riff::WriteCanonicalHeader(bytes_.data(), platform::AudioFormat{11025, 8, 1}, data_size);
}

void SoundBuffer::Flush() {
  FadeOutTail();
  fade_in_ = kEdge;
  Play();
}

void SoundBuffer::Play() {
  if (!stopped_ && player_.SilenceRequested()) stopped_ = true;
  if (bytes_.size() <= kHeaderSize || stopped_) {
    bytes_.resize(kHeaderSize);
    return;
  }
  WriteHeader();
  player_.PlayWaveBufferWait(bytes_);
  bytes_.resize(kHeaderSize);
  stopped_ = player_.SilenceRequested();
}

}  // namespace placarim::tradutor
