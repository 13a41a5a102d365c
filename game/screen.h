// Plain (unspoken) writing on the console for the teacher, and the play area.
#pragma once

#include <string>
#include <string_view>

#include "console/console.h"

namespace placarim::game {

// Writes through the console's standard output and flushes at once, so that
// what is written is on screen before any sound starts and cursor moves that
// follow land after it.
void Write(console::Console& console, std::string_view text);
void WriteLn(console::Console& console, std::string_view text = {});

// Rows 2 to 25 cleared, cursor at column 1, row 3; the title row stays.
void ClearPlayArea(console::Console& console);

// `value` right-aligned in `width` columns (a longer one takes what it needs).
std::string RightAligned(long long value, int width);

// Waits, letting window messages flow, until a key is waiting; takes nothing.
void WaitForKey(console::Console& console);

}  // namespace placarim::game
