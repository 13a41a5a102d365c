#include "platform/sdl/key_translation.h"

#include "platform/key_characters.h"
#include "platform/text_encoding.h"
#include "platform/vk.h"

namespace placarim::platform::sdl {
namespace {

int LetterOrDigitOfSym(SDL_Keycode sym) {
  if (sym >= SDLK_a && sym <= SDLK_z) return vk::kA + (sym - SDLK_a);
  if (sym >= SDLK_0 && sym <= SDLK_9) return vk::k0 + (sym - SDLK_0);
  switch (sym) {  // these four keep their code on every layout
    case SDLK_COMMA: return vk::kOemComma;
    case SDLK_MINUS: return vk::kOemMinus;
    case SDLK_PERIOD: return vk::kOemPeriod;
    case SDLK_PLUS:
    case SDLK_EQUALS: return vk::kOemPlus;
    default: return 0;
  }
}

// Keypad keys: digits with Num Lock on, the navigation keys without it.
int KeypadKey(SDL_Scancode scancode, bool num_lock) {
  struct Pad {
    SDL_Scancode scancode;
    int with_num_lock;
    int without;
  };
  static constexpr Pad kPad[] = {
      {SDL_SCANCODE_KP_0, vk::kNumpad0 + 0, vk::kInsert}, {SDL_SCANCODE_KP_1, vk::kNumpad0 + 1, vk::kEnd},
      {SDL_SCANCODE_KP_2, vk::kNumpad0 + 2, vk::kDown},   {SDL_SCANCODE_KP_3, vk::kNumpad0 + 3, vk::kNext},
      {SDL_SCANCODE_KP_4, vk::kNumpad0 + 4, vk::kLeft},   {SDL_SCANCODE_KP_5, vk::kNumpad0 + 5, vk::kClear},
      {SDL_SCANCODE_KP_6, vk::kNumpad0 + 6, vk::kRight},  {SDL_SCANCODE_KP_7, vk::kNumpad0 + 7, vk::kHome},
      {SDL_SCANCODE_KP_8, vk::kNumpad0 + 8, vk::kUp},     {SDL_SCANCODE_KP_9, vk::kNumpad0 + 9, vk::kPrior},
      {SDL_SCANCODE_KP_PERIOD, vk::kDecimal, vk::kDelete},
  };
  for (const Pad& pad : kPad) {
    if (pad.scancode == scancode) return num_lock ? pad.with_num_lock : pad.without;
  }
  return -1;
}

// Every other key by its position on the keyboard.
int KeyOfScancode(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return vk::kA + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return vk::k0 + 1 + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return vk::kF1 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return vk::kF13 + (sc - SDL_SCANCODE_F13);
  switch (sc) {
    case SDL_SCANCODE_0: return vk::k0;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER: return vk::kReturn;
    case SDL_SCANCODE_ESCAPE: return vk::kEscape;
    case SDL_SCANCODE_BACKSPACE: return vk::kBack;
    case SDL_SCANCODE_TAB: return vk::kTab;
    case SDL_SCANCODE_SPACE: return vk::kSpace;
    case SDL_SCANCODE_MINUS: return vk::kOemMinus;
    case SDL_SCANCODE_EQUALS: return vk::kOemPlus;
    case SDL_SCANCODE_LEFTBRACKET: return vk::kOem4;
    case SDL_SCANCODE_RIGHTBRACKET: return vk::kOem6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return vk::kOem5;
    case SDL_SCANCODE_SEMICOLON: return vk::kOem1;
    case SDL_SCANCODE_APOSTROPHE: return vk::kOem7;
    case SDL_SCANCODE_GRAVE: return vk::kOem3;
    case SDL_SCANCODE_COMMA: return vk::kOemComma;
    case SDL_SCANCODE_PERIOD: return vk::kOemPeriod;
    case SDL_SCANCODE_SLASH: return vk::kOem2;
    case SDL_SCANCODE_NONUSBACKSLASH: return vk::kOem102;
    case SDL_SCANCODE_INTERNATIONAL1: return vk::kAbntC1;
    case SDL_SCANCODE_CAPSLOCK: return vk::kCapital;
    case SDL_SCANCODE_PRINTSCREEN: return vk::kSnapshot;
    case SDL_SCANCODE_SCROLLLOCK: return vk::kScroll;
    case SDL_SCANCODE_PAUSE: return vk::kPause;
    case SDL_SCANCODE_INSERT: return vk::kInsert;
    case SDL_SCANCODE_HOME: return vk::kHome;
    case SDL_SCANCODE_PAGEUP: return vk::kPrior;
    case SDL_SCANCODE_DELETE: return vk::kDelete;
    case SDL_SCANCODE_END: return vk::kEnd;
    case SDL_SCANCODE_PAGEDOWN: return vk::kNext;
    case SDL_SCANCODE_RIGHT: return vk::kRight;
    case SDL_SCANCODE_LEFT: return vk::kLeft;
    case SDL_SCANCODE_DOWN: return vk::kDown;
    case SDL_SCANCODE_UP: return vk::kUp;
    case SDL_SCANCODE_NUMLOCKCLEAR: return vk::kNumLock;
    case SDL_SCANCODE_KP_DIVIDE: return vk::kDivide;
    case SDL_SCANCODE_KP_MULTIPLY: return vk::kMultiply;
    case SDL_SCANCODE_KP_MINUS: return vk::kSubtract;
    case SDL_SCANCODE_KP_PLUS: return vk::kAdd;
    case SDL_SCANCODE_APPLICATION: return vk::kApps;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return vk::kControl;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return vk::kShift;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
    case SDL_SCANCODE_MODE: return vk::kMenu;
    case SDL_SCANCODE_LGUI: return vk::kLeftWin;
    case SDL_SCANCODE_RGUI: return vk::kRightWin;
    default: return 0;
  }
}

}  // namespace

Modifiers ModifiersOf(uint16_t sdl_mod) {
  Modifiers mods;
  const bool alt_gr = (sdl_mod & (KMOD_RALT | KMOD_MODE)) != 0;
  mods.ctrl = (sdl_mod & KMOD_CTRL) != 0 || alt_gr;
  mods.alt = (sdl_mod & KMOD_LALT) != 0 || alt_gr;
  mods.shift = (sdl_mod & KMOD_SHIFT) != 0;
  return mods;
}

int VirtualKeyOf(SDL_Keycode sym, SDL_Scancode scancode, uint16_t sdl_mod) {
  if (scancode == SDL_SCANCODE_PAUSE && (sdl_mod & KMOD_CTRL) != 0) return vk::kCancel;
  if (const int pad = KeypadKey(scancode, (sdl_mod & KMOD_NUM) != 0); pad >= 0) return pad;
  if (const int by_layout = LetterOrDigitOfSym(sym); by_layout != 0) return by_layout;
  return KeyOfScancode(scancode);
}

bool IsKeypadDigitKey(SDL_Scancode scancode) {
  return KeypadKey(scancode, true) >= 0;
}

bool IsSystemKey(int vk, const Modifiers& mods) {
  if (mods.ctrl) return false;
  return mods.alt || vk == vk::kF10;
}

void TranslateKey(const SDL_KeyboardEvent& key, std::vector<Event>& out) {
  const int code = VirtualKeyOf(key.keysym.sym, key.keysym.scancode, key.keysym.mod);
  if (code == 0) return;
  Event event;
  event.vk = code;
  event.mods = ModifiersOf(key.keysym.mod);
  if (key.type == SDL_KEYUP) {
    event.type = EventType::KeyUp;
    out.push_back(event);
    return;
  }
  event.type = EventType::KeyDown;
  event.system = IsSystemKey(code, event.mods);
  out.push_back(event);
  if (const int ch = ControlCharacterOfKey(code, event.mods); ch >= 0) {
    Event typed;
    typed.type = EventType::Char;
    typed.ch = static_cast<uint8_t>(ch);
    typed.mods = event.mods;
    out.push_back(typed);
  }
}

void TranslateText(std::string_view utf8, uint16_t sdl_mod, std::vector<Event>& out) {
  // Ctrl or Alt from the left-hand keys types no character on Windows (where
  // Ctrl+Alt is AltGr, the X server would give the unshifted key instead).
  const bool alt_gr = (sdl_mod & (KMOD_RALT | KMOD_MODE)) != 0;
  if (!alt_gr && (sdl_mod & (KMOD_CTRL | KMOD_LALT)) != 0) return;
  const Modifiers mods = ModifiersOf(sdl_mod);
  for (const char c : Utf8ToCp1252(utf8, 0)) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 32 || byte == 127) continue;
    Event typed;
    typed.type = EventType::Char;
    typed.ch = byte;
    typed.mods = mods;
    out.push_back(typed);
  }
}

}  // namespace placarim::platform::sdl
