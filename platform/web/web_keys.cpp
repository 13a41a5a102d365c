#include "platform/web/web_keys.h"

#include <string>

#include "platform/key_characters.h"
#include "platform/text_encoding.h"
#include "platform/vk.h"

namespace placarim::platform::web {
namespace {

struct Named {
  std::string_view code;
  int vk;
};

// Keys by position (KeyboardEvent.code), past letters, digits and F keys.
constexpr Named kByCode[] = {
    {"Enter", vk::kReturn}, {"NumpadEnter", vk::kReturn}, {"Escape", vk::kEscape},
    {"Backspace", vk::kBack}, {"Tab", vk::kTab}, {"Space", vk::kSpace},
    {"Minus", vk::kOemMinus}, {"Equal", vk::kOemPlus}, {"BracketLeft", vk::kOem4},
    {"BracketRight", vk::kOem6}, {"Backslash", vk::kOem5}, {"Semicolon", vk::kOem1},
    {"Quote", vk::kOem7}, {"Backquote", vk::kOem3}, {"Comma", vk::kOemComma},
    {"Period", vk::kOemPeriod}, {"Slash", vk::kOem2}, {"IntlBackslash", vk::kOem102},
    {"IntlRo", vk::kAbntC1}, {"CapsLock", vk::kCapital}, {"PrintScreen", vk::kSnapshot},
    {"ScrollLock", vk::kScroll}, {"Pause", vk::kPause}, {"Insert", vk::kInsert},
    {"Home", vk::kHome}, {"PageUp", vk::kPrior}, {"Delete", vk::kDelete},
    {"End", vk::kEnd}, {"PageDown", vk::kNext}, {"ArrowRight", vk::kRight},
    {"ArrowLeft", vk::kLeft}, {"ArrowDown", vk::kDown}, {"ArrowUp", vk::kUp},
    {"NumLock", vk::kNumLock}, {"NumpadDivide", vk::kDivide}, {"NumpadMultiply", vk::kMultiply},
    {"NumpadSubtract", vk::kSubtract}, {"NumpadAdd", vk::kAdd}, {"ContextMenu", vk::kApps},
    {"ControlLeft", vk::kControl}, {"ControlRight", vk::kControl}, {"ShiftLeft", vk::kShift},
    {"ShiftRight", vk::kShift}, {"AltLeft", vk::kMenu}, {"AltRight", vk::kMenu},
    {"MetaLeft", vk::kLeftWin}, {"MetaRight", vk::kRightWin}, {"OSLeft", vk::kLeftWin},
    {"OSRight", vk::kRightWin},
};

// Keypad keys: digits with Num Lock on, the navigation keys without it.
struct Pad {
  std::string_view code;
  int with_num_lock;
  int without;
};
constexpr Pad kPad[] = {
    {"Numpad0", vk::kNumpad0 + 0, vk::kInsert}, {"Numpad1", vk::kNumpad0 + 1, vk::kEnd},
    {"Numpad2", vk::kNumpad0 + 2, vk::kDown},   {"Numpad3", vk::kNumpad0 + 3, vk::kNext},
    {"Numpad4", vk::kNumpad0 + 4, vk::kLeft},   {"Numpad5", vk::kNumpad0 + 5, vk::kClear},
    {"Numpad6", vk::kNumpad0 + 6, vk::kRight},  {"Numpad7", vk::kNumpad0 + 7, vk::kHome},
    {"Numpad8", vk::kNumpad0 + 8, vk::kUp},     {"Numpad9", vk::kNumpad0 + 9, vk::kPrior},
    {"NumpadDecimal", vk::kDecimal, vk::kDelete},
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "F1".."F24" as a number, else 0.
int FunctionKeyNumber(std::string_view code) {
  if (code.size() < 2 || code.size() > 3 || code[0] != 'F') return 0;
  int number = 0;
  for (const char c : code.substr(1)) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number >= 1 && number <= 24 ? number : 0;
}

// The letter or digit the layout puts on the key, as the desktop takes it
// from the key's symbol; the four punctuation keys keep their code everywhere.
int LetterOrDigitOfKey(std::string_view key) {
  if (key.size() != 1) return 0;
  const char c = key[0];
  if (c >= 'a' && c <= 'z') return vk::kA + (c - 'a');
  if (c >= 'A' && c <= 'Z') return vk::kA + (c - 'A');
  if (c >= '0' && c <= '9') return vk::k0 + (c - '0');
  switch (c) {
    case ',': return vk::kOemComma;
    case '-': return vk::kOemMinus;
    case '.': return vk::kOemPeriod;
    case '+':
    case '=': return vk::kOemPlus;
    default: return 0;
  }
}

int KeyOfCode(std::string_view code) {
  if (StartsWith(code, "Key") && code.size() == 4 && code[3] >= 'A' && code[3] <= 'Z') return vk::kA + (code[3] - 'A');
  if (StartsWith(code, "Digit") && code.size() == 6 && code[5] >= '0' && code[5] <= '9') return vk::k0 + (code[5] - '0');
  if (const int f = FunctionKeyNumber(code); f != 0) return f <= 12 ? vk::kF1 + f - 1 : vk::kF13 + f - 13;
  for (const Named& named : kByCode) {
    if (named.code == code) return named.vk;
  }
  return 0;
}

Modifiers ModifiersOf(const BrowserKey& key) {
  Modifiers mods;
  mods.ctrl = key.ctrl || key.alt_graph;  // AltGr counts as Ctrl+Alt, as on Windows
  mods.alt = key.alt || key.alt_graph;
  mods.shift = key.shift;
  return mods;
}

// The printable Windows-1252 byte a keydown types, or -1: the key must name
// one character (names such as "Enter" or "Dead" are longer), and Ctrl or
// left Alt without AltGr types none, as on Windows.
int TypedCharacterOf(const BrowserKey& key) {
  if (!key.alt_graph && (key.ctrl || key.alt)) return -1;
  const std::string bytes = Utf8ToCp1252(key.key, 0);
  if (bytes.size() != 1) return -1;
  const auto byte = static_cast<uint8_t>(bytes[0]);
  if (byte < 32 || byte == 127) return -1;
  // A name of one ASCII letter is still a character; longer UTF-8 that
  // folded to one byte is one accented letter.
  return byte;
}

}  // namespace

int VirtualKeyOf(const BrowserKey& key) {
  if (key.code == "Pause" && key.ctrl) return vk::kCancel;
  for (const Pad& pad : kPad) {
    if (pad.code == key.code) return key.num_lock ? pad.with_num_lock : pad.without;
  }
  if (!StartsWith(key.code, "Numpad")) {
    if (const int by_layout = LetterOrDigitOfKey(key.key); by_layout != 0) return by_layout;
  }
  return KeyOfCode(key.code);
}

void TranslateBrowserKey(const BrowserKey& key, std::vector<Event>& out) {
  const int code = VirtualKeyOf(key);
  const int typed = key.down ? TypedCharacterOf(key) : -1;
  if (code == 0 && typed < 0) return;
  Event event;
  event.mods = ModifiersOf(key);
  if (code != 0) {
    event.vk = code;
    event.type = key.down ? EventType::KeyDown : EventType::KeyUp;
    event.system = key.down && !event.mods.ctrl && (event.mods.alt || code == vk::kF10);
    out.push_back(event);
  }
  if (!key.down) return;
  const int ch = typed >= 0 ? typed : ControlCharacterOfKey(code, event.mods);
  if (ch < 0) return;
  Event character;
  character.type = EventType::Char;
  character.ch = static_cast<uint8_t>(ch);
  character.mods = event.mods;
  out.push_back(character);
}

}  // namespace placarim::platform::web
