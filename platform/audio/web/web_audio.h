// Sound in a web page: the wave-out device and the tone player handed to the
// page's AudioWorklet (sound.js, sound_worklet.js), which plays the blocks in
// order at their own rate, mixes the looping tone and the beep over them and
// reports each block done when its last sample has been rendered. There are
// no threads in the page, so the worklet mixes instead of the desktop's mixer
// and sink table; a key's Reset empties the worklet's queue at once.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace placarim::platform::audio {

// Blocks go to the page's AudioWorklet; the page reports each one done when
// its last sample has been rendered, or at once when Reset drops it.
class WebAudio final : public AudioDevice {
 public:
  int Open(const AudioFormat& format) override;
  bool IsOpen() const override { return open_; }
  int Write(int block, const uint8_t* data, size_t length) override;
  void Reset() override;
  void Close() override;
  int Unprepare(int block) override;

 private:
  bool open_ = false;
  AudioFormat format_;
};

class WebTones final : public TonePlayer {
 public:
  void PlayLooped(const std::vector<uint8_t>& wave_image) override;
  void Stop() override;
};

// The default message beep, played once over whatever else sounds.
void WebBeep();

}  // namespace placarim::platform::audio
