// Turns the browser's keyboard events into the key events Windows would
// deliver: virtual keys with modifiers on key down and up, then on a press
// the Windows-1252 character it types (Enter, Backspace, Tab, Esc and
// Ctrl+letters as the control characters Windows types for them). Pure
// functions of the event's fields, so the tables are tested without a browser.
#pragma once

#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace placarim::platform::web {

// The fields of one KeyboardEvent the translation needs.
struct BrowserKey {
  std::string_view code;  // the key's position: "KeyA", "Numpad1", "ShiftLeft"...
  std::string_view key;   // what it types (UTF-8) or its name: "a", "ç", "Enter", "Dead"...
  bool down = true;       // keydown; false for keyup
  bool ctrl = false, shift = false, alt = false;
  bool alt_graph = false;  // getModifierState("AltGraph")
  bool num_lock = false;   // getModifierState("NumLock")
};

// The Windows virtual key of a browser key; 0 for keys Windows has no code for.
// Letters and digits follow the layout (what the key types) and fall back to
// the key's position, as the desktop does.
int VirtualKeyOf(const BrowserKey& key);

// The events of one keydown or keyup, appended to `out`.
void TranslateBrowserKey(const BrowserKey& key, std::vector<Event>& out);

}  // namespace placarim::platform::web
