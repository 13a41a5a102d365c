#include "game/platform_choice.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/config_file.h"
#include "platform/sdl/sdl_platform.h"
#ifdef PLACARIM_TERMINAL
#include "platform/term/term_platform.h"
#endif

namespace placarim::game {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

PlatformKind ChoosePlatform(const PlatformHints& hints) {
  if (hints.terminal_asked) return hints.on_a_terminal ? PlatformKind::Terminal : PlatformKind::None;
  if (hints.display_present) return PlatformKind::Window;
  return hints.on_a_terminal ? PlatformKind::Terminal : PlatformKind::None;
}

bool TerminalAsked(const std::vector<std::string>& arguments, std::string& unknown) {
  bool asked = false;
  for (const std::string& argument : arguments) {
    if (argument == "--terminal" || argument == "-t") {
      asked = true;
    } else if (unknown.empty()) {
      unknown = argument;
    }
  }
  return asked;
}

PlatformHints HintsOfThisProcess(bool terminal_argument, const std::string& start_directory) {
  PlatformHints hints;
  const auto configured =
      platform::ReadConfigValue(platform::LocateConfigFile(start_directory), "VIDEO", "TERMINAL");
  const bool configured_yes = configured && !configured->empty() && (configured->front() == 'S' || configured->front() == 's');
  hints.terminal_asked = terminal_argument || configured_yes;
  hints.display_present = Set("DISPLAY") || Set("WAYLAND_DISPLAY");
  hints.on_a_terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
  return hints;
}

std::unique_ptr<platform::Platform> OpenPlatform(PlatformKind kind, std::string& error) {
  switch (kind) {
    case PlatformKind::Window: {
      // A display named but not reachable gives no window and so no keys:
      // the child would hear a game that never hears back.
      auto sdl = std::make_unique<platform::sdl::SdlPlatform>();
      if (sdl->OpenDisplay()) return sdl;
      error = "não foi possível abrir a janela na tela gráfica (DISPLAY ou WAYLAND_DISPLAY); "
              "o jogo só ouve as teclas nela";
      return nullptr;
    }
    case PlatformKind::Terminal:
#ifdef PLACARIM_TERMINAL
      return platform::term::TermPlatform::Create(error);
#else
      error = "esta versão do jogo foi construída sem o modo de terminal; ele só abre numa janela";
      return nullptr;
#endif
    case PlatformKind::None:
      break;
  }
  error = "não há tela gráfica (DISPLAY) nem terminal onde jogar";
  return nullptr;
}

}  // namespace placarim::game
