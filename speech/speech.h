// The speech layer: everything the program says goes through here. It is the
// composition of four pieces, each with its own header and conventions:
//   OutputControl  (output_control.h)  which voice, speed, pauses, silence;
//   RecordedSounds (recorded_sounds.h) recordings, characters, numbers, click, beep;
//   TextSpeaker    (text_speaker.h)    text through the stages to the voices;
//   KeyEcho        (key_echo.h)        reading keys and saying what was typed.
// Callers take the piece they use; Speech itself only starts and ends them
// together and attaches the built-in voice to each.
//
// Errors: a built-in voice that fails to open is reported on the console,
// Enter is awaited and the program ends through the console.
// Blocking: SpeechStart reads configuration and opens the voices;
// FinishSpeech waits for silence. Threads: main thread only.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sound/main_loop.h"
#include "sound/sound_output.h"
#include "speech/config_lookup.h"
#include "speech/key_echo.h"
#include "speech/local_path.h"
#include "speech/output_control.h"
#include "speech/recorded_sounds.h"
#include "speech/speech_console.h"
#include "speech/synthesizer.h"
#include "speech/text_speaker.h"
#include "voices/tradutor/diphone_voice.h"

namespace placarim::speech {

class Speech final {
 public:
  // `synthesizer` may be null: then all text is spoken by the built-in voice.
  // `click_seed` seeds the click's noise.
  Speech(sound::MainLoop& loop, SpeechConsole& console, sound::SoundOutput& sound, const ConfigLookup& ini,
         Synthesizer* synthesizer = nullptr, uint32_t click_seed = std::random_device{}());
  Speech(const Speech&) = delete;
  Speech& operator=(const Speech&) = delete;

  // The diphone voice is attached once built; without one, words are not
  // spoken. It plays through the same sound output and main loop.
  void AttachVoice(tradutor::DiphoneVoiceApi& voice);
  // How the diphone voice reads its keys of section "TRADUTOR".
  tradutor::VoiceSettings& VoiceConfig() { return voice_settings_; }

  // `speed` 1 to 5, or below 1 to take "VELOCIDADE" of "TRADUTOR"; any other
  // value is 3. Opens the built-in voice, finds the sound directories and
  // opens the external synthesizer when one is configured.
  void SpeechStart(int speed, std::string_view program_sound_directory);
  // Speaks what is buffered, waits for silence, closes the voices.
  void FinishSpeech();

  OutputControl& Output() { return output_; }
  RecordedSounds& Sounds() { return sounds_; }
  TextSpeaker& Text() { return text_; }
  KeyEcho& Keys() { return keys_; }
  const ConfigLookup& Ini() const { return ini_; }

 private:
  class SystemVoiceSettings final : public tradutor::VoiceSettings {
   public:
    explicit SystemVoiceSettings(const ConfigLookup& ini) : ini_(ini) {}
    std::string Read(std::string_view key, std::string_view fallback) override;
    // The voice's directories pass through the same path helper as every
    // other configured path (drive letters, backslashes, Windows-1252).
    std::string ToLocalPath(std::string_view configured) override { return LocalPath(configured); }

   private:
    const ConfigLookup& ini_;
  };

  void ReportStartFailure(int code);

  SpeechConsole& console_;
  const ConfigLookup& ini_;
  tradutor::DiphoneVoiceApi* voice_ = nullptr;
  SystemVoiceSettings voice_settings_;
  OutputControl output_;
  RecordedSounds sounds_;
  TextSpeaker text_;
  KeyEcho keys_;
};

}  // namespace placarim::speech
