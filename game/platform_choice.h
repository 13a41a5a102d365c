// Which platform the program runs on: the SDL window on a desktop, or the
// text terminal when asked for ("--terminal", or TERMINAL=Sim in the VIDEO
// section of FALDEK.INI) or when there is no display to open a window on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace placarim::game {

enum class PlatformKind { Window, Terminal, None };

struct PlatformHints {
  bool terminal_asked = false;     // on the command line or in the configuration
  bool display_present = false;    // DISPLAY or WAYLAND_DISPLAY is set
  bool on_a_terminal = false;      // standard input and output are terminals
};

// The choice, made once at start: the terminal when it is asked for or when
// there is no display but a terminal; the window when there is a display;
// None when neither can serve (the program then says so and ends).
PlatformKind ChoosePlatform(const PlatformHints& hints);

// Whether the arguments ask for the terminal; `unknown` gets any argument the
// program does not know.
bool TerminalAsked(const std::vector<std::string>& arguments, std::string& unknown);

// The hints of this process: its arguments' choice, the configuration's
// TERMINAL key, the environment and its standard streams.
PlatformHints HintsOfThisProcess(bool terminal_argument, const std::string& start_directory);

// Opens the chosen platform; nullptr with `error` set (in Portuguese) when none can be had.
std::unique_ptr<platform::Platform> OpenPlatform(PlatformKind kind, std::string& error);

}  // namespace placarim::game
