#include "game/exercise_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace placarim::game {
namespace {

struct SumCase {
  const char* line;
  bool ok;
  int32_t a = 0;
  char op = 0;
  int32_t b = 0;
  int32_t r = 0;
};

TEST(ParseSum, AcceptsTheSyntaxAndRefusesEverythingElse) {
  const SumCase cases[] = {
      {"3+4=7", true, 3, '+', 4, 7},
      {"7x8=56", true, 7, 'x', 8, 56},
      {"7 x 8 = 56", true, 7, 'x', 8, 56},
      {"  1 2 - 1 = 1 1  ", true, 12, '-', 1, 11},
      {"6*7=42", true, 6, '*', 7, 42},
      {"6X7=42", true, 6, 'X', 7, 42},
      {"12/4=3", true, 12, '/', 4, 3},
      {"9:0=0", true, 9, ':', 0, 0},
      {"3+4=7 e mais texto", true, 3, '+', 4, 7},
      {"3+4=7=8", true, 3, '+', 4, 7},
      {"3+4=007", true, 3, '+', 4, 7},
      {"2+2=5", true, 2, '+', 2, 5},
      {"2147483647+0=2147483647", true, 2147483647, '+', 0, 2147483647},
      {"00000000000000000003+1=4", true, 3, '+', 1, 4},
      {"7\tx8=56", false},          // a tab is not a blank
      {"-3+4=1", false},            // no sign
      {"3+-4=1", false},
      {"+3+4=7", false},
      {"3+4=-7", false},
      {"2147483648+0=1", false},    // beyond the largest value
      {"1+99999999999999999999=1", false},
      {"3%4=7", false},
      {"3+4", false},
      {"3+4=", false},
      {"3+=7", false},
      {"3+47", false},
      {"", false},
      {"   ", false},
      {"3", false},
      {"=", false},
      {"abc", false},
      {"3 + 4 \r= 7", false},
  };
  for (const SumCase& c : cases) {
    const auto sum = ParseSum(c.line);
    ASSERT_EQ(sum.has_value(), c.ok) << c.line;
    if (!sum) continue;
    EXPECT_EQ(sum->a, c.a) << c.line;
    EXPECT_EQ(sum->op, c.op) << c.line;
    EXPECT_EQ(sum->b, c.b) << c.line;
    EXPECT_EQ(sum->r, c.r) << c.line;
  }
}

std::string Sums(int count, const std::string& eol = "\r\n") {
  std::string text;
  for (int i = 1; i <= count; ++i) text += std::to_string(i) + "+1=" + std::to_string(i + 1) + eol;
  return text;
}

TEST(LoadChampionship, ReadsTheExampleFile) {
  const std::string file =
      "Somas da turma da manh\xE3\r\n"
      "*Somas at\xE9 dez\r\n"
      "2 + 3 = 5\r\n"
      "4+4=8\r\n"
      "\r\n"
      "\r\n"
      "7 x 2 = 14\r\n"
      "*Divis\xF5" "es\r\n"
      "8:2=4\r\n";
  LoadResult one = LoadChampionshipText(file, 1);
  ASSERT_TRUE(one.ok());
  EXPECT_EQ(one.title, "Somas at\xE9 dez");
  const Championship& c = one.championship;
  EXPECT_EQ(c.phase_count, 2);
  EXPECT_EQ(c.SumCount(1), 2);
  EXPECT_EQ(c.SumCount(2), 1);
  EXPECT_EQ(c.Sum(1, 1), "2 + 3 = 5");
  EXPECT_EQ(c.Sum(1, 2), "4+4=8");
  EXPECT_EQ(c.Sum(2, 1), "7 x 2 = 14");

  LoadResult two = LoadChampionshipText(file, 2);
  ASSERT_TRUE(two.ok());
  EXPECT_EQ(two.title, "Divis\xF5" "es");
  EXPECT_EQ(two.championship.phase_count, 1);
  EXPECT_EQ(two.championship.Sum(1, 1), "8:2=4");
}

TEST(LoadChampionship, LineEndsAndEndOfFile) {
  struct Case {
    const char* name;
    std::string file;
    int phases;
    std::string last_sum;
  };
  const Case cases[] = {
      {"LF only", "*t\n1+1=2\n\n2+2=4\n", 2, "2+2=4"},
      {"no final line end", "*t\r\n1+1=2\r\n\r\n2+2=4", 2, "2+2=4"},
      {"Ctrl+Z ends the file", "*t\r\n1+1=2\r\n\x1A" "2+2=4\r\n", 1, "1+1=2"},
      {"Ctrl+Z inside a line", "*t\r\n1+1=2\x1A\r\n3+3=6\r\n", 1, "1+1=2"},
      {"empty lines at the end make no phase", "*t\r\n1+1=2\r\n\r\n\r\n\r\n", 1, "1+1=2"},
      {"empty lines before the first sum", "*t\r\n\r\n\r\n1+1=2\r\n", 1, "1+1=2"},
      {"a blank line is a sum", "*t\r\n1+1=2\r\n   \r\n", 1, "   "},
      {"a lone CR stays in the line", "*t\r1+1=2\r\n", 0, ""},
      {"header directly followed by a header", "*t\r\n*u\r\n1+1=2\r\n", 0, ""},
      {"header at the end of the file", "*t", 0, ""},
  };
  for (const Case& c : cases) {
    LoadResult result = LoadChampionshipText(c.file, 1);
    ASSERT_TRUE(result.ok()) << c.name;
    const Championship& ch = result.championship;
    ASSERT_EQ(ch.phase_count, c.phases) << c.name;
    if (c.phases > 0) {
      EXPECT_EQ(ch.Sum(c.phases, ch.SumCount(c.phases)), c.last_sum) << c.name;
    }
  }
}

TEST(LoadChampionship, TitleIsTheHeaderWithoutItsStar) {
  EXPECT_EQ(LoadChampionshipText("*\r\n", 1).title, "");
  EXPECT_EQ(LoadChampionshipText("** Copa *\r\n", 1).title, "* Copa *");
  // A lone CR before a LF-only line end is not a line end of its own.
  EXPECT_EQ(LoadChampionshipText("*a\rb\n", 1).title, "a\rb");
}

TEST(LoadChampionship, Utf8FileIsConvertedAndWindows1252FileKept) {
  EXPECT_EQ(LoadChampionshipText("*Somas at\xC3\xA9 dez\n1+1=2\n", 1).title, "Somas at\xE9 dez");
  EXPECT_EQ(LoadChampionshipText("*Somas at\xE9 dez\n1+1=2\n", 1).title, "Somas at\xE9 dez");
  // A file saved with a byte order mark still opens with its first header.
  const LoadResult marked = LoadChampionshipText("\xEF\xBB\xBF*Somas\r\n2+3=5\r\n", 1);
  EXPECT_EQ(marked.title, "Somas");
  EXPECT_EQ(marked.championship.phase_count, 1);
}

TEST(LoadChampionship, FindsTheKthHeaderAndRefusesAMissingOne) {
  const std::string file = "texto\r\n*um\r\n1+1=2\r\n*dois\r\n\r\n*tr\xEAs\r\n2+2=4\r\n";
  EXPECT_EQ(LoadChampionshipText(file, 3).title, "tr\xEAs");
  EXPECT_EQ(LoadChampionshipText(file, 2).championship.phase_count, 0);
  for (int k : {4, 9, 0, -1}) {
    LoadResult missing = LoadChampionshipText(file, k);
    EXPECT_FALSE(missing.title.has_value()) << k;
    EXPECT_EQ(missing.errors, std::vector<std::string>{"PLERRARQ"}) << k;
  }
  EXPECT_EQ(LoadChampionshipText("", 1).errors, std::vector<std::string>{"PLERRARQ"});
  EXPECT_EQ(LoadChampionshipText("1+1=2\r\n\r\n", 1).errors, std::vector<std::string>{"PLERRARQ"});
}

TEST(LoadChampionship, ThirtySumsLoadAndTheThirtyFirstIsRefused) {
  LoadResult thirty = LoadChampionshipText("*t\r\n" + Sums(30) + "\r\n" + Sums(30), 1);
  ASSERT_TRUE(thirty.ok());
  EXPECT_EQ(thirty.championship.phase_count, 2);
  EXPECT_EQ(thirty.championship.SumCount(1), 30);
  EXPECT_EQ(thirty.championship.Sum(2, 30), "30+1=31");

  LoadResult too_many = LoadChampionshipText("*t\r\n" + Sums(31), 1);
  EXPECT_EQ(too_many.title, "t");  // already written when the refusal comes
  EXPECT_EQ(too_many.errors, (std::vector<std::string>{"PLERRMAX", "PLERRARQ"}));
}

TEST(LoadChampionship, TenPhasesLoadAndAnEleventhIsRefused) {
  std::string ten = "*t\r\n";
  for (int p = 0; p < 10; ++p) ten += Sums(2) + "\r\n";
  LoadResult loaded = LoadChampionshipText(ten + "\r\n*next\r\n", 1);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.championship.phase_count, 10);
  EXPECT_EQ(loaded.championship.SumCount(10), 2);

