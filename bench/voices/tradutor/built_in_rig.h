// The built-in voice as the game hears it, on the headless platform: the
// console, wave playback, the speech layer and the voice over the ports, with
// the build tree's configuration (PLACARIM_SYSCONFDIR).
#pragma once

#include <filesystem>

#include "platform/fake/fake_platform.h"
#include "speech/speech_layer.h"
#include "voices/tradutor/voice.h"

struct BuiltInRig {
  // Starts the speech layer at `speed`; false when the voice did not open.
  // As in the game, punctuation is then heard as pauses, not read out.
  bool Start(int speed) {
    layer.speech.AttachVoice(voice);
    try {
      layer.speech.SpeechStart(speed, layer.ini.ReadIniString("PLACARIM", "DIRPLACARIM"));
    } catch (const placarim::platform::ProgramExit&) {
      return false;
    }
    layer.speech.Text().speak_punctuation = false;
    return true;
  }

  placarim::platform::fake::FakePlatform fake;
  placarim::console::Console console{fake, std::filesystem::current_path().string()};
  placarim::sound::WavePlayer wave{console, fake.audio};
  placarim::speech::SpeechLayer layer{console, fake.clock, wave};
  placarim::tradutor::DiphoneVoice voice{layer.wave_link, console, layer.speech.VoiceConfig()};
};
