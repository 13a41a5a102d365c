// What the speech layer needs of wave playback. PlayFile blocks until the
// file has been played; PlayMemory may return once the sound is queued, and
// IsPlaying tells when it has ended. Both return at once when a key is pending
// or the sound cannot be played (missing file, not a wave file).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace placarim::speech {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays a wave file; 0 when played, -1 for a file problem, else the device's error.
  virtual int PlayFile(const std::string& path) = 0;
  // Plays an in-memory wave image (44-byte header, then samples); the bytes
  // are copied, so the image may go away when this returns.
  virtual int PlayMemory(const std::vector<uint8_t>& image) = 0;
  virtual bool IsPlaying() = 0;
  virtual void Stop() = 0;
  // Dropping every other pitch period of mono sound (shorter speech).
  virtual bool Condense() const = 0;
  virtual void SetCondense(bool on) = 0;
  // Playing at 1.5 times the sample rate.
  virtual bool SpeedUp() const = 0;
  virtual void SetSpeedUp(bool on) = 0;
};

}  // namespace placarim::speech
