// placarim-check [ARQUIVO]: reads an exercise file exactly as the game does
// and tells the teacher, line by line, what is wrong with it. Without a file
// name it checks the file the game would read: the teacher's own, else the
// one the configuration names. Exit code 0 when the game will play the file
// as written and nothing looks mistaken, 1 otherwise, 2 for a wrong call.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "game/exercise_check.h"
#include "game/exercise_file.h"
#include "game/user_files.h"
#include "platform/config_file.h"
#include "speech/ini_reader.h"
#include "speech/local_path.h"

namespace {

constexpr std::string_view kUsage =
    "Uso: placarim-check [ARQUIVO]\n"
    "Confere um arquivo de contas do Placarim e diz, linha por linha, o que está errado.\n"
    "Sem ARQUIVO, confere o arquivo que o jogo lê: o do professor, se houver, senão o da configuração.\n"
    "Termina com 0 quando o jogo vai jogar o arquivo como escrito, 1 quando há problemas.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace placarim;
  std::string path;
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
    path = argument;
  } else {
    const speech::IniReader ini(platform::StartDirectory());
    // The configured name is written the configuration's way (Windows-1252,
    // perhaps backslashes); the file system wants this system's form.
    const std::string configured = ini.ReadIniString("PLACARIM", "CONFIGPLACARIM");
    path = game::ChooseExerciseFile(game::UserExerciseFile(), configured.empty() ? "" : speech::LocalPath(configured));
  }
  std::printf("Conferindo %s\n", path.c_str());
  // A directory opens as a file on Linux but cannot be read as one.
  std::error_code error;
  const auto bytes = std::filesystem::is_directory(path, error) ? std::nullopt : game::ReadWholeFile(path);
  if (!bytes) {
    std::printf("%s: erro: o arquivo não pode ser lido (não existe, é uma pasta ou falta permissão)\n", path.c_str());
    return 1;
  }
  const auto problems = game::CheckExerciseFile(*bytes);
  int errors = 0;
  for (const game::Problem& problem : problems) {
    std::printf("%s\n", game::FormatProblem(path, problem).c_str());
    if (problem.severity == game::Severity::kError) ++errors;
  }
  if (problems.empty()) {
    std::printf("Tudo certo: o jogo vai jogar este arquivo como está escrito.\n");
    return 0;
  }
  const int warnings = static_cast<int>(problems.size()) - errors;
  std::printf("%d %s e %d %s.\n", errors, errors == 1 ? "erro" : "erros", warnings,
              warnings == 1 ? "aviso" : "avisos");
  return 1;
}
