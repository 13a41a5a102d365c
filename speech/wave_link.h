// Serves the speech layer's sound needs from wave playback.
#pragma once

#include "sound/wave_player.h"
#include "speech/sound_output.h"

namespace placarim::speech {

class WaveLink final : public SoundOutput {
 public:
  explicit WaveLink(sound::WavePlayer& player) : player_(player) {}
  int PlayFile(const std::string& path) override { return player_.WavePlayFile(path); }
  int PlayMemory(const std::vector<uint8_t>& image) override { return player_.WavePlayMemory(image); }
  bool IsPlaying() override { return player_.WaveIsPlaying(); }
  void Stop() override { player_.WaveStop(); }
  bool Condense() const override { return player_.WaveCondense(); }
  void SetCondense(bool on) override { player_.SetWaveCondense(on); }
  bool SpeedUp() const override { return player_.WaveSpeedUp(); }
  void SetSpeedUp(bool on) override { player_.SetWaveSpeedUp(on); }

 private:
  sound::WavePlayer& player_;
};

}  // namespace placarim::speech
