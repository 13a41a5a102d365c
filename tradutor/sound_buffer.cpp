#include "tradutor/sound_buffer.h"

#include <algorithm>
#include <array>

namespace placarim::tradutor {
namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}
void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void PutTag(std::vector<uint8_t>& b, size_t at, const char* tag) { std::copy_n(tag, 4, b.begin() + at); }

}  // namespace

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
  PutTag(bytes_, 0, "RIFF");
  Put32(bytes_, 4, data_size + 36);
  PutTag(bytes_, 8, "WAVE");
  PutTag(bytes_, 12, "fmt ");
  Put32(bytes_, 16, 16);
  Put16(bytes_, 20, 1);      // PCM
  Put16(bytes_, 22, 1);      // mono
  Put32(bytes_, 24, 11025);  // samples per second
  Put32(bytes_, 28, 11025);  // bytes per second
  Put16(bytes_, 32, 1);      // block alignment
  Put16(bytes_, 34, 8);      // bits per sample
  PutTag(bytes_, 36, "data");
  Put32(bytes_, 40, data_size);
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
