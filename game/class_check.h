// Checks a class list for the teacher: every line the game leaves out of
// "Quem vai jogar?" and why, names that cannot have exercises of their own,
// and the children's exercise files beside the list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "game/exercise_check.h"

namespace placarim::game {

// Every problem of the list, in line order (whole-list problems first).
std::vector<Problem> CheckClassList(std::string_view file_bytes);

// A child's exercise file beside the list, and the name it belongs to
// (UTF-8; empty when no name of the list has it).
struct ChildFile {
  std::string path;
  std::string name;
};

// The files of alunos/ beside the list, the children's first in the list's
// order, then files no name of the list has (in name order).
std::vector<ChildFile> ChildFiles(const std::string& class_list_path, std::string_view file_bytes);

}  // namespace placarim::game
