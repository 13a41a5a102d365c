#include "game/class_check.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "game/class_list.h"
#include "game/user_files.h"
#include "platform/text_encoding.h"

namespace placarim::game {
namespace {

std::string Quoted(const std::string& cp1252) { return "\"" + platform::Cp1252ToUtf8(cp1252) + "\""; }

std::string Why(const SkippedLine& skipped) {
  switch (skipped.fault) {
    case NameFault::kEmptyLine: return "linha vazia: o jogo a pula";
    case NameFault::kDuplicate:
      return "nome repetido: " + Quoted(skipped.text) + " já está acima; o jogo mostra só o primeiro";
    case NameFault::kNoLetter:
      return Quoted(skipped.text) + " não tem nenhuma letra: não dá para dizer este nome, o jogo o deixa de fora";
    case NameFault::kNotShowable:
      return "o nome tem caracteres que o jogo não pode mostrar nem dizer (símbolos ou caracteres de "
             "controle): o jogo o deixa de fora";
    case NameFault::kTooLong:
      return "nome com mais de " + std::to_string(kLongestName) +
             " caracteres não cabe na tela: o jogo o deixa de fora";
  }
  return {};
}

}  // namespace

std::vector<Problem> CheckClassList(std::string_view bytes) {
  const ClassList list = ReadClassList(bytes);
  std::vector<Problem> problems;
  if (list.names.empty()) {
    problems.push_back({0, Severity::kError, "a lista não tem nenhum nome: o jogo não pergunta quem vai jogar"});
  }
  for (const SkippedLine& skipped : list.skipped) {
    const bool harmless = skipped.fault == NameFault::kEmptyLine || skipped.fault == NameFault::kDuplicate;
    problems.push_back({skipped.line, harmless ? Severity::kWarning : Severity::kError, Why(skipped)});
  }
  for (size_t i = 0; i < list.names.size(); ++i) {
    if (NameAsFileName(list.names[i]).empty()) {
      problems.push_back({list.lines[i], Severity::kWarning,
                          Quoted(list.names[i]) + " tem uma barra (/) e não pode ter arquivo de contas próprio: "
                                                  "joga o arquivo do professor"});
    }
  }
  std::stable_sort(problems.begin(), problems.end(), [](const Problem& a, const Problem& b) { return a.line < b.line; });
  return problems;
}

std::vector<ChildFile> ChildFiles(const std::string& class_list_path, std::string_view bytes) {
  std::vector<ChildFile> files;
  for (const std::string& name : ReadClassList(bytes).names) {
    const std::string path = ChildExerciseFile(class_list_path, name);
    std::error_code error;
    if (!path.empty() && std::filesystem::exists(path, error)) files.push_back({path, platform::Cp1252ToUtf8(name)});
  }
  const std::filesystem::path folder = std::filesystem::path(class_list_path).parent_path() / "alunos";
  std::error_code error;
  std::vector<std::string> strays;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string path = it->path().string();
    if (it->path().extension() != ".cnf") continue;
    const bool named = std::any_of(files.begin(), files.end(), [&](const ChildFile& f) { return f.path == path; });
    if (!named) strays.push_back(path);
  }
  std::sort(strays.begin(), strays.end());
  for (std::string& path : strays) files.push_back({std::move(path), {}});
  return files;
}

}  // namespace placarim::game
