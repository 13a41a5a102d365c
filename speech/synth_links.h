// The synthesizer's seams served by the real units: the console's message
// pump, keys and wake-up messages, the platform's clock and beep, and wave
// playback. SynthSystem wires them to a dispatcher with the system's bridges:
//
//   speech::SynthSystem synth(console, platform, wave);
//   speech::SpeechLayer layer(console, platform.GetClock(), wave, &synth.dispatcher);
#pragma once

#include <algorithm>
#include <span>

#include "console/console.h"
#include "console/console_stream.h"
#include "sound/wave_format.h"
#include "sound/wave_player.h"
#include "speech/synth_bridge.h"
#include "speech/synth_dispatcher.h"

namespace placarim::speech {

class ConsoleSynthHost final : public SynthHost {
 public:
  ConsoleSynthHost(console::Console& console, platform::Platform& platform)
      : console_(console), platform_(platform) {}
  void PumpAllMessages() override { console_.PumpAllMessages(); }
  void Delay(int ms) override { console_.Delay(static_cast<uint16_t>(std::clamp(ms, 0, 65535))); }
  bool KeyPressed() override { return console_.KeyPressed(); }
  void PostWakeUp(int code) override { console_.PostWakeUp(code); }
  void Beep() override { platform_.Beep(); }
  int64_t NowMs() override { return platform_.GetClock().NowMs(); }
  void WriteLine(std::string_view text) override {
    console::StdWrite(console_, text);
    console::StdWriteLn(console_);
  }

 private:
  console::Console& console_;
  platform::Platform& platform_;
};

class WaveSynthAudio final : public SynthAudio {
 public:
  explicit WaveSynthAudio(sound::WavePlayer& wave) : wave_(wave) {}
  // Speed-up and condensing are the built-in voice's speed settings; a
  // synthesizer has its own rate, so they are off while its sound is queued.
  int Play(const int16_t* samples, size_t count, uint32_t rate) override {
    const bool speed_up = wave_.WaveSpeedUp();
    const bool condense = wave_.WaveCondense();
    wave_.SetWaveSpeedUp(false);
    wave_.SetWaveCondense(false);
    const auto bytes = std::as_bytes(std::span(samples, count));
    const int result = wave_.WavePlayData(
        std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), rate, 1, 16);
    wave_.SetWaveSpeedUp(speed_up);
    wave_.SetWaveCondense(condense);
    return result;
  }
  bool IsPlaying() override { return wave_.WaveIsPlaying(); }
  size_t Room() override {
    const int free_blocks = sound::kBlockCount - wave_.BlocksInFlight();
    return free_blocks > 0 ? static_cast<size_t>(free_blocks) * (sound::kBlockSize / 2) : 0;
  }
  void Stop() override { wave_.WaveStop(); }
  bool StopOnKey() override { return wave_.WaveStopOnKey(); }

 private:
  sound::WavePlayer& wave_;
};

struct SynthSystem {
  SynthSystem(console::Console& console, platform::Platform& platform, sound::WavePlayer& wave,
              IlvraSettings ilvra = {})
      : host(console, platform), audio(wave), dispatcher(host, SystemSynthBridges(host, audio, std::move(ilvra))) {}
  SynthSystem(const SynthSystem&) = delete;
  SynthSystem& operator=(const SynthSystem&) = delete;

  ConsoleSynthHost host;
  WaveSynthAudio audio;
  SynthDispatcher dispatcher;
};

}  // namespace placarim::speech
