// placarim-check [ARQUIVO]: reads an exercise file exactly as the game does
// and tells the teacher, line by line, what is wrong with it. Without a file
// name it checks the file the game would read (the teacher's own, else the
// one the configuration names) and, when there is a class list, the list and
// every child's own exercise file. A file named *.txt is checked as a class
// list, with its children's files. Exit code 0 when the game will play every
// file as written and nothing looks mistaken, 1 otherwise, 2 for a wrong call.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "game/class_check.h"
#include "game/exercise_check.h"
#include "game/exercise_file.h"
#include "game/user_files.h"
#include "platform/config_file.h"
#include "speech/ini_reader.h"
#include "speech/local_path.h"

namespace {

using namespace placarim;

constexpr std::string_view kUsage =
    "Uso: placarim-check [ARQUIVO]\n"
    "Confere um arquivo de contas do Placarim e diz, linha por linha, o que está errado.\n"
    "Sem ARQUIVO, confere o arquivo que o jogo lê: o do professor, se houver, senão o da configuração;\n"
    "e, se houver lista de alunos (alunos.txt), a lista e o arquivo de contas de cada aluno.\n"
    "Um ARQUIVO terminado em .txt é conferido como lista de alunos.\n"
    "Termina com 0 quando o jogo vai jogar tudo como escrito, 1 quando há problemas.\n";

// The file's bytes; nothing (and the reason printed) when it cannot be read.
std::optional<std::string> Read(const std::string& path) {
  // A directory opens as a file on Linux but cannot be read as one.
  std::error_code error;
  auto bytes = std::filesystem::is_directory(path, error) ? std::nullopt : game::ReadWholeFile(path);
  if (!bytes) {
    std::printf("%s: erro: o arquivo não pode ser lido (não existe, é uma pasta ou falta permissão)\n", path.c_str());
  }
  return bytes;
}

// Prints the problems and their count; true when there are none.
bool Report(const std::string& path, const std::vector<game::Problem>& problems, const char* all_right) {
  int errors = 0;
  for (const game::Problem& problem : problems) {
    std::printf("%s\n", game::FormatProblem(path, problem).c_str());
    if (problem.severity == game::Severity::kError) ++errors;
  }
  if (problems.empty()) {
    std::printf("%s\n", all_right);
    return true;
  }
  const int warnings = static_cast<int>(problems.size()) - errors;
  std::printf("%d %s e %d %s.\n", errors, errors == 1 ? "erro" : "erros", warnings,
              warnings == 1 ? "aviso" : "avisos");
  return false;
}

bool CheckExercises(const std::string& path) {
  std::printf("Conferindo %s\n", path.c_str());
  const auto bytes = Read(path);
  return bytes && Report(path, game::CheckExerciseFile(*bytes),
                         "Tudo certo: o jogo vai jogar este arquivo como está escrito.");
}

// The list, then each child's file.
bool CheckClass(const std::string& path) {
  std::printf("\nConferindo a lista de alunos %s\n", path.c_str());
  const auto bytes = Read(path);
  if (!bytes) return false;
  bool fine = Report(path, game::CheckClassList(*bytes), "Tudo certo: o jogo vai perguntar quem vai jogar.");
  for (const game::ChildFile& child : game::ChildFiles(path, *bytes)) {
    std::printf("\n");
    if (child.name.empty()) {
      std::printf("%s: aviso: nenhum nome da lista de alunos tem este arquivo (o nome do arquivo deve ser o do "
                  "aluno, escrito igual)\n", child.path.c_str());
      fine = false;
      continue;
    }
    std::printf("Contas de %s:\n", child.name.c_str());
    fine = CheckExercises(child.path) && fine;
  }
  return fine;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fputs(kUsage.data(), stderr);
    return 2;
  }
  if (argc == 2) {
    const std::string_view argument = argv[1];
    if (argument == "-h" || argument == "--help" || argument == "--ajuda") {
      std::fputs(kUsage.data(), stdout);
      return 0;
    }
    const std::string path(argument);
    if (argument.ends_with(".txt")) return CheckClass(path) ? 0 : 1;
    return CheckExercises(path) ? 0 : 1;
  }
  const speech::IniReader ini(platform::StartDirectory());
  // The configured name is written the configuration's way (Windows-1252,
  // perhaps backslashes); the file system wants this system's form.
  const std::string configured = ini.ReadIniString("PLACARIM", "CONFIGPLACARIM");
  bool fine = CheckExercises(
      game::ChooseExerciseFile(game::UserExerciseFile(), configured.empty() ? "" : speech::LocalPath(configured)));
  const std::string class_list = game::ClassListFile();
  std::error_code error;
  if (!class_list.empty() && std::filesystem::exists(class_list, error)) fine = CheckClass(class_list) && fine;
  return fine ? 0 : 1;
}
