#include "console/keyboard.h"

#include "console/keys.h"
#include "platform/vk.h"

namespace placarim::console {
namespace {

namespace vk = platform::vk;
namespace ext = extended;

struct ExtendedKey {
  int vk;
  int code;
  int ctrl_code;
};

// Searched in this order; Insert's row is the one with a Shift form.
constexpr ExtendedKey kExtended[] = {
    {vk::kF1 + 0, ext::kF1 + 0, ext::kCtrlF1 + 0}, {vk::kF1 + 1, ext::kF1 + 1, ext::kCtrlF1 + 1},
    {vk::kF1 + 2, ext::kF1 + 2, ext::kCtrlF1 + 2}, {vk::kF1 + 3, ext::kF1 + 3, ext::kCtrlF1 + 3},
    {vk::kF1 + 4, ext::kF1 + 4, ext::kCtrlF1 + 4}, {vk::kF1 + 5, ext::kF1 + 5, ext::kCtrlF1 + 5},
    {vk::kF1 + 6, ext::kF1 + 6, ext::kCtrlF1 + 6}, {vk::kF1 + 7, ext::kF1 + 7, ext::kCtrlF1 + 7},
    {vk::kF1 + 8, ext::kF1 + 8, ext::kCtrlF1 + 8}, {vk::kF1 + 9, ext::kF1 + 9, ext::kCtrlF1 + 9},
    {vk::kF11, ext::kF11, ext::kCtrlF11},          {vk::kF12, ext::kF12, ext::kCtrlF12},
    {vk::kInsert, ext::kInsert, ext::kCtrlInsert}, {vk::kDelete, ext::kDelete, ext::kDelete},
    {vk::kHome, ext::kHome, ext::kCtrlHome},       {vk::kEnd, ext::kEnd, ext::kCtrlEnd},
    {vk::kPrior, ext::kPageUp, ext::kCtrlPageUp},  {vk::kNext, ext::kPageDown, ext::kCtrlPageDown},
    {vk::kUp, ext::kUp, ext::kCtrlUp},             {vk::kDown, ext::kDown, ext::kCtrlDown},
    {vk::kLeft, ext::kLeft, ext::kCtrlLeft},       {vk::kRight, ext::kRight, ext::kCtrlRight},
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
    if (mods.ctrl) return static_cast<uint8_t>(row.ctrl_code);
    if (row.ctrl_code == ext::kCtrlInsert && mods.shift) return ext::kShiftInsert;
    return static_cast<uint8_t>(row.code);
  }
  return 0;
}

uint8_t Keyboard::AltCode(int k) {
  if (IsLetterKey(k)) return kAltLetters[k - vk::kA];
  if (k == vk::k0) return ext::kAlt0;
  if (IsDigitKey(k)) return static_cast<uint8_t>(ext::kAlt1 + (k - vk::k0 - 1));
  return 0;
}

void Keyboard::OnChar(uint8_t c, platform::Modifiers mods) {
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (braille_.Mode() != 0 && (c == ' ' || letter)) return;  // typed by chords instead
  if (mods.ctrl && c == plain::kBackspace) c = plain::kCtrlBackspace;
  if (mods.ctrl && c == plain::kEnter) c = plain::kCtrlEnter;
  queue_.Push(c);  // lost when the queue is full
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
  if (mods.alt) {
    if (mods.ctrl && k == vk::kF12) return KeyAction::BrailleOff;
    if (mods.ctrl && k == vk::kF11) return KeyAction::BrailleNext;
    if (const uint8_t code = AltCode(k)) {
      queue_.PushPair(0, code);
      return KeyAction::None;
    }
  }
  if (!mods.ctrl && braille_.Mode() != 0 && BrailleChords::DotBit(k) != 0) {
    braille_.PressDot(k);
    return KeyAction::None;
  }
  if (const uint8_t code = ExtendedCode(k, mods)) queue_.PushPair(0, code);
  return KeyAction::None;
}

bool Keyboard::OnKeyUp(int k, platform::Modifiers mods) {
  if (braille_.Mode() == 0) return false;
  const auto release = braille_.KeyUp(k, mods.ctrl);
  if (release.typed && queue_.Count() <= KeyQueue::kCapacity - 1) queue_.Push(*release.typed);
  return release.consumed;
}

}  // namespace placarim::console
