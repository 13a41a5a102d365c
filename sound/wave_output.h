// Serves the sound-output port from the wave player.
//
// Threads: main thread only, as the wave player.
#pragma once

#include <algorithm>
#include <span>

#include "sound/sound_output.h"
#include "sound/wave_format.h"
#include "sound/wave_player.h"

namespace placarim::sound {

class WaveOutput final : public SoundOutput {
 public:
  explicit WaveOutput(WavePlayer& player) : player_(player) {}
  int PlayFile(const std::string& path) override { return player_.WavePlayFile(path); }
  int PlayMemory(const std::vector<uint8_t>& image) override { return player_.WavePlayMemory(image); }
  // Speed-up and condensing are the built-in voice's speed settings; a
  // synthesizer has its own rate, so they are off while its sound is queued.
  int PlaySamples(const int16_t* samples, size_t count, uint32_t rate) override {
    const bool speed_up = player_.WaveSpeedUp();
    const bool condense = player_.WaveCondense();
    player_.SetWaveSpeedUp(false);
    player_.SetWaveCondense(false);
    const auto bytes = std::as_bytes(std::span(samples, count));
    const int result = player_.WavePlayData(
        std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), rate, 1, 16);
    player_.SetWaveSpeedUp(speed_up);
    player_.SetWaveCondense(condense);
    return result;
  }
  bool IsPlaying() override { return player_.WaveIsPlaying(); }
  void Stop() override { player_.WaveStop(); }
  size_t Room() override {
    const int free_blocks = kBlockCount - player_.BlocksInFlight();
    return free_blocks > 0 ? static_cast<size_t>(free_blocks) * (kBlockSize / 2) : 0;
  }
  bool StopOnKey() override { return player_.WaveStopOnKey(); }
  bool Condense() const override { return player_.WaveCondense(); }
  void SetCondense(bool on) override { player_.SetWaveCondense(on); }
  bool SpeedUp() const override { return player_.WaveSpeedUp(); }
  void SetSpeedUp(bool on) override { player_.SetWaveSpeedUp(on); }

 private:
  WavePlayer& player_;
};

}  // namespace placarim::sound
