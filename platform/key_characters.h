// The characters Windows types for keys that are named rather than typed:
// Enter, Backspace, Tab, Esc, Ctrl+Space, Ctrl+letters and Ctrl with the
// bracket and backslash keys. Each platform's key translation adds them after
// the key-down of such a key.
#pragma once

#include "platform/platform.h"

namespace placarim::platform {

// The Windows-1252 control character, or -1 when the key types none.
int ControlCharacterOfKey(int vk, const Modifiers& mods);

}  // namespace placarim::platform
