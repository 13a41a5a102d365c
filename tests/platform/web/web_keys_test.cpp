// The browser's keyboard events become the key events the console's rules
// are written for, the same the desktop's window delivers for the same keys.
#include "platform/web/web_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace placarim::platform::web {
namespace {

// The events of one browser key as text: "down 41", "up 41", "char 97",
// with "sys" after a system key and "c", "s", "a" for the modifiers held.
std::string Translated(const BrowserKey& key) {
  std::vector<Event> events;
  TranslateBrowserKey(key, events);
  std::string text;
  for (const Event& e : events) {
    if (!text.empty()) text += ", ";
    if (e.type == EventType::KeyDown) text += "down " + std::to_string(e.vk);
    if (e.type == EventType::KeyUp) text += "up " + std::to_string(e.vk);
    if (e.type == EventType::Char) text += "char " + std::to_string(e.ch);
    if (e.system) text += " sys";
    const std::string mods = std::string(e.mods.ctrl ? "c" : "") + (e.mods.shift ? "s" : "") + (e.mods.alt ? "a" : "");
    if (!mods.empty()) text += " " + mods;
  }
  return text;
}

struct KeyCase {
  const char* name;
  BrowserKey key;
  const char* events;
};

BrowserKey Down(const char* code, const char* key) { return {code, key, true}; }
BrowserKey Up(const char* code, const char* key) { return {code, key, false}; }
BrowserKey With(BrowserKey key, bool ctrl, bool shift, bool alt, bool alt_graph = false) {
  key.ctrl = ctrl, key.shift = shift, key.alt = alt, key.alt_graph = alt_graph;
  return key;
}
BrowserKey NumLock(BrowserKey key) {
  key.num_lock = true;
  return key;
}

TEST(WebKeys, BrowserKeysBecomeWindowsKeysAndCharacters) {
  const KeyCase cases[] = {
      {"letter types itself", Down("KeyA", "a"), "down 65, char 97"},
      {"letter released", Up("KeyA", "a"), "up 65"},
      {"letter by layout, not position", Down("KeyA", "q"), "down 81, char 113"},
      {"shifted digit row key is still the digit", With(Down("Digit1", "!"), false, true, false), "down 49 s, char 33 s"},
      {"digit", Down("Digit7", "7"), "down 55, char 55"},
      {"c-cedilla of a Brazilian keyboard", Down("Semicolon", "\xC3\xA7"), "down 186, char 231"},
      {"accent still to be composed types nothing", Down("Quote", "Dead"), "down 222"},
      {"composed letter arrives with the next key", Down("KeyE", "\xC3\xA9"), "down 69, char 233"},
      {"Enter types carriage return", Down("Enter", "Enter"), "down 13, char 13"},
      {"keypad Enter", Down("NumpadEnter", "Enter"), "down 13, char 13"},
      {"Backspace", Down("Backspace", "Backspace"), "down 8, char 8"},
      {"Escape", Down("Escape", "Escape"), "down 27, char 27"},
      {"Tab", Down("Tab", "Tab"), "down 9, char 9"},
      {"space is typed text", Down("Space", " "), "down 32, char 32"},
      {"Ctrl+letter types its control character", With(Down("KeyC", "c"), true, false, false), "down 67 c, char 3 c"},
      {"Ctrl+backslash dials", With(Down("Backslash", "\\"), true, false, false), "down 220 c, char 28 c"},
      {"Ctrl+Shift+F11 types nothing", With(Down("F11", "F11"), true, true, false), "down 122 cs"},
      {"Alt+letter is a system key", With(Down("KeyX", "x"), false, false, true), "down 88 sys a"},
      {"F10 is a system key", Down("F10", "F10"), "down 121 sys"},
      {"AltGr types its character as Ctrl+Alt", With(Down("KeyQ", "/"), false, false, false, true), "down 81 ca, char 47 ca"},
      {"arrow", Down("ArrowUp", "ArrowUp"), "down 38"},
      {"keypad 8 without Num Lock", Down("Numpad8", "ArrowUp"), "down 38"},
      {"keypad 8 with Num Lock", NumLock(Down("Numpad8", "8")), "down 104, char 56"},
      {"keypad point without Num Lock", Down("NumpadDecimal", "Delete"), "down 46"},
      {"keypad plus", Down("NumpadAdd", "+"), "down 107, char 43"},
      {"Ctrl+Pause is Cancel", With(Down("Pause", "Cancel"), true, false, false), "down 3 c"},
      {"Shift alone", With(Down("ShiftLeft", "Shift"), false, true, false), "down 16 s"},
      {"right Ctrl released", Up("ControlRight", "Control"), "up 17"},
      {"F24", Down("F24", "F24"), "down 135"},
      {"a key Windows has no code for", Down("AudioVolumeUp", "AudioVolumeUp"), ""},
      {"a character outside Windows-1252", Down("KeyZ", "\xE2\x88\x9E"), "down 90"},
  };
  for (const KeyCase& c : cases) EXPECT_EQ(Translated(c.key), c.events) << c.name;
}

}  // namespace
}  // namespace placarim::platform::web
