// The three ways out of the game: giving up, the credits screen, and the one
// exit routine every path ends in.
#pragma once

#include "console/console.h"
#include "game/narrator.h"
#include "game/speech_port.h"

namespace placarim::game {

// The program's name line, written on row 1 at start-up.
inline constexpr std::string_view kTitleLine =
    "PLACARIM v1.0 - futebol de contas falado - projeto Placarim";

class Ending {
 public:
  Ending(console::Console& console, SpeechPort& speech, Narrator& narrator);

  // ESC while answering: the goodbye sentence, then two seconds.
  void GiveUp();
  // The screen telling what the program is and who makes it; any key quits.
  [[noreturn]] void ShowCredits();
  // Lets the speech end, waits a second and closes the console (ends the program).
  [[noreturn]] void QuitGame();

 private:
  console::Console& console_;
  SpeechPort& speech_;
  Narrator& narrator_;
};

}  // namespace placarim::game
