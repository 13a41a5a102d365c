// Key echo: reading a key once speech has ended, and saying and showing what
// was typed. F8 speaks the time and reads on.
//
// Errors: none. Blocking: both calls wait for a key, pumping messages.
// Threads: main thread only.
#pragma once

#include <cstdint>

#include "speech/output_control.h"
#include "speech/recorded_sounds.h"
#include "speech/speech_console.h"
#include "speech/text_speaker.h"

namespace placarim::speech {

class KeyEcho {
 public:
  KeyEcho(SpeechConsole& console, OutputControl& output, RecordedSounds& sounds, TextSpeaker& text)
      : console_(console), output_(output), sounds_(sounds), text_(text) {}

  // Waits for silence and reads a key, echoing printable ones by voice and on
  // the console. `ext` is 32 for a plain key, the extended code after a 0, or
  // the AltGr prefix.
  void ReadKeySpeak(uint8_t& c, uint8_t& ext);
  // Speaks what the text collected, reads a key at once (cutting speech
  // short) and says it.
  uint8_t ReadCharSpeak();

 private:
  SpeechConsole& console_;
  OutputControl& output_;
  RecordedSounds& sounds_;
  TextSpeaker& text_;
};

}  // namespace placarim::speech