  LoadResult eleven = LoadChampionshipText(ten + "5+5=10\r\n", 1);
  EXPECT_EQ(eleven.errors, std::vector<std::string>{"PLERRARQ"});
}

TEST(LoadChampionship, BadLinesLoadAndAreOnlyCheckedInPlay) {
  const std::string file = "*t\r\n-3+4=1\r\n3\t+4=7\r\n99999999999+1=2\r\n\x01\xFF\r\n";
  LoadResult result = LoadChampionshipText(file, 1);
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.championship.SumCount(1), 4);
  for (int c = 1; c <= 4; ++c) EXPECT_FALSE(ParseSum(result.championship.Sum(1, c))) << c;
}

TEST(LoadChampionship, MegabyteLineIsKeptWhole) {
  const std::string big(1 << 20, '7');
  LoadResult result = LoadChampionshipText("*t\n" + big + "\n", 1);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.championship.Sum(1, 1).size(), big.size());
  EXPECT_FALSE(ParseSum(result.championship.Sum(1, 1)));
}

// Only a regular file is an exercise file: a directory used to open and then
// throw on its first read, and a FIFO would block the game for ever.
TEST(ReadWholeFile, OnlyRegularFilesAreRead) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("placarim-read-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "pasta.cnf");
  std::ofstream(dir / "ok.cnf", std::ios::binary) << "*t\r\n1+1=2\r\n";
  std::ofstream(dir / "empty.cnf", std::ios::binary);
  ASSERT_EQ(mkfifo((dir / "fifo.cnf").c_str(), 0600), 0);
  fs::create_symlink(dir / "ok.cnf", dir / "link.cnf");
  struct Case {
    std::string path;
    std::optional<std::string> bytes;
  };
  const Case cases[] = {
      {(dir / "ok.cnf").string(), "*t\r\n1+1=2\r\n"},
      {(dir / "link.cnf").string(), "*t\r\n1+1=2\r\n"},
      {(dir / "empty.cnf").string(), ""},
      {(dir / "pasta.cnf").string(), std::nullopt},
      {(dir / "fifo.cnf").string(), std::nullopt},
      {(dir / "missing.cnf").string(), std::nullopt},
      {"/dev/zero", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadWholeFile(c.path), c.bytes) << c.path;
    EXPECT_EQ(CanOpenForReading(c.path), c.bytes.has_value()) << c.path;
  }
  fs::remove_all(dir);
}

