#include "console/braille_switch.h"

namespace placarim::console {

void BrailleSwitch::Sound(uint16_t frequency) {
  tone_.Play(frequency);
  delay_(200);
  tone_.Stop();
}

void BrailleSwitch::Set(int mode) {
  if (mode < 0 || mode > 2) mode = 1;
  if (mode == 0) {
    const bool was_on = chords_.Mode() != 0;
    chords_.SetMode(0);
    if (was_on) Sound(100);
    return;
  }
  Sound(800);
  Sound(mode == 1 ? 1600 : 400);
  chords_.SetMode(mode);
}

}  // namespace placarim::console
