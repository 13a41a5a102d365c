// Wave playback as everything above it uses it: the speech layer (files,
// in-memory images, its speed settings), the line editor, and the voices
// (raw samples of a synthesizer, played as given). WaveOutput
// (sound/wave_output.h) serves it from the wave player; tests serve it with
// recording fakes.
//
// Errors: the Play calls return 0 when the sound was played or queued, -1 for
// a file problem (missing, not a wave file), else the device's error code;
// the other calls cannot fail.
// Blocking: PlayFile blocks until the file has been played; PlayMemory and
// PlaySamples return once the sound is queued (PlaySamples may first wait for
// room), and IsPlaying tells when it has ended. Every Play returns at once when
// a key is pending.
// Threads: main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace placarim::sound {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays a wave file.
  virtual int PlayFile(const std::string& path) = 0;
  // Plays an in-memory wave image (44-byte header, then samples); the bytes
  // are copied, so the image may go away when this returns.
  virtual int PlayMemory(const std::vector<uint8_t>& image) = 0;
  // Queues raw 16-bit mono PCM at `rate`, played as given: without speed-up
  // or condensing, which are meant for the built-in voice and the recordings.
  virtual int PlaySamples(const int16_t* samples, size_t count, uint32_t rate) = 0;
  // Whether queued sound is still playing; stops it when a key waits and
  // stop-on-key is on (the key stays in the queue).
  virtual bool IsPlaying() = 0;
  // Drops what is queued and silences the device now.
  virtual void Stop() = 0;
  // Samples (16-bit mono) that PlaySamples can take now without waiting for room.
  virtual size_t Room() = 0;
  // Whether a pending key is meant to stop sound.
  virtual bool StopOnKey() = 0;
  // Dropping every other pitch period of mono sound (shorter speech).
  virtual bool Condense() const = 0;
  virtual void SetCondense(bool on) = 0;
  // Playing at 1.5 times the sample rate.
  virtual bool SpeedUp() const = 0;
  virtual void SetSpeedUp(bool on) = 0;
};

}  // namespace placarim::sound
