// The codes the console's key queue holds. A plain key is one byte: a
// Windows-1252 character or a control code. An extended key is two: 0, then
// its extended code (the PC keyboard's scan code, or a code of its own for Ctrl
// and Alt forms). The two sets overlap (59 is ';' and F1), so each has its own
// namespace; the platform's virtual keys (platform/vk.h) are a third set.
#pragma once

#include <cstddef>
#include <cstdint>

namespace placarim::console {

namespace plain {
inline constexpr uint8_t kCtrlC = 3;   // copy
inline constexpr uint8_t kCtrlD = 4;
inline constexpr uint8_t kBackspace = 8;
inline constexpr uint8_t kTab = 9;
inline constexpr uint8_t kCtrlEnter = 10;
inline constexpr uint8_t kCtrlK = 11;
inline constexpr uint8_t kCtrlL = 12;
inline constexpr uint8_t kEnter = 13;
inline constexpr uint8_t kCtrlS = 19;
inline constexpr uint8_t kCtrlU = 21;
inline constexpr uint8_t kCtrlV = 22;  // paste
inline constexpr uint8_t kCtrlY = 25;
inline constexpr uint8_t kEscape = 27;
inline constexpr uint8_t kCtrlBackslash = 28;
inline constexpr uint8_t kSpace = 32;
inline constexpr uint8_t kCtrlBackspace = 127;
// The window gained or lost the keyboard focus.
inline constexpr uint8_t kFocusGained = 222;
inline constexpr uint8_t kFocusLost = 223;
}  // namespace plain

namespace extended {
inline constexpr uint8_t kAltQ = 16;  // with W and E: AltGr characters follow
inline constexpr uint8_t kAltW = 17;
inline constexpr uint8_t kAltE = 18;
inline constexpr uint8_t kF1 = 59;  // F1 to F10 are 59 to 68
inline constexpr uint8_t kF4 = 62;
inline constexpr uint8_t kF5 = 63;
inline constexpr uint8_t kF6 = 64;
inline constexpr uint8_t kF8 = 66;
inline constexpr uint8_t kF11 = 69;
inline constexpr uint8_t kF12 = 70;
inline constexpr uint8_t kHome = 71;
inline constexpr uint8_t kUp = 72;
inline constexpr uint8_t kPageUp = 73;
inline constexpr uint8_t kLeft = 75;
inline constexpr uint8_t kRight = 77;
inline constexpr uint8_t kEnd = 79;
inline constexpr uint8_t kDown = 80;
inline constexpr uint8_t kPageDown = 81;
inline constexpr uint8_t kInsert = 82;
inline constexpr uint8_t kDelete = 83;
inline constexpr uint8_t kCtrlF1 = 94;  // Ctrl+F1 to Ctrl+F10 are 94 to 103
inline constexpr uint8_t kCtrlF4 = 97;
inline constexpr uint8_t kCtrlF5 = 98;
inline constexpr uint8_t kCtrlF8 = 101;
inline constexpr uint8_t kCtrlF9 = 102;  // also Ctrl+Alt+F9
inline constexpr uint8_t kCtrlF11 = 104;
inline constexpr uint8_t kCtrlF12 = 105;
inline constexpr uint8_t kCtrlUp = 113;
inline constexpr uint8_t kCtrlDown = 114;
inline constexpr uint8_t kCtrlLeft = 115;
inline constexpr uint8_t kCtrlRight = 116;
inline constexpr uint8_t kCtrlEnd = 117;
inline constexpr uint8_t kCtrlPageDown = 118;
inline constexpr uint8_t kCtrlHome = 119;
inline constexpr uint8_t kAlt1 = 120;  // Alt+1 to Alt+9 are 120 to 128, Alt+0 129
inline constexpr uint8_t kAlt0 = 129;
inline constexpr uint8_t kCtrlPageUp = 132;
// A routing key of the braille display: DisplayLine::TakeRouting tells where.
inline constexpr uint8_t kBrailleRouting = 200;
inline constexpr uint8_t kShiftInsert = 254;  // paste
inline constexpr uint8_t kCtrlInsert = 255;   // copy
}  // namespace extended

// One key as the queue holds it, decoded once: an extended key's two codes,
// or a character typed with AltGr (0, kAltQ to kAltE, then the character),
// which is a plain key.
struct Key {
  uint8_t code = 0;       // the character or control code, or the extended code
  bool extended = false;  // the code came after a 0
  uint8_t alt_gr = 0;     // for a character typed with AltGr: kAltQ, kAltW or kAltE
};

// Takes one key's codes from `next_code` (a call that blocks until a code is
// queued, such as Console::ReadKey).
template <typename NextCode>
Key ReadTypedKey(NextCode&& next_code) {
  Key key{next_code(), false, 0};
  if (key.code != 0) return key;
  key.code = next_code();
  if (key.code >= extended::kAltQ && key.code <= extended::kAltE) {
    key.alt_gr = key.code;
    key.code = next_code();
  } else {
    key.extended = true;
  }
  return key;
}

// A key and what it does: the key tables of the line editor, the screen
// review and the game are arrays of these.
template <typename Action>
struct KeyBinding {
  int code;
  Action action;
};

// The binding of `code` in `table`, or nullptr when the key has none.
template <typename Action, size_t N>
const KeyBinding<Action>* FindBinding(const KeyBinding<Action> (&table)[N], int code) {
  for (const KeyBinding<Action>& binding : table) {
    if (binding.code == code) return &binding;
  }
  return nullptr;
}

}  // namespace placarim::console
