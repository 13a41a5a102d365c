// Output control: which voice speaks the next text (an external synthesizer
// while one can speak, else the built-in voice), at what speed and with which
// pauses, and silence: whether anything is still heard, waiting for the end,
// and stopping everything at once.
//
// Errors: nothing here fails. A synthesizer that does not open leaves the
// built-in voice speaking (SynthActive is then false).
// Blocking: WaitWhileSpeaking, WaitSpeech and SpeechPause block, pumping
// messages, until the sound ends or a key press cuts them short; the others
// return at once. A pending key is the universal stop: IsSpeaking, finding
// one, stops all output, leaves the key queued and answers false.
// Threads: main thread only.
#pragma once

#include <string>
#include <string_view>

#include "sound/main_loop.h"
#include "sound/sound_output.h"
#include "speech/config_lookup.h"
#include "speech/synthesizer.h"
#include "voices/tradutor/diphone_voice.h"
#include "voices/voice.h"

namespace placarim::speech {

// The private message that wakes a loop waiting for window messages.
inline constexpr int kSpeechWakeUp = 1123;

class OutputControl {
 public:
  // `synthesizer` may be null: then every text is spoken by the built-in voice.
  OutputControl(sound::MainLoop& loop, sound::SoundOutput& sound, const ConfigLookup& ini,
                Synthesizer* synthesizer);
  OutputControl(const OutputControl&) = delete;
  OutputControl& operator=(const OutputControl&) = delete;

  // The built-in voice whose database and tuning the speed settings choose.
  void AttachVoice(tradutor::DiphoneVoiceApi& voice) { voice_ = &voice; }

  // --- speed and voice -------------------------------------------------------
  // `speed` 1 to 5, or below 1 to take "VELOCIDADE" of "TRADUTOR"; any other
  // value is 3. Applies the speed's settings and returns it.
  int ChooseSpeed(int speed);
  // Reads the per-speed keys of "SINTETIZADOR" and applies them.
  void LoadSpeedSettings(int speed);
  void SetSpeechTuning(int unit_trim, int minimum_unit_length, int word_gap, bool shorten, bool fast);
  // Opens the synthesizer "SERVFALA" describes when "SAPI" of "TRADUTOR" asks for one.
  void OpenSynthesizer();
  // Waits for the end of its speech and closes it.
  void CloseSynthesizer();
  // The flags of the voice that speaks the next text: the external one while
  // it can speak, else the built-in voice.
  voices::VoiceFlags SpeakingVoiceFlags();
  // Hands `text` to the external voice once what is heard has ended. True
  // when nothing more is to be done with it (handed over, or a key came
  // first); false when no external voice is left to say it.
  bool SpeakExternally(std::string_view text);
  // Why the external voice went silent, once; empty when it did not.
  std::string TakeExternalNotice();

  // --- silence ---------------------------------------------------------------
  // A pending key stops everything and gives false.
  bool IsSpeaking();
  void WaitWhileSpeaking();
  // Waits for text handed to the external voice, once per text: every sound
  // of the layer calls it first, so nothing talks over the synthesizer.
  void WaitSpeech();
  void StopSpeech();
  // Waits `milliseconds` in steps of 50 ms; a pending key shortens it.
  void SpeechPause(int milliseconds);
  // Starts an utterance of the built-in voice: StopSpeech from now on ends it.
  void BeginUtterance() { stop_requested_ = false; }
  // StopSpeech since the utterance began.
  bool StopRequested() const { return stop_requested_; }

  bool SynthActive() const { return synth_active_; }
  int SynthType() const { return synth_type_; }
  int Speed() const { return speed_; }
  int FullStopPause() const { return full_stop_pause_; }
  int CommaPause() const { return comma_pause_; }
  int ColonPause() const { return colon_pause_; }

 private:
  sound::MainLoop& loop_;
  sound::SoundOutput& sound_;
  const ConfigLookup& ini_;
  Synthesizer* synthesizer_;
  tradutor::DiphoneVoiceApi* voice_ = nullptr;

  int speed_ = 3;
  int full_stop_pause_ = 250;
  int comma_pause_ = 150;
  int colon_pause_ = 200;
  bool synth_active_ = false;
  int synth_type_ = 4;
  bool synth_pending_ = true;
  bool stop_requested_ = false;
};

}  // namespace placarim::speech
