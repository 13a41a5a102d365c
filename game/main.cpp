// Program entry for now: opens the console on the real platform and echoes
// every key it reads with its codes, so the window, the keyboard tables and
// the braille chords can be tried by hand. Escape ends it.
#include <cstdio>
#include <filesystem>
#include <string>

#include "console/console.h"
#include "platform/sdl/sdl_platform.h"

namespace {

std::string Describe(uint8_t code, uint8_t extended, bool is_extended) {
  char text[64];
  if (is_extended) {
    std::snprintf(text, sizeof text, "0 %3u  (tecla estendida)", extended);
  } else if (code >= 32) {
    std::snprintf(text, sizeof text, "%3u    '%c'", code, static_cast<char>(code));
  } else {
    std::snprintf(text, sizeof text, "%3u    (controle)", code);
  }
  return text;
}

}  // namespace

int main() {
  placarim::platform::sdl::SdlPlatform platform;
  std::error_code ec;
  placarim::console::Console console(platform, std::filesystem::current_path(ec).string());

  console.TextColor(14);
  console.TextBackground(1);
  console.StdWriteLn("Placarim \x96 teste do teclado");  // en dash in Windows-1252
  console.TextColor(15);
  console.TextBackground(0);
  console.StdWriteLn("Cada tecla aparece com seus c\xF3" "digos. Esc termina.");
  console.StdWriteLn();
  console.StdFlush();

  for (;;) {
    const uint8_t code = console.ReadKey();
    if (code == 27) break;
    const bool is_extended = code == 0;
    const uint8_t extended = is_extended ? console.ReadKey() : 0;
    console.StdWriteLn(Describe(code, extended, is_extended));
    console.StdFlush();
  }
  console.Done();
}
