// "Quem vai jogar?": the child finds their name in the class list by ear.
// The arrow keys walk the names (Home and End jump to the ends, a letter to
// the next name that begins with it), each name written on one line and
// spoken; ENTER chooses, ESC plays without a name. The choice is said back.
#pragma once

#include <string>
#include <vector>

#include "console/console.h"
#include "game/narrator.h"
#include "game/speech_port.h"

namespace placarim::game {

class ChildChoice {
 public:
  ChildChoice(console::Console& console, SpeechPort& speech, Narrator& narrator)
      : console_(console), speech_(speech), narrator_(narrator) {}

  // The chosen name (Windows-1252), empty when the child chose to play
  // without one. `names` must not be empty.
  std::string Choose(const std::vector<std::string>& names);

 private:
  // Shows and speaks names[index].
  void ShowName(const std::string& name);
  int NextWithInitial(const std::vector<std::string>& names, int from, uint8_t key) const;

  console::Console& console_;
  SpeechPort& speech_;
  Narrator& narrator_;
  int name_row_ = 0;
};

}  // namespace placarim::game
