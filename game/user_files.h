// Where a user's own files live, by the desktop's base-directory rules: the
// teacher's exercise file under $XDG_CONFIG_HOME (normally ~/.config), the
// record of play under $XDG_DATA_HOME (normally ~/.local/share). A relative
// or empty variable is ignored, as those rules ask.
#pragma once

#include <string>
#include <string_view>

namespace placarim::game {

// $XDG_CONFIG_HOME/placarim/placarim.cnf; empty when neither that variable
// nor $HOME gives a directory.
std::string UserExerciseFile();

// $XDG_DATA_HOME/placarim/jogadas.csv; empty as above.
std::string PlayRecordFile();

// $XDG_CONFIG_HOME/placarim/alunos.txt, beside the teacher's exercise file;
// empty as above.
std::string ClassListFile();

// A child's own exercise file: alunos/NAME.cnf beside the class list (`name`
// Windows-1252, as the list gives it); empty when the name cannot be a file
// name or there is no class list.
std::string ChildExerciseFile(const std::string& class_list_file, std::string_view name);

// The exercise file the game reads: the user's own when it exists, else the
// one the configuration names (`configured`, "placarim.cnf" when empty).
std::string ChooseExerciseFile(const std::string& user_file, const std::string& configured);

}  // namespace placarim::game
