// Turns SDL keyboard input into the key events Windows would deliver: virtual
// keys with modifiers for key down and up, and characters for the keys Windows
// types as characters (Enter, Backspace, Tab, Esc, Ctrl+letters) and for SDL
// text input converted from UTF-8 to Windows-1252. Pure functions, so the key
// tables are tested without a display.
#pragma once

#include <SDL2/SDL_events.h>
#include <SDL2/SDL_keyboard.h>

#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace placarim::platform::sdl {

// AltGr (right Alt) counts as Ctrl+Alt, as it does on Windows.
Modifiers ModifiersOf(uint16_t sdl_mod);

// The Windows virtual key of an SDL key; 0 for keys Windows has no code for.
// Letters and digits follow the keyboard layout (the keycode), falling back to
// the key's position when the layout gives no ASCII letter or digit there.
int VirtualKeyOf(SDL_Keycode sym, SDL_Scancode scancode, uint16_t sdl_mod);

// Whether the key is one of the keypad keys that give a digit (or the decimal
// separator) with Num Lock on and a navigation key with it off.
bool IsKeypadDigitKey(SDL_Scancode scancode);

// Whether Windows reports the key as a system key: Alt held without Ctrl, or F10.
bool IsSystemKey(int vk, const Modifiers& mods);

// The events of one SDL key press or release: KeyDown or KeyUp, then on a press
// the character Windows would type for it when SDL gives no text input for it.
void TranslateKey(const SDL_KeyboardEvent& key, std::vector<Event>& out);

// The characters of one SDL text input, `sdl_mod` being the modifiers of the
// key press that typed it. Text typed with Ctrl or left Alt held is dropped
// (Windows types no character then; Ctrl+letters come from TranslateKey) unless
// AltGr is held; characters with no Windows-1252 code are dropped.
void TranslateText(std::string_view utf8, uint16_t sdl_mod, std::vector<Event>& out);

}  // namespace placarim::platform::sdl
