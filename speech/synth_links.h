// The external voices wired to the real units: the console is their main
// loop, wave playback their sound output. SynthSystem makes a dispatcher over
// the table of voices:
//
//   speech::SynthSystem synth(console, wave, &settings);
//   speech::SpeechLayer layer(console, platform.GetClock(), wave, &synth.dispatcher);
#pragma once

#include "console/console.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"
#include "speech/synth_dispatcher.h"

namespace placarim::speech {

struct SynthSystem {
  // `settings` (may be null: every voice's defaults) must outlive the system.
  SynthSystem(console::Console& console, sound::WavePlayer& wave, const voices::VoiceSettingSource* settings = nullptr)
      : audio(wave), dispatcher(console, SystemVoices({console, audio, settings})) {}
  SynthSystem(const SynthSystem&) = delete;
  SynthSystem& operator=(const SynthSystem&) = delete;

  sound::WaveOutput audio;
  SynthDispatcher dispatcher;
};

}  // namespace placarim::speech
