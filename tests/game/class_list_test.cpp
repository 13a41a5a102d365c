// The class list as the game reads it and as the checker tells the teacher
// about it: which lines give names, in which encoding, and why the others
// are left out; where each child's own exercise file lives.
#include "game/class_list.h"

#include <gtest/gtest.h>

#include <string>

#include "game/class_check.h"
#include "game/user_files.h"

namespace placarim::game {
namespace {

TEST(ClassList, NamesInEitherEncodingAndEveryLineLeftOutWithItsReason) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> names;  // Windows-1252
    std::vector<std::pair<int, NameFault>> skipped;
  };
  const Case cases[] = {
      {"UTF-8 with a byte-order mark and CRLF", "\xEF\xBB\xBFJo\xC3\xA3o\r\nAna L\xC3\xBA" "cia\r\n",
       {"Jo\xE3o", "Ana L\xFA" "cia"}, {}},
      {"Windows-1252, blanks trimmed", "  Jo\xE3o \t\nC\xE9sar", {"Jo\xE3o", "C\xE9sar"}, {}},
      {"empty lines and a repeat in another case", "Ana\n\n   \nANA\nbia\n",
       {"Ana", "bia"}, {{2, NameFault::kEmptyLine}, {3, NameFault::kEmptyLine}, {4, NameFault::kDuplicate}}},
      {"accented repeat by the game's folding", "\xC9rica\n\xE9RICA\n", {"\xC9rica"}, {{2, NameFault::kDuplicate}}},
      {"no letter to say", "123\n---\nAna 2\n", {"Ana 2"}, {{1, NameFault::kNoLetter}, {2, NameFault::kNoLetter}}},
      {"a character Windows-1252 lacks", "Ana\nZo\xC3\xAB \xE2\x9A\xBD\n", {"Ana"}, {{2, NameFault::kNotShowable}}},
      {"control and unassigned bytes", "A\x01na\nBi\x81" "a\nCarla\n", {"Carla"},
       {{1, NameFault::kNotShowable}, {2, NameFault::kNotShowable}}},
      {"too long for its line", std::string(kLongestName, 'a') + "\n" + std::string(kLongestName + 1, 'b'),
       {std::string(kLongestName, 'a')}, {{2, NameFault::kTooLong}}},
      {"text after a Ctrl+Z is not read", "Ana\n\x1A" "Bia\n", {"Ana"}, {}},
      {"nothing at all", "", {}, {}},
  };
  for (const Case& c : cases) {
    const ClassList list = ReadClassList(c.bytes);
    EXPECT_EQ(list.names, c.names) << c.name;
    std::vector<std::pair<int, NameFault>> skipped;
    for (const SkippedLine& s : list.skipped) skipped.emplace_back(s.line, s.fault);
    EXPECT_EQ(skipped, c.skipped) << c.name;
    EXPECT_EQ(list.lines.size(), list.names.size()) << c.name;
  }
}

TEST(ClassList, EachChildsFileLivesBesideTheList) {
  EXPECT_EQ(ChildExerciseFile("/h/.config/placarim/alunos.txt", "Jo\xE3o"),
            "/h/.config/placarim/alunos/Jo\xC3\xA3o.cnf");
  EXPECT_EQ(ChildExerciseFile("/h/alunos.txt", "Ana/../../x"), "") << "a slash would leave the folder";
  EXPECT_EQ(ChildExerciseFile("", "Ana"), "");
}

TEST(CheckClassList, ErrorsForNamesLeftOutWarningsForWhatIsHarmless) {
  const auto problems = CheckClassList("Ana\n\nana\n???\nPedro/Paulo\nZo\xC3\xAB \xE2\x9A\xBD\n");
  struct Expected {
    int line;
    Severity severity;
    const char* says;
  };
  const Expected expected[] = {
      {2, Severity::kWarning, "linha vazia"},
      {3, Severity::kWarning, "nome repetido: \"ana\""},
      {4, Severity::kError, "\"???\" não tem nenhuma letra"},
      {5, Severity::kWarning, "\"Pedro/Paulo\" tem uma barra"},
      {6, Severity::kError, "não pode mostrar"},
  };
  ASSERT_EQ(problems.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(problems[i].line, expected[i].line) << i;
    EXPECT_EQ(problems[i].severity, expected[i].severity) << i;
    EXPECT_NE(problems[i].text.find(expected[i].says), std::string::npos) << problems[i].text;
  }
  const auto empty = CheckClassList("\n \n");
  ASSERT_FALSE(empty.empty());
  EXPECT_EQ(empty.front().line, 0);
  EXPECT_NE(empty.front().text.find("nenhum nome"), std::string::npos);
  EXPECT_TRUE(CheckClassList("Ana\nBia\n").empty());
}

}  // namespace
}  // namespace placarim::game