TEST(ReadSum, TellsTheFirstFaultInReadingOrder) {
  const std::pair<const char*, SumFault> cases[] = {
      {"3+4=7", SumFault::kNone},
      {"-3+4=1", SumFault::kNoFirstNumber},
      {"   ", SumFault::kNoFirstNumber},
      {"2147483648+0=1", SumFault::kFirstNumberTooBig},
      {"7\tx8=56", SumFault::kBadOperator},
      {"3%4=7", SumFault::kBadOperator},
      {"3", SumFault::kNoSecondNumber},  // a missing operator reads as "+"
      {"3+=7", SumFault::kNoSecondNumber},
      {"3+99999999999=1", SumFault::kSecondNumberTooBig},
      {"3+47", SumFault::kNoEquals},
      {"3+4=", SumFault::kNoResult},
      {"5-9=-4", SumFault::kNegativeResult},
      {"3+4=2147483648", SumFault::kResultTooBig},
      {"x+=", SumFault::kNoFirstNumber},  // several faults: the first one counts
  };
  for (const auto& [line, fault] : cases) {
    const SumReading reading = ReadSum(line);
    EXPECT_EQ(reading.fault, fault) << line;
    EXPECT_EQ(reading.sum.has_value(), fault == SumFault::kNone) << line;
  }
}

