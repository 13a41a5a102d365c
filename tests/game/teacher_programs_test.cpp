// The teacher's programs as a teacher runs them: placarim-check's verdict
// and exit code, which file it checks when none is named, and
// placarim-report's text and chart from a record.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "game/play_record.h"

namespace placarim::game {
namespace {

namespace fs = std::filesystem;

struct Ran {
  int status = -1;
  std::string out;
};

Ran Execute(const std::string& command) {
  Ran run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) run.out += buffer.data();
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class TeacherPrograms : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = fs::temp_directory_path() / ("placarim_teacher_" + std::to_string(getpid()));
    fs::remove_all(scratch_);
    fs::create_directories(scratch_ / "etc");
    const char* checker = std::getenv("CHECKER");
    const char* report = std::getenv("REPORT");
    ASSERT_TRUE(checker && report);
    // A home with no files of its own, and a configuration naming a file.
    env_ = "env HOME='" + scratch_.string() + "' XDG_CONFIG_HOME= XDG_DATA_HOME= PLACARIM_SYSCONFDIR='" +
           (scratch_ / "etc").string() + "' ";
    checker_ = env_ + "'" + checker + "'";
    report_ = env_ + "'" + report + "'";
    std::ofstream(scratch_ / "etc/FALDEK.INI") << "[PLACARIM]\r\nCONFIGPLACARIM=" << (scratch_ / "configurado.cnf").string()
                                               << "\r\n";
  }
  void TearDown() override { fs::remove_all(scratch_); }

  fs::path Write(const std::string& name, const std::string& text) {
    const fs::path path = scratch_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  fs::path scratch_;
  std::string env_, checker_, report_;
};

std::string NineChampionships(const std::string& first_body) {
  std::string file = "*um\n" + first_body;
  for (int k = 2; k <= 9; ++k) file += "*c" + std::to_string(k) + "\n1+1=2\n";
  return file;
}

TEST_F(TeacherPrograms, CheckerVerdictsAndTheFileItChecks) {
  const fs::path good = Write("bom.cnf", NineChampionships("1+1=2\n"));
  const fs::path bad = Write("ruim.cnf", NineChampionships("1+1=2\n7 x 8 = 54\n3\t+4=7\n"));
  struct Case {
    const char* name;
    std::string arguments;
    int status;
    std::string says;
  };
  const Case cases[] = {
      {"good file", "'" + good.string() + "'", 0, "Tudo certo"},
      {"bad file", "'" + bad.string() + "'", 1, bad.string() + ", linha 4: erro: conta estragada"},
      {"bad file's warning", "'" + bad.string() + "'", 1, "1 erro e 1 aviso."},
      {"a directory", "'" + scratch_.string() + "'", 1, "não pode ser lido"},
      {"no file named: the configured one, missing", "", 1, "Conferindo " + (scratch_ / "configurado.cnf").string()},
      {"two files", "a b", 2, "Uso: placarim-check"},
  };
  for (const Case& c : cases) {
    const Ran run = Execute(checker_ + " " + c.arguments);
    EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.out;
    EXPECT_NE(run.out.find(c.says), std::string::npos) << c.name << "\n" << run.out;
  }
  // The configured file, then the teacher's own one, which comes first.
  Write("configurado.cnf", NineChampionships("1+1=2\n"));
  Ran run = Execute(checker_);
  EXPECT_EQ(run.status, 0) << run.out;
  const fs::path own = Write(".config/placarim/placarim.cnf", "*s\xF3 um\n1+1=3\n");
  run = Execute(checker_);
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("Conferindo " + own.string()), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("linha 2: aviso: resultado errado: 1 + 1 = 2"), std::string::npos) << run.out;
}

