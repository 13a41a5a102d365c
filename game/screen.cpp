#include "game/screen.h"

#include "console/console_stream.h"

namespace placarim::game {

void Write(console::Console& console, std::string_view text) {
  console::StdWrite(console, text);
}

void WriteLn(console::Console& console, std::string_view text) {
  console::StdWriteLn(console, text);
}

void ClearPlayArea(console::Console& console) {
  for (int row = 2; row <= console::Console::kRows; ++row) {
    console.GotoXY(1, row);
    console.ClrEol();
  }
  console.GotoXY(1, 3);
}

std::string RightAligned(long long value, int width) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

void WaitForKey(console::Console& console) {
  while (!console.KeyPressed()) console.WaitMessage();
}

}  // namespace placarim::game
