// The voice's one sound buffer: a 44-byte wave header and up to 63,956
// samples, 8-bit mono at 11,025 Hz. It is played through wave playback each
// time it would overflow and when a text is done.
#pragma once

#include <cstdint>
#include <vector>

#include "voices/tradutor/diphone_voice.h"

namespace placarim::tradutor {

class SoundBuffer {
 public:
  static constexpr size_t kCapacity = 64000;
  static constexpr size_t kHeaderSize = 44;
  static constexpr uint8_t kSilence = 128;
  // Sound that starts after silence rises from it over this many samples,
  // and sound that stops before silence falls to it: units are cut anywhere
  // in their wave, and a jump from or to the silence level is a click.
  static constexpr size_t kEdge = 24;
  // A unit starting with this many silent samples starts in silence.
  static constexpr size_t kSilentRun = 5;

  explicit SoundBuffer(WaveBufferPlayer& player);

  // Empties the buffer for a new utterance.
  void Reset() {
    bytes_.resize(kHeaderSize);
    stopped_ = false;
    fade_in_ = kEdge;
  }
  // Appends `n` samples, playing what is buffered first when they would not
  // fit. Longer runs than one buffer holds are appended in pieces.
  void Append(const uint8_t* samples, size_t n);
  // Silence in blocks of 100 bytes: 150 bytes give 100. The sound before
  // it falls to silence, the sound after it rises.
  void AppendSilence(int bytes);
  // Ends the sound (it falls to silence), plays the buffered samples, if
  // any, and waits for their end. Once the player asks for silence, nothing
  // more is played or kept until Reset.
  void Flush();
  bool Stopped() const { return stopped_; }

  size_t position() const { return bytes_.size(); }

 private:
  void WriteHeader();
  // Plays what is buffered, as it is.
  void Play();
  void FadeOutTail();
  // Appends as given (the rise from silence aside).
  void Store(const uint8_t* samples, size_t n);

  WaveBufferPlayer& player_;
  std::vector<uint8_t> bytes_;
  bool stopped_ = false;
  size_t fade_in_ = kEdge;  // samples still to rise from silence
};

}  // namespace placarim::tradutor
