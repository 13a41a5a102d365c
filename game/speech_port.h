// The speech and keyboard operations the game asks of the speech layer. The
// program serves them from the real speech layer (speech_link.h); whole-game
// tests serve them with a recorder that notes every sound and spoken text.
// Every call blocks on the main thread until its sound has ended or a key
// press has cut it short (an external synthesizer may still be speaking after
// SpeakText returns; IsSpeaking tells).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace placarim::game {

class SpeechPort {
 public:
  virtual ~SpeechPort() = default;

  // A value from the suite's configuration file; empty when absent.
  virtual std::string ReadIniString(std::string_view section, std::string_view key) = 0;
  // A configured path (Windows-1252, perhaps with backslashes) in the file
  // system's form; unchanged unless the speech layer knows better.
  virtual std::string LocalPath(std::string_view configured) { return std::string(configured); }
  // Starts the voices; speed 0 takes the speed from the configuration.
  virtual void SpeechStart(int speed, const std::string& sound_directory) = 0;
  // Off: punctuation in texts gives pauses instead of being named.
  virtual void SetSpeakPunctuation(bool on) = 0;
  // Speaks what is still buffered, lets the output end and closes the voices.
  virtual void FinishSpeech() = 0;

  // Plays "<key>.wav" of the game's sound directory; a missing file is silent.
  virtual void PlaySoundKey(std::string_view key) = 0;
  virtual bool SoundKeyExists(std::string_view key) = 0;
  virtual void SpeakText(std::string_view text) = 0;
  // A sentence of the game's own (catalogue, commentary): its punctuation is
  // heard as pauses, never named, whatever the voice.
  virtual void SpeakSentence(std::string_view text) = 0;
  // Reads the text character by character from the letter recordings.
  virtual void SpellText(std::string_view text) = 0;
  // Writes the number on the console and speaks it.
  virtual void WriteSpeakInt(int64_t value) = 0;
  // Writes the text and a line break and speaks the text.
  virtual void WriteLnSpeak(std::string_view text) = 0;
  // Whether output is still running; false (after stopping it) when a key waits.
  virtual bool IsSpeaking() = 0;
  // Discards waiting keys, then plays the short beep.
  virtual void PlayBeep() = 0;

  // Waits for silence, reads one key (0 and `extended` for a special key) and
  // echoes a printable key by voice and on the console.
  virtual void ReadKeySpeak(uint8_t& key, uint8_t& extended) = 0;
  // The spoken line editor: edits `text` in a field at column x, row y;
  // returns the code of the key that ended editing (13 ENTER, 27 ESC, 9 TAB,
  // or an extended key's code). On return `text` has no trailing blanks.
  virtual int ReadLineEdit(std::string& text, int x, int y, int max_length, bool editable) = 0;
};

}  // namespace placarim::game
