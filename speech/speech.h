// The speech layer: everything the program says goes through here. Text is
// split into numbers (recorded number words), runs of words (the built-in
// diphone voice) and symbols (recorded characters and pauses), or handed whole
// to an external synthesizer when one is configured. Recorded message keys,
// characters and generated sounds are played through wave playback.
//
// Blocking: every operation returns when its sound has ended or a key press
// cut it short, except text handed to the external synthesizer, which speaks
// on its own; the next sound first waits for it. A pending key is the
// universal stop: whoever polls IsSpeaking and finds one stops all output and
// leaves the key in the queue. Main thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sound/main_loop.h"
#include "sound/sound_output.h"
#include "speech/config_lookup.h"
#include "speech/local_path.h"
#include "speech/speech_console.h"
#include "speech/synthesizer.h"
#include "voices/tradutor/built_in_voice.h"
#include "voices/tradutor/diphone_voice.h"
#include "voices/voice.h"

namespace placarim::speech {

// The private message that wakes a loop waiting for window messages.
inline constexpr int kSpeechWakeUp = 1123;
// Samples of recorded number words collected before they are played.
inline constexpr size_t kNumberBufferSamples = 30000;
// Longest run of words handed to the diphone voice at once.
inline constexpr size_t kMaxVoiceText = 999;

class Speech final : public tradutor::WaveBufferPlayer {
 public:
  // `synthesizer` may be null: then all text is spoken by the built-in voice.
  // `click_seed` seeds the click's noise.
  Speech(sound::MainLoop& loop, SpeechConsole& console, sound::SoundOutput& sound, const ConfigLookup& ini,
         Synthesizer* synthesizer = nullptr, uint32_t click_seed = std::random_device{}());
  Speech(const Speech&) = delete;
  Speech& operator=(const Speech&) = delete;

  // The diphone voice is built after the layer (it plays through it), so it
  // is attached afterwards; without one, words are not spoken.
  void AttachVoice(tradutor::DiphoneVoiceApi& voice) {
    voice_ = &voice;
    words_voice_.emplace(voice);
  }
  // How the diphone voice reads its keys of section "TRADUTOR".
  tradutor::VoiceSettings& VoiceConfig() { return voice_settings_; }

  // --- start and end ---------------------------------------------------------
  // `speed` 1 to 5, or below 1 to take "VELOCIDADE" of "TRADUTOR"; any other
  // value is 3. A diphone voice that fails to open is reported on the console,
  // Enter is awaited and the program ends through the console.
  void SpeechStart(int speed, std::string_view program_sound_directory);
  // Speaks what is buffered, waits for silence, closes the voices.
  void FinishSpeech();
  // Reads the per-speed keys of "SINTETIZADOR" and applies them.
  void LoadSpeedSettings(int speed);
  void SetSpeechTuning(int unit_trim, int minimum_unit_length, int word_gap, bool shorten, bool fast);

  // --- speaking -------------------------------------------------------------
  void SpeakText(std::string_view text);
  // A sentence of the program's own (a message, a commentary phrase): its
  // punctuation is heard as pauses and never named, whatever
  // `speak_punctuation` says; a run of ".", "!" and "?" before a blank (or
  // the end) is one full-stop pause. A "." inside a word (a file name) is
  // still a character. External synthesizers get the text whole, as always.
  void SpeakSentence(std::string_view text);
  void WriteSpeak(std::string_view text);
  void WriteLnSpeak(std::string_view text);
  void WriteSpeakInt(long long value);
  // A key beginning with "_" is a file of the letters directory, any other of
  // the program sound directory; key + ".wav", letter case of the name ignored.
  void PlaySoundKey(std::string_view key);
  bool SoundKeyExists(std::string_view key) const;
  // The recording "_" + decimal code + ".wav" of the diphone voice's letters directory.
  void SpeakChar(uint8_t c);
  void SpellText(std::string_view text);
  void PlayClick();
  // Discards pending keys first: a beep answers a key that did nothing.
  void PlayBeep();
  void PlayWaveBufferWait(const std::vector<uint8_t>& image) override;
  // A key or StopSpeech since the built-in utterance began.
  bool SilenceRequested() override;
  // A pending key stops everything and gives false.
  bool IsSpeaking();
  void WaitWhileSpeaking();
  void WaitSpeech();
  void StopSpeech();
  void SpeechPause(int milliseconds);
  // Waits for silence and reads a key, echoing printable ones by voice and on
  // the console; F8 speaks the time and reads on. `ext` is 32 for a plain key.
  void ReadKeySpeak(uint8_t& c, uint8_t& ext);
  uint8_t ReadCharSpeak();

  // --- numbers and time -------------------------------------------------------
  // Plays the recorded words of NumberToWords as one continuous sound.
  void SpeakNumberWords(std::string_view words, bool feminine);
  void SpeakTime();
  void SpeakDate();

  // --- layer-wide settings ------------------------------------------------------
  bool speak_punctuation = true;  // a punctuation mark's own sound precedes its pause
  bool buffer_speech = false;     // SpeakText collects text instead of speaking

  const std::string& SpeechBuffer() const { return speech_buffer_; }
  bool SynthActive() const { return synth_active_; }
  int SynthType() const { return synth_type_; }
  int Speed() const { return speed_; }
  int FullStopPause() const { return full_stop_pause_; }
  int CommaPause() const { return comma_pause_; }
  int ColonPause() const { return colon_pause_; }
  const std::string& ProgramSoundDirectory() const { return program_directory_; }
  const std::string& LettersDirectory() const { return letters_directory_; }
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

  std::string SoundKeyPath(std::string_view key) const;
  std::string CharacterPath(uint8_t c) const;
  void ReportStartFailure(int code);
  void OpenSynthesizer();
  // The flags of the voice that speaks the next text: the external one while
  // it can speak, else the built-in voice.
  voices::VoiceFlags SpeakingVoiceFlags();
  // The text path of the built-in voice (speech/text_stages.h).
  void SpeakBuiltIn(std::string_view text);
  void SpeakWords(std::string_view words);
  void SpeakSymbol(std::string& text, uint8_t& last_symbol, int& repeats);
  void PunctuationPause(std::string_view text);
  bool SentenceEnd(std::string& text);
  bool NamesPunctuation() const { return speak_punctuation && !sentence_; }
  void PlayNumberBuffer(std::vector<uint8_t>& buffer, size_t& collected);

  sound::MainLoop& loop_;
  SpeechConsole& console_;
  sound::SoundOutput& sound_;
  const ConfigLookup& ini_;
  Synthesizer* synthesizer_;
  tradutor::DiphoneVoiceApi* voice_ = nullptr;
  std::optional<tradutor::BuiltInVoice> words_voice_;  // voice_ as a driver
  SystemVoiceSettings voice_settings_;

  std::string program_directory_;
  std::string letters_directory_;
  int speed_ = 3;
  int full_stop_pause_ = 250;
  int comma_pause_ = 150;
  int colon_pause_ = 200;
  std::string speech_buffer_;
  bool synth_active_ = false;
  int synth_type_ = 4;
  bool synth_pending_ = true;
  bool stop_requested_ = false;
  bool sentence_ = false;  // SpeakSentence is speaking
  std::vector<uint8_t> click_samples_;
};

}  // namespace placarim::speech
