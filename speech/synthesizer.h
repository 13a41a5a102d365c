// The external synthesizer as the speech layer sees it: one interface with the
// dispatcher's five operations. Each bridge (espeak-ng, the desktop speech
// service, the second voice) implements it; the speech layer holds at most one.
//
// Threads: all calls come from the main thread. SynthSpeak does not block: the
// synthesizer speaks on its own, and SynthIsSpeaking is polled until it ends.
#pragma once

#include <string>
#include <string_view>

namespace placarim::speech {

class Synthesizer {
 public:
  virtual ~Synthesizer() = default;
  // Opens the synthesizer: `voice` numbers the installed voices from 1 (0 or
  // out of range: the first), `rate` and `pitch` 0 keep the voice's own,
  // `type` is the configured kind (3, 4, 5 or 54). True when it can speak;
  // returns only after the synthesizer has become silent.
  virtual bool SynthOpen(int voice, int rate, int pitch, int type) = 0;
  // Hands over one Windows-1252 text and returns at once.
  virtual void SynthSpeak(std::string_view text) = 0;
  // Mode 1: text still queued; mode 0: text queued or audio still running.
  virtual bool SynthIsSpeaking(int mode) = 0;
  // Silences it now and drops what is queued.
  virtual void SynthStop() = 0;
  // Waits for the end of speech in progress and releases everything.
  virtual void SynthClose() = 0;
  // False when no external voice can speak now (the one chosen was lost and
  // no other works): the layer's own voice then speaks every text.
  virtual bool SynthCanSpeak() { return true; }
  // A sentence the layer says once with its own voice before the next text
  // (why the external voice is gone); empty when none. Taking it clears it.
  virtual std::string SynthTakeNotice() { return {}; }
};

}  // namespace placarim::speech
