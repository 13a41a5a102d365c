// The game's main line: start-up, the championship menu, the phases of the
// chosen championship with their replay rule, and the championship's end.
//
// States: start-up (greeting, then "Quem vai jogar?" when there is a class
// list) -> menu (or the end when the exercise file is missing);
// menu -> training field -> menu, menu -> loading -> phase 1 ... -> championship
// won -> credits -> end; ESC on the menu ends without credits, ESC while
// answering shows the credits; a damaged file or sum line ends the game.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "console/console.h"
#include "game/child_choice.h"
#include "game/ending.h"
#include "game/exercise_file.h"
#include "game/narrator.h"
#include "game/play_log.h"
#include "game/random.h"
#include "game/speech_port.h"
#include "game/sum_player.h"
#include "game/times_tables.h"

namespace placarim::game {

// The teacher's files: an exercise file of one's own, read before the one
// the configuration names, the record of play, and the class list (beside
// which alunos/NAME.cnf gives a child exercises of their own). Empty names:
// none.
struct TeacherFiles {
  std::string user_exercise_file;
  std::string record_file;
  std::string class_list_file;
};

class Game {
 public:
  // The record of play is kept when `files` names one and a clock is given.
  Game(console::Console& console, SpeechPort& speech, Random& random, const TeacherFiles& files = {},
       platform::Clock* clock = nullptr);

  // Plays the whole game; the program ends inside (through the console).
  [[noreturn]] void Run();

 private:
  void StartUp();
  // The class list's question; the chosen name, empty when none.
  std::string ChooseChild();
  int ChooseChampionship();
  void SayMenu();
  void ShowMessage(std::string_view prefix, std::string_view key);
  void LoadChampionship(int number);
  void PlayPhase(int phase);
  void StartPhase(int phase);
  void PhaseWon();
  void ChampionshipWon();

  console::Console& console_;
  SpeechPort& speech_;
  Random& random_;
  Narrator narrator_;
  Ending ending_;
  TimesTables tables_;
  Championship championship_;
  SumPlayer player_;
  std::string exercise_file_;
  std::string user_exercise_file_;
  std::string class_list_file_;
  std::unique_ptr<PlayLog> log_;
};

}  // namespace placarim::game
