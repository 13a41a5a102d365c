// The speech layer wired to the text console and wave playback, with
// configuration read from FALDEK.INI: what the program builds once.
//
//   console::Console console(platform, platform::StartDirectory());
//   sound::WavePlayer wave(console, platform.Audio());
//   speech::SpeechLayer layer(console, platform.GetClock(), wave, &synthesizer_or_null);
//   tradutor::DiphoneVoice voice(layer.speech, layer.speech.VoiceConfig());
//   layer.speech.AttachVoice(voice);
//   layer.speech.SpeechStart(0, layer.ini.ReadIniString("PLACARIM", "DIRPLACARIM"));
#pragma once

#include "console/console.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"
#include "speech/console_link.h"
#include "speech/ini_reader.h"
#include "speech/speech.h"

namespace placarim::speech {

class SpeechLayer {
 public:
  SpeechLayer(console::Console& console, platform::Clock& clock, sound::WavePlayer& wave,
              Synthesizer* synthesizer = nullptr)
      : console_link(console, clock),
        wave_link(wave),
        ini(console.StartDir()),
        speech(console, console_link, wave_link, ini, synthesizer) {}
  SpeechLayer(const SpeechLayer&) = delete;
  SpeechLayer& operator=(const SpeechLayer&) = delete;

  ConsoleLink console_link;
  sound::WaveOutput wave_link;
  IniReader ini;
  Speech speech;
};

}  // namespace placarim::speech
