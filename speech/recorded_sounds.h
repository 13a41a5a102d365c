// Recorded sounds: message recordings by key, recorded characters, numbers,
// the time and the date glued from recorded words, and the generated click and
// beep, all played through wave playback. Each first waits for text handed to
// an external voice (OutputControl::WaitSpeech), so nothing talks over it.
//
// Errors: a recording that is missing or unreadable is skipped in silence
// (SoundKeyExists tells beforehand); nothing here fails.
// Blocking: every call returns when its sound has ended or a key press cut it
// short; SpellText and the numbers stop at a pending key.
// Threads: main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sound/main_loop.h"
#include "sound/sound_output.h"
#include "speech/output_control.h"
#include "speech/speech_console.h"
#include "voices/tradutor/diphone_voice.h"

namespace placarim::speech {

// Samples of recorded number words collected before they are played.
inline constexpr size_t kNumberBufferSamples = 30000;

class RecordedSounds {
 public:
  // `click_seed` seeds the click's noise.
  RecordedSounds(sound::MainLoop& loop, SpeechConsole& console, sound::SoundOutput& sound, OutputControl& output,
                 uint32_t click_seed);
  RecordedSounds(const RecordedSounds&) = delete;
  RecordedSounds& operator=(const RecordedSounds&) = delete;

  // The built-in voice, whose letters directory holds the recorded characters
  // and number words.
  void AttachVoice(const tradutor::DiphoneVoiceApi& voice) { voice_ = &voice; }
  // Where message recordings ("X") and letter recordings ("_X") are; both end in '/'.
  void SetDirectories(std::string program, std::string letters);
  const std::string& ProgramSoundDirectory() const { return program_directory_; }
  const std::string& LettersDirectory() const { return letters_directory_; }

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
  // Plays a wave image (44-byte header, then samples) and waits for its end.
  void PlayImageWait(const std::vector<uint8_t>& image);

  // Plays the recorded words of NumberToWords as one continuous sound.
  void SpeakNumberWords(std::string_view words, bool feminine);
  void SpeakTime();
  void SpeakDate();

 private:
  std::string SoundKeyPath(std::string_view key) const;
  std::string VoiceLetters() const;
  void PlayNumberBuffer(std::vector<uint8_t>& buffer, size_t& collected);

  sound::MainLoop& loop_;
  SpeechConsole& console_;
  sound::SoundOutput& sound_;
  OutputControl& output_;
  const tradutor::DiphoneVoiceApi* voice_ = nullptr;
  std::string program_directory_;
  std::string letters_directory_;
  std::vector<uint8_t> click_samples_;
};

}  // namespace placarim::speech
