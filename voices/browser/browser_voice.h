// The browser's own voices, for the game in a web page: the texts go to the
// page, which speaks them with the browser's speech synthesis (a Brazilian
// Portuguese voice, else a Portuguese one) or, when the child's own screen
// reader is to speak, writes them into a live region of the page for it to
// read. The page says which (Module.placarimVoice); when it has no voice to
// offer, Open answers false and the game's built-in voice speaks.
//
// A driver of voices/voice.h (the browser build's table names it). Errors and
// threads as that header says; Speak hands the text to the page and returns.
#pragma once

#include "voices/voice.h"

namespace placarim::voices::browser {

class BrowserVoice final : public Voice {
 public:
  // True when the page has a voice that can speak; voice, rate and pitch are
  // the page's to choose.
  bool Open(int voice, int rate, int pitch) override;
  void Speak(std::string_view text) override;
  // Either mode: speech handed to the browser and not yet finished (a screen
  // reader's own speech is never waited for).
  bool IsSpeaking(int mode) override;
  // Cancels what the browser is saying and what is queued.
  void Stop() override;
  void Close() override;

 private:
  bool open_ = false;
};

}  // namespace placarim::voices::browser
