// Where a user's own files live, by the desktop's base-directory rules: the
// teacher's exercise file under $XDG_CONFIG_HOME (normally ~/.config), the
// record of play under $XDG_DATA_HOME (normally ~/.local/share). A relative
// or empty variable is ignored, as those rules ask.
#pragma once

#include <string>

namespace placarim::game {

// $XDG_CONFIG_HOME/placarim/placarim.cnf; empty when neither that variable
// nor $HOME gives a directory.
std::string UserExerciseFile();

// $XDG_DATA_HOME/placarim/jogadas.csv; empty as above.
std::string PlayRecordFile();

// The exercise file the game reads: the user's own when it exists, else the
// one the configuration names (`configured`, "placarim.cnf" when empty).
std::string ChooseExerciseFile(const std::string& user_file, const std::string& configured);

}  // namespace placarim::game
