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
  while (n > 0 && !stopped_) {
    if (bytes_.size() + n >= kCapacity) Flush();
    if (stopped_) return;
    const size_t room = kCapacity - 1 - bytes_.size();
    const size_t piece = std::min(n, room);
    bytes_.insert(bytes_.end(), samples, samples + piece);
    samples += piece;
    n -= piece;
  }
}

void SoundBuffer::AppendSilence(int bytes) {
  static const std::array<uint8_t, 100> block = [] {
    std::array<uint8_t, 100> b;
    b.fill(kSilence);
    return b;
  }();
  for (int k = 0; k < bytes / 100; ++k) Append(block.data(), block.size());
}

void SoundBuffer::WriteHeader() {
  const auto data_size = static_cast<uint32_t>(bytes_.size() - kHeaderSize);
  platform::riff::WriteCanonicalHeader(bytes_.data(), platform::AudioFormat{11025, 8, 1}, data_size);
}

void SoundBuffer::Flush() {
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
