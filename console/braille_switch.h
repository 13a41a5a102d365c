// Switching braille typing off, on or to its next mode, with the tones that
// tell a user who cannot see the screen which mode is now on: 800 Hz then
// 1600 Hz for plain cells (mode 1), 800 Hz then 400 Hz for capitals and
// numbers (mode 2), 100 Hz when braille goes off (and nothing when it was off
// already). Each tone sounds for 200 ms.
//
// Threads: main thread. Set blocks for the tones (400 ms at most) through
// `delay`, which goes on handling the window's messages.
#pragma once

#include <cstdint>
#include <functional>

#include "console/braille_chords.h"
#include "sound/tone.h"

namespace placarim::console {

class BrailleSwitch {
 public:
  BrailleSwitch(BrailleChords& chords, sound::ModeTone& tone, std::function<void(uint16_t ms)> delay)
      : chords_(chords), tone_(tone), delay_(std::move(delay)) {}

  // A mode outside 0 to 2 means plain cells (1).
  void Set(int mode);
  // Plain cells, then capitals and numbers, then plain cells again.
  void Next() { Set(Mode() + 1); }
  int Mode() const { return chords_.Mode(); }

 private:
  void Sound(uint16_t frequency);

  BrailleChords& chords_;
  sound::ModeTone& tone_;
  std::function<void(uint16_t)> delay_;
};

}  // namespace placarim::console
