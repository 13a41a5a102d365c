// The exercise file checker: every kind of problem reported at its line, the
// game's own refusals found before a child meets them, and a clean verdict
// only for files the game plays as written.
#include "game/exercise_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game/exercise_file.h"

namespace placarim::game {
namespace {

// Nine championships of one right sum each, so that only the problem under
// test is reported. `body` replaces championship 1's sums (file line 2 on).
std::string NineChampionships(const std::string& body) {
  std::string file = "*um\n" + body;
  for (int k = 2; k <= 9; ++k) file += "*c" + std::to_string(k) + "\n1+1=2\n";
  return file;
}

std::string Sums(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += std::to_string(i) + "+1=" + std::to_string(i + 1) + "\n";
  return text;
}

struct BadFile {
  const char* name;
  std::string file;
  int line;
  Severity severity;
  const char* says;  // part of the message
};

TEST(CheckExerciseFile, ReportsEachProblemAtItsLine) {
  std::string eleven_phases;
  for (int p = 0; p < 11; ++p) eleven_phases += "1+1=2\n\n";  // phase 11 starts at line 22
  const BadFile cases[] = {
      {"tab", NineChampionships("1+1=2\n7\tx8=56\n"), 3, Severity::kError, "TAB"},
      {"negative", NineChampionships("-3+4=1\n"), 2, Severity::kError, "negativos"},
      {"blank line", NineChampionships("1+1=2\n   \n2+2=4\n"), 3, Severity::kError, "só tem espaços"},
      {"no equals", NineChampionships("\n\n3+47\n"), 4, Severity::kError, "falta o sinal ="},
      {"no result", NineChampionships("3+4=\n"), 2, Severity::kError, "falta o resultado"},
      {"negative result", NineChampionships("5-9=-4\n"), 2, Severity::kError, "não pode ser negativo"},
      {"text after the result", NineChampionships("3x7=21a\n"), 2, Severity::kWarning,
       "colado ao resultado (\xC2\xAB" "a\xC2\xBB): o jogo o ignora e aceita 21"},
      {"bad operator", NineChampionships("3%4=7\n"), 2, Severity::kError, "+, -, x, X, *, : ou /"},
      {"too big", NineChampionships("1+1=2\n2147483648+0=1\n"), 3, Severity::kError, "passa de 2147483647"},
      {"31 sums", NineChampionships(Sums(31)), 32, Severity::kError, "tem 31 contas"},
      {"11 phases", NineChampionships(eleven_phases), 22, Severity::kError, "no máximo 10 fases"},
      {"wrong sum", NineChampionships("1+1=2\n7 x 8 = 54\n"), 3, Severity::kWarning, "7 x 8 = 56"},
      {"negative difference", NineChampionships("3-5=0\n"), 2, Severity::kWarning, "negativo"},
      {"inexact division", NineChampionships("7:2=3\n"), 2, Severity::kWarning, "não é exata"},
      {"division by zero", NineChampionships("9:0=0\n"), 2, Severity::kWarning, "divisão por zero"},
      {"tenth championship", NineChampionships("1+1=2\n") + "*dez\n1+1=2\n", 19, Severity::kError,
       "só oferece 9"},
      {"empty championship", NineChampionships(""), 1, Severity::kWarning, "não tem contas"},
      {"sum before the first header", "2+2=4\n" + NineChampionships("1+1=2\n"), 1, Severity::kWarning,
       "antes do primeiro campeonato"},
      {"Ctrl+Z", NineChampionships("1+1=2\n") + "\x1A*dez\n", 19, Severity::kError, "Ctrl+Z"},
      {"lone CR", "*um\r1+1=2\n" + NineChampionships("1+1=2\n").substr(4), 1, Severity::kError, "CR sozinho"},
      {"UTF-8 without a Windows-1252 form", NineChampionships("1+1=2 \xE2\x86\x92 dois\n"), 2,
       Severity::kWarning, "fora do Windows-1252"},
      {"mixed encodings", "*Somas at\xE9 dez\n1+1=2 \xC3\xA9\n" + NineChampionships("1+1=2\n").substr(4), 2,
       Severity::kWarning, "UTF-8"},
      {"too few championships", "*um\n1+1=2\n", 0, Severity::kWarning, "o menu oferece 9"},
      {"no championship", "1+1=2\n", 0, Severity::kError, "nenhuma linha começa com *"},
      {"UTF-16", std::string("\xFF\xFE*\0u\0m\0\n\0", 10), 0, Severity::kError, "UTF-16"},
  };
  for (const BadFile& c : cases) {
    const auto problems = CheckExerciseFile(c.file);
    ASSERT_EQ(problems.size(), 1u) << c.name << ": " << (problems.empty() ? "" : problems[0].text) << " / "
                                   << (problems.size() > 1 ? problems[1].text : "");
    EXPECT_EQ(problems[0].line, c.line) << c.name << ": " << problems[0].text;
    EXPECT_EQ(problems[0].severity, c.severity) << c.name;
    EXPECT_NE(problems[0].text.find(c.says), std::string::npos) << c.name << ": " << problems[0].text;
  }
}

TEST(CheckExerciseFile, CleanFilesPassAndEveryDamagedSumIsFound) {
  // The file the game ships, and a small one with the forms the game accepts.
  const char* source = std::getenv("PLACARIM_SOURCE_DIR");
  const auto shipped = ReadWholeFile(std::string(source ? source : ".") + "/data/placarim.cnf");
  ASSERT_TRUE(shipped);
  for (const std::string& file : {*shipped, NineChampionships("7 x 8 = 56\r\n6X7=42 sete\r\n\r\n12/4=3\n3+4=007\n"),
                                  "\xEF\xBB\xBF" + NineChampionships("1+1=2\n")}) {
    const auto problems = CheckExerciseFile(file);
    EXPECT_TRUE(problems.empty()) << FormatProblem("f", problems.empty() ? Problem{} : problems.front());
  }
  // Several damaged lines: each one reported, in line order, with the line quoted.
  const auto problems = CheckExerciseFile(NineChampionships("1+1=2\nabc\n2+2=4\n\n3+\n"));
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(FormatProblem("contas.cnf", problems[0]).substr(0, 28), "contas.cnf, linha 3: erro: c");
  EXPECT_NE(problems[0].text.find("\xC2\xAB" "abc\xC2\xBB"), std::string::npos);
  EXPECT_EQ(problems[1].line, 6);
}

}  // namespace
}  // namespace placarim::game
