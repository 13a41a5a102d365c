#include "console/keyboard.h"

#include "platform/vk.h"

namespace placarim::console {
namespace {

namespace vk = platform::vk;

struct ExtendedKey {
  int vk;
  uint8_t code;
  uint8_t ctrl_code;
};

// Searched in this order; Insert's Ctrl code 255 marks the row whose Shift
// form is 254.
constexpr ExtendedKey kExtended[] = {
    {vk::kF1 + 0, 59, 94},   {vk::kF1 + 1, 60, 95},   {vk::kF1 + 2, 61, 96},  {vk::kF1 + 3, 62, 97},
    {vk::kF1 + 4, 63, 98},   {vk::kF1 + 5, 64, 99},   {vk::kF1 + 6, 65, 100}, {vk::kF1 + 7, 66, 101},
    {vk::kF1 + 8, 67, 102},  {vk::kF1 + 9, 68, 103},  {vk::kF11, 69, 104},    {vk::kF12, 70, 105},
    {vk::kInsert, 82, 255},  {vk::kDelete, 83, 83},   {vk::kHome, 71, 119},   {vk::kEnd, 79, 117},
    {vk::kPrior, 73, 132},   {vk::kNext, 81, 118},    {vk::kUp, 72, 113},     {vk::kDown, 80, 114},
    {vk::kLeft, 75, 115},    {vk::kRight, 77, 116},
};

// PC keyboard scan codes of the letters A to Z.
constexpr uint8_t kAltLetters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                     49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

bool IsLetterKey(int k) { return k >= vk::kA && k < vk::kA + 26; }
bool IsDigitKey(int k) { return k >= vk::k0 && k < vk::k0 + 10; }

}  // namespace

uint8_t Keyboard::ExtendedCode(int k, platform::Modifiers mods) {
  for (const ExtendedKey& row : kExtended) {
    if (row.vk != k) continue;
    if (mods.ctrl) return row.ctrl_code;
    if (row.ctrl_code == 255 && mods.shift) return 254;
    return row.code;
  }
  return 0;
}

uint8_t Keyboard::AltCode(int k) {
  if (IsLetterKey(k)) return kAltLetters[k - vk::kA];
  if (k == vk::k0) return 129;
  if (IsDigitKey(k)) return static_cast<uint8_t>(120 + (k - vk::k0 - 1));
  return 0;
}

void Keyboard::OnChar(uint8_t c, platform::Modifiers mods) {
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (braille_.Mode() != 0 && (c == ' ' || letter)) return;  // typed by chords instead
  if (mods.ctrl && c == 8) c = 127;
  if (mods.ctrl && c == 13) c = 10;
  queue_.Push(c, mods);  // lost when the queue is full
}

KeyAction Keyboard::OnKeyDown(int k, platform::Modifiers mods, bool system) {
  if (system && break_checking) {
    // System keys belong to the desktop; only Alt+Left and Alt+Right are ours.
    if (k == vk::kLeft || k == vk::kRight) return KeyDownRule(k, mods);
    if (mods.alt && k == vk::kF1 + 3) return KeyAction::Close;
    return KeyAction::None;
  }
  return KeyDownRule(k, mods);
}

KeyAction Keyboard::KeyDownRule(int k, platform::Modifiers mods) {
  if (break_checking && k == vk::kCancel) return KeyAction::Terminate;
  // Ctrl+Alt+F11 and F12 switch braille typing. X11 and Wayland desktops keep
  // Ctrl+Alt+F1 to F12 for switching to text consoles, so Ctrl+Shift does the
  // same there.
  if (mods.ctrl && (mods.alt || mods.shift)) {
    if (k == vk::kF12) return KeyAction::BrailleOff;
    if (k == vk::kF11) return KeyAction::BrailleNext;
  }
  if (mods.alt) {
    if (const uint8_t code = AltCode(k)) {
      queue_.PushPair(0, code, mods);
      return KeyAction::None;
    }
  }
  if (!mods.ctrl && braille_.Mode() != 0 && BrailleChords::DotBit(k) != 0) {
    braille_.PressDot(k);
    return KeyAction::None;
  }
  if (const uint8_t code = ExtendedCode(k, mods)) queue_.PushPair(0, code, mods);
  return KeyAction::None;
}

bool Keyboard::OnKeyUp(int k, platform::Modifiers mods) {
  if (braille_.Mode() == 0) return false;
  const auto release = braille_.KeyUp(k, mods.ctrl);
  if (release.typed && queue_.Count() <= KeyQueue::kCapacity - 1) queue_.Push(*release.typed, mods);
  return release.consumed;
}

}  // namespace placarim::console
