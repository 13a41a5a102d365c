// Key translation: turns the platform's key-down, key-up and character events
// into the byte codes of the key queue, with the extended-key and Alt tables and
// braille chords. It knows nothing of windows or clocks, so it can be fed events
// directly; what it cannot do itself (end the program, change the braille mode
// with its tones) it returns as an action for the console.
#pragma once

#include <cstdint>

#include "console/braille_chords.h"
#include "console/key_queue.h"
#include "platform/platform.h"

namespace placarim::console {

enum class KeyAction {
  None,
  Terminate,    // Ctrl+Break
  Close,        // Alt+F4: the window's close request
  BrailleOff,   // Ctrl+Alt+F12 or Ctrl+Shift+F12
  BrailleNext,  // Ctrl+Alt+F11 or Ctrl+Shift+F11
};

class Keyboard {
 public:
  // Character events.
  void OnChar(uint8_t c, platform::Modifiers mods);
  // Key-down events; `system` as the platform reports it (Alt without Ctrl, F10).
  KeyAction OnKeyDown(int vk, platform::Modifiers mods, bool system);
  // Key-up events; true when braille typing consumed the key.
  bool OnKeyUp(int vk, platform::Modifiers mods);
  // The window lost the keyboard: a braille chord still being formed is
  // dropped, and key-ups are ignored until the next key-down (they belong to
  // keys pressed before the loss).
  void OnFocusLost();

  KeyQueue& Queue() { return queue_; }
  const KeyQueue& Queue() const { return queue_; }
  BrailleChords& Braille() { return braille_; }
  const BrailleChords& Braille() const { return braille_; }

  // Ctrl+Break checking: on from the start until the program ends.
  bool break_checking = true;

  // The extended code of a key, or 0 when it has none.
  static uint8_t ExtendedCode(int vk, platform::Modifiers mods);
  // The Alt code of a letter or digit key, or 0.
  static uint8_t AltCode(int vk);

 private:
  KeyAction KeyDownRule(int vk, platform::Modifiers mods);

  KeyQueue queue_;
  BrailleChords braille_;
  bool ignore_key_ups_ = false;
};

}  // namespace placarim::console
