#include "game/screen_dump.h"

#include <cstdio>
#include <fstream>

#include "platform/text_encoding.h"

namespace placarim::game {

std::string ScreenText(const console::Console& console) {
  std::string text;
  for (int y = 1; y <= console::Console::kRows; ++y) {
    std::string row;
    for (int x = 1; x <= console::Console::kColumns; ++x) row.push_back(static_cast<char>(console.ScreenChar(x, y)));
    while (!row.empty() && row.back() == ' ') row.pop_back();
    text += platform::Cp1252ToUtf8(row) + "\n";
  }
  return text;
}

ScreenDumpPlatform::ScreenDumpPlatform(platform::Platform& inner, std::string path)
    : inner_(inner), events_(inner.Events(), std::move(path)) {}

void ScreenDumpPlatform::DumpingEvents::WaitForEvent() {
  if (console != nullptr) {
    std::string text = ScreenText(*console);
    if (text != written_) {
      const std::string partial = path_ + ".part";
      std::ofstream(partial, std::ios::binary | std::ios::trunc) << text;
      if (std::rename(partial.c_str(), path_.c_str()) == 0) written_ = std::move(text);
    }
  }
  inner_.WaitForEvent();
}

}  // namespace placarim::game
