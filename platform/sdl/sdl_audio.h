// Sound output on SDL2 audio devices. The wave-out device's callback, on SDL's
// audio thread, only copies bytes out of the written blocks and reports each
// finished block through `block_done` (an SDL user event), so completions are
// counted on the main thread by whoever pumps events. The device buffer is
// small (256 frames) so that silence follows a Reset within a few tens of ms.
#pragma once

#include <SDL2/SDL.h>

#include <functional>
#include <mutex>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/block_queue.h"

namespace placarim::platform::sdl {

// Opens the audio subsystem once per owner; false when there is no driver.
class AudioSubsystem {
 public:
  ~AudioSubsystem();
  bool Ensure();

 private:
  bool started_ = false;
};

class SdlAudioDevice final : public AudioDevice {
 public:
  // `block_done` may be called from the audio thread.
  SdlAudioDevice(AudioSubsystem& subsystem, std::function<void(int block)> block_done);
  ~SdlAudioDevice() override;

  // Main thread. Opening an open device closes it first.
  int Open(const AudioFormat& format) override;
  bool IsOpen() const override { return device_ != 0; }
  int Write(int block, const uint8_t* data, size_t length) override;
  void Reset() override;
  void Close() override;
  int Unprepare(int block) override;

 private:
  static void Callback(void* self, Uint8* stream, int length);

  AudioSubsystem& subsystem_;
  std::function<void(int)> block_done_;
  SDL_AudioDeviceID device_ = 0;
  uint8_t silence_ = 0;
  mutable std::mutex mutex_;  // guards queue_ against the audio thread
  BlockQueue queue_;
  std::vector<int> finished_;  // audio thread only
};

// The simple in-memory sound player on a device of its own: plays a RIFF/WAVE
// image, looped until Stop or once.
class SdlTonePlayer final : public TonePlayer {
 public:
  explicit SdlTonePlayer(AudioSubsystem& subsystem);
  ~SdlTonePlayer() override;
  void PlayLooped(const std::vector<uint8_t>& wave_image) override;
  void PlayOnce(const std::vector<uint8_t>& wave_image);
  void Stop() override;

 private:
  void Play(const std::vector<uint8_t>& wave_image, bool loop);
  static void Callback(void* self, Uint8* stream, int length);

  AudioSubsystem& subsystem_;
  SDL_AudioDeviceID device_ = 0;
  // Touched by the audio thread only while the device is open.
  std::vector<uint8_t> samples_;
  size_t position_ = 0;
  bool loop_ = false;
  uint8_t silence_ = 0;
};

}  // namespace placarim::platform::sdl
