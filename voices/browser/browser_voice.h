// The browser's own voices, for the game in a web page: the texts go to the
// page, which speaks them with the browser's speech synthesis (a Brazilian
// Portuguese voice, else a Portuguese one) or, when the child's own screen
// reader is to speak, writes them into a live region of the page for it to
// read. The page says which (Module.placarimVoice); when it has no voice to
// offer, SynthCanSpeak is false and the game's built-in voice speaks.
#pragma once

#include "speech/synthesizer.h"

namespace placarim::voices::browser {

class BrowserVoice final : public speech::Synthesizer {
 public:
  // True when the page has a voice that can speak; the configured type,
  // voice, rate and pitch are the page's to choose.
  bool SynthOpen(int voice, int rate, int pitch, int type) override;
  void SynthSpeak(std::string_view text) override;
  // Either mode: speech handed to the browser and not yet finished (a screen
  // reader's own speech is never waited for).
  bool SynthIsSpeaking(int mode) override;
  // Cancels what the browser is saying and what is queued.
  void SynthStop() override;
  void SynthClose() override;
  bool SynthCanSpeak() override { return open_; }

 private:
  bool open_ = false;
};

}  // namespace placarim::voices::browser