TEST(SplitExerciseFile, NumbersEveryLineAsAnEditorDoes) {
  const std::string file =
      "texto 1+1=2\r\n"  // 1
      "\r\n"             // 2
      "*um\r\n"          // 3
      "\r\n"             // 4
      "1+1=2\r\n"        // 5
      "\r\n"             // 6
      "\r\n"             // 7
      "2+2=4\n"           // 8
      "3+3=6\r\n"        // 9
      "*dois\r\n"        // 10
      "*tr\xC3\xAAs\n"  // 11
      "5+5=10";           // 12
  const WrittenFile written = SplitExerciseFile(file);
  EXPECT_TRUE(written.from_utf8);
  ASSERT_EQ(written.preamble.size(), 1u);
  EXPECT_EQ(written.preamble[0].number, 1);
  ASSERT_EQ(written.championships.size(), 3u);
  const auto& one = written.championships[0];
  EXPECT_EQ(one.header_line, 3);
  ASSERT_EQ(one.phases.size(), 2u);
  EXPECT_EQ(one.phases[0][0].number, 5);
  EXPECT_EQ(one.phases[1][0].number, 8);
  EXPECT_EQ(one.phases[1][1].number, 9);
  EXPECT_TRUE(written.championships[1].phases.empty());
  EXPECT_EQ(written.championships[2].title, "tr\xEAs");
  EXPECT_EQ(written.championships[2].phases[0][0].number, 12);

  const WrittenFile cut = SplitExerciseFile("*a\n1+1=2\n\n\x1A" "2+2=4\n");
  EXPECT_EQ(cut.end_of_file_line, 4);
  EXPECT_TRUE(cut.text_after_end);
  EXPECT_FALSE(SplitExerciseFile("*a\n1+1=2\n\x1A\r\n\x1A").text_after_end);
}

TEST(LoadChampionship, ByteOrderMarkDoesNotHideAHeaderOnTheFirstLine) {
  // Editors that save UTF-8 with a byte order mark put it before the first
  // character; a header there must still open championship 1.
  for (const std::string file : {"\xEF\xBB\xBF*Somas at\xC3\xA9 dez\n1+1=2\n", "\xEF\xBB\xBF*Somas\n1+1=2\n"}) {
    LoadResult loaded = LoadChampionshipText(file, 1);
    ASSERT_TRUE(loaded.ok()) << file;
    EXPECT_TRUE(loaded.title->starts_with("Somas")) << file;
    EXPECT_EQ(loaded.championship.phase_count, 1) << file;
  }
}

}  // namespace
}  // namespace placarim::game
