// Speaking text: a text is handed whole to the external voice when one reads
// numbers itself, else it runs through the stages of speech/text_stages.h and
// is said piece by piece: numbers and characters from recordings
// (RecordedSounds), runs of words by the built-in voice, punctuation as pauses.
// The Write calls also show the text on the console for the teacher.
//
// Errors: nothing here fails; what has no recording is skipped.
// Blocking: SpeakText returns when the text has been heard or a key press cut
// it short, except text handed to the external voice, which speaks on its own
// (the next sound first waits for it).
// Threads: main thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sound/main_loop.h"
#include "speech/output_control.h"
#include "speech/recorded_sounds.h"
#include "speech/speech_console.h"
#include "voices/tradutor/built_in_voice.h"
#include "voices/tradutor/diphone_voice.h"

namespace placarim::speech {

// Longest run of words handed to the diphone voice at once.
inline constexpr size_t kMaxVoiceText = 999;

class TextSpeaker {
 public:
  TextSpeaker(sound::MainLoop& loop, SpeechConsole& console, OutputControl& output, RecordedSounds& sounds)
      : loop_(loop), console_(console), output_(output), sounds_(sounds) {}
  TextSpeaker(const TextSpeaker&) = delete;
  TextSpeaker& operator=(const TextSpeaker&) = delete;

  // The built-in voice that says runs of words; without one they are not spoken.
  void AttachVoice(tradutor::DiphoneVoiceApi& voice) { words_voice_.emplace(voice); }

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
  // Speaks what `buffer_speech` collected, if anything.
  void FlushBuffer();

  bool speak_punctuation = true;  // a punctuation mark's own sound precedes its pause
  bool buffer_speech = false;     // SpeakText collects text instead of speaking
  const std::string& SpeechBuffer() const { return speech_buffer_; }

 private:
  // The text path of the built-in voice (speech/text_stages.h).
  void SpeakBuiltIn(std::string_view text);
  void SpeakWords(std::string_view words);
  void SpeakSymbol(std::string& text, uint8_t& last_symbol, int& repeats);
  void PunctuationPause(std::string_view text);
  bool SentenceEnd(std::string& text);
  bool NamesPunctuation() const { return speak_punctuation && !sentence_; }

  sound::MainLoop& loop_;
  SpeechConsole& console_;
  OutputControl& output_;
  RecordedSounds& sounds_;
  std::optional<tradutor::BuiltInVoice> words_voice_;
  std::string speech_buffer_;
  bool sentence_ = false;  // SpeakSentence is speaking
};

}  // namespace placarim::speech