TEST_F(TeacherPrograms, CheckerChecksTheClassListAndEveryChildsFile) {
  Write("configurado.cnf", NineChampionships("1+1=2\n"));
  const fs::path list = Write(".config/placarim/alunos.txt", "Ana\nJo\xC3\xA3o\n");
  Ran run = Execute(checker_);
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("Conferindo a lista de alunos " + list.string()), std::string::npos) << run.out;

  const fs::path own = Write(".config/placarim/alunos/Jo\xC3\xA3o.cnf", NineChampionships("7 x 8 = 54\n"));
  const fs::path stray = Write(".config/placarim/alunos/Pedro.cnf", NineChampionships("1+1=2\n"));
  Write(".config/placarim/alunos.txt", "Ana\n\n123\nJo\xC3\xA3o\n");
  for (const std::string& arguments : {std::string(), "'" + list.string() + "'"}) {
    run = Execute(checker_ + " " + arguments);
    EXPECT_EQ(run.status, 1) << run.out;
    for (const std::string& says :
         {list.string() + ", linha 2: aviso: linha vazia", list.string() + ", linha 3: erro: \"123\"",
          std::string("Contas de Jo\xC3\xA3o:"), own.string() + ", linha 2: aviso: resultado errado",
          stray.string() + ": aviso: nenhum nome da lista"}) {
      EXPECT_NE(run.out.find(says), std::string::npos) << says << "\n" << run.out;
    }
  }
}

TEST_F(TeacherPrograms, ReportReadsRecordsFromSeveralComputersIntoOnePage) {
  AnsweredSum answer;
  answer.when = {2026, 12, 7, 1, 10, 0, 0, 0};
  answer.championship = 2;
  answer.title = "Somas";
  answer.sum = "3 + 4 = 7";
  answer.outcome = Outcome::kMiss;
  answer.child = "Ana";
  const fs::path first = Write("sala1.csv", std::string(kRecordHeader) + RecordLine(answer));
  answer.child = "Bia";
  const fs::path second = Write("sala2.csv", std::string(kNineColumnHeader) +
                                                 "2026-12-06,08:00:00,2,Somas,1,3 + 4 = 7,7,gol,1.0\n" +
                                                 RecordLine(answer));
  const Ran run = Execute(report_ + " '" + first.string() + "' '" + second.string() + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  for (const char* says : {"== Ana ==", "== Bia ==", "== Sem nome ==", "Página da turma:"}) {
    EXPECT_NE(run.out.find(says), std::string::npos) << says << "\n" << run.out;
  }
  std::ifstream html(scratch_ / "relatorio.html");
  const std::string page((std::istreambuf_iterator<char>(html)), std::istreambuf_iterator<char>());
  EXPECT_NE(page.find(second.string()), std::string::npos);
  EXPECT_NE(page.find("<th scope=\"row\">Bia</th>"), std::string::npos) << page;
}

TEST_F(TeacherPrograms, ReportReadsTheRecordAndDrawsTheChartBesideIt) {
  Ran run = Execute(report_);
  EXPECT_EQ(run.status, 1) << "no record yet\n" << run.out;

  std::string record(kRecordHeader);
  AnsweredSum answer;
  answer.when = {2026, 12, 7, 1, 10, 0, 0, 0};
  answer.championship = 5;
  answer.title = "Tabuada";
  answer.phase = 1;
  answer.sum = "7 x 8 = 56";
  answer.answer = "54";
  answer.outcome = Outcome::kMiss;
  answer.seconds = 4;
  record += RecordLine(answer) + RecordLine(answer) + "lixo\n";
  Write(".local/share/placarim/jogadas.csv", record);
  run = Execute(report_);
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("Campeonato 5 - Tabuada: 0 gols, 2 erros"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("1 linha do registro não pôde ser lida (a linha 4)"), std::string::npos) << run.out;
  const fs::path chart = scratch_ / ".local/share/placarim/relatorio.svg";
  EXPECT_NE(run.out.find(chart.string()), std::string::npos) << run.out;
  std::ifstream svg(chart);
  const std::string drawn((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
  EXPECT_NE(drawn.find("data-dia=\"2026-12-07\" data-valor=\"2\""), std::string::npos) << drawn;

  // A record named on the command line and a chart where the teacher asks.
  const fs::path other = Write("outro.csv", RecordLine(answer));
  run = Execute(report_ + " '" + other.string() + "' --svg '" + (scratch_ / "g.svg").string() + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("1 erro"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::exists(scratch_ / "g.svg"));
}

}  // namespace
}  // namespace placarim::game
