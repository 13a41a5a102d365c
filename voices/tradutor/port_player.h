// How the built-in voice is heard: its buffers go to the one sound-output port
// and it waits for them on the one main-loop port, like every other voice.
//
// The silence rule: a key press is the universal stop. A pending key before a
// buffer means the rest of the utterance is neither built nor played; a key
// while a buffer plays drops its sound at once. The key stays queued for
// whoever reads it. (Text handed to an external voice is waited for by the
// speech layer before it gives this voice any words.)
//
// Errors: none; a buffer the device refuses is not heard.
// Blocking: PlayWaveBufferWait returns when the buffer has ended or a key cut
// it short, pumping messages meanwhile. Threads: main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/main_loop.h"
#include "sound/sound_output.h"
#include "voices/tradutor/diphone_voice.h"

namespace placarim::tradutor {

class PortPlayer final : public WaveBufferPlayer {
 public:
  PortPlayer(sound::SoundOutput& sound, sound::MainLoop& loop) : sound_(sound), loop_(loop) {}

  void PlayWaveBufferWait(const std::vector<uint8_t>& image) override {
    sound_.PlayMemory(image);
    while (sound_.IsPlaying()) {
      if (loop_.KeyPressed()) {
        sound_.Stop();
        return;
      }
      loop_.WaitMessage();
    }
  }
  bool SilenceRequested() override { return loop_.KeyPressed(); }

 private:
  sound::SoundOutput& sound_;
  sound::MainLoop& loop_;
};

}  // namespace placarim::tradutor
