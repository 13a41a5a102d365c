#include "game/user_files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "game/class_list.h"

namespace placarim::game {
namespace {

// An absolute directory from `variable`, else $HOME + `fallback`; empty when neither.
std::string BaseDirectory(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + fallback;
  return {};
}

std::string InPlacarimDirectory(const std::string& base, const char* name) {
  return base.empty() ? std::string() : base + "/placarim/" + name;
}

}  // namespace

std::string UserExerciseFile() {
  return InPlacarimDirectory(BaseDirectory("XDG_CONFIG_HOME", "/.config"), "placarim.cnf");
}

std::string PlayRecordFile() {
  return InPlacarimDirectory(BaseDirectory("XDG_DATA_HOME", "/.local/share"), "jogadas.csv");
}

std::string ClassListFile() {
  return InPlacarimDirectory(BaseDirectory("XDG_CONFIG_HOME", "/.config"), "alunos.txt");
}

std::string ChildExerciseFile(const std::string& class_list_file, std::string_view name) {
  const std::string file_name = NameAsFileName(name);
  if (class_list_file.empty() || file_name.empty()) return {};
  return (std::filesystem::path(class_list_file).parent_path() / "alunos" / (file_name + ".cnf")).string();
}

std::string ChooseExerciseFile(const std::string& user_file, const std::string& configured) {
  std::error_code error;
  // Present at all: a file the teacher cannot read must be heard about, not
  // silently replaced by the shipped one.
  if (!user_file.empty() && std::filesystem::exists(user_file, error)) return user_file;
  return configured.empty() ? std::string("placarim.cnf") : configured;
}

}  // namespace placarim::game
