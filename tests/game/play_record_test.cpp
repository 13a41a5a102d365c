// The record of play: lines written as a spreadsheet and the report read
// them, appends that survive reopening, and the report's figures and chart
// computed from a generated record.
#include "game/play_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "game/exercise_file.h"
#include "game/play_report.h"

namespace placarim::game {
namespace {

namespace fs = std::filesystem;

AnsweredSum Answer(const std::string& title, const std::string& sum, const std::string& answer, Outcome outcome,
                   double seconds, int day = 7) {
  AnsweredSum a;
  a.when = {2026, 12, day, 1, 1, 9, 5, 0};
  a.championship = 2;
  a.title = title;
  a.phase = 3;
  a.sum = sum;
  a.answer = answer;
  a.outcome = outcome;
  a.seconds = seconds;
  return a;
}

TEST(PlayRecord, LinesReadBackAsWrittenWhateverTheTitleHolds) {
  const AnsweredSum cases[] = {
      Answer("Somas at\xE9 dez", "7 x 8 = 56", "56", Outcome::kGoal, 2.25),
      Answer("Copa, \"grande\"", "3 + 4 = 7", "8", Outcome::kMiss, 10),
      Answer("linha\rquebrada", "12 : 4 = 3", "TAB", Outcome::kHelp, 0.04),
  };
  std::string text(kRecordHeader);
  for (const AnsweredSum& a : cases) text += RecordLine(a);
  EXPECT_NE(text.find("2026-12-07,01:09:05,2,Somas at\xC3\xA9 dez,3,7 x 8 = 56,56,gol,2.2"), std::string::npos)
      << text;
  const RecordReading read = ReadPlayRecord(text);
  EXPECT_TRUE(read.bad_lines.empty());
  ASSERT_EQ(read.rows.size(), 3u);
  EXPECT_EQ(read.rows[0].title, "Somas at\xC3\xA9 dez");
  EXPECT_EQ(read.rows[1].title, "Copa, \"grande\"");
  EXPECT_EQ(read.rows[2].title, "linha quebrada");
  EXPECT_EQ(read.rows[1].outcome, Outcome::kMiss);
  EXPECT_EQ(read.rows[2].answer, "TAB");
  EXPECT_DOUBLE_EQ(read.rows[1].seconds, 10.0);
  EXPECT_EQ(read.rows[0].date, "2026-12-07");
  EXPECT_EQ(read.rows[0].championship, 2);
  EXPECT_EQ(read.rows[0].phase, 3);
}

TEST(PlayRecord, DamagedLinesAreCountedNotRead) {
  const std::string good = RecordLine(Answer("t", "1 + 1 = 2", "2", Outcome::kGoal, 1));
  const std::string text = std::string(kRecordHeader) + good +
                           "2026-12-07,01:09:05,2,t,3,1 + 1 = 2,2,talvez,1.0\n"    // 3: unknown result
                           "2026-12-07,01:09:05,2,\"t,3,1 + 1 = 2,2,gol,1.0\n"     // 4: open quote
                           "2026-12-07,01:09:05,dois,t,3,1 + 1 = 2,2,gol,1.0\n"    // 5: not a number
                           "\n"
                           "2026-12-07,01:09:05,2,t,3,1 + 1 = 2,2,gol,-1\n"        // 7: negative time
                           "2026-12-07,01:09:05,2,t,3,1 + 1 = 2,2,gol\n"           // 8: a column short
                           + good.substr(0, good.size() - 1);                        // 9: cut short, whole
  const RecordReading read = ReadPlayRecord(text);
  EXPECT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.bad_lines, (std::vector<int>{3, 4, 5, 7, 8}));
}

TEST(PlayRecordWriter, AppendsAcrossRunsWithOneHeaderAndMendsACutLine) {
  const fs::path dir = fs::path(::testing::TempDir()) / "placarim_record_writer" / "novo" / "dir";
  fs::remove_all(dir.parent_path().parent_path());
  const std::string path = (dir / "jogadas.csv").string();
  {
    PlayRecordWriter writer(path);
    ASSERT_TRUE(writer.Open());
    EXPECT_TRUE(writer.Append(Answer("t", "1 + 1 = 2", "2", Outcome::kGoal, 1)));
  }
  // A power cut left half a line behind.
  std::ofstream(path, std::ios::app) << "2026-12-07,01:";
  {
    PlayRecordWriter writer(path);
    ASSERT_TRUE(writer.Open());
    EXPECT_TRUE(writer.Append(Answer("t", "2 + 2 = 4", "5", Outcome::kMiss, 1)));
  }
  const RecordReading read = ReadPlayRecord(*ReadWholeFile(path));
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.rows[1].sum, "2 + 2 = 4");
  EXPECT_EQ(read.bad_lines, std::vector<int>{3});
  EXPECT_EQ(ReadWholeFile(path)->find(kRecordHeader, 1), std::string::npos);

  // A directory that cannot be made: refused, never thrown.
  PlayRecordWriter blocked(path + "/dentro/jogadas.csv");
  EXPECT_FALSE(blocked.Open());
  EXPECT_FALSE(blocked.Append(Answer("t", "1 + 1 = 2", "2", Outcome::kGoal, 1)));
}

TEST(PlayRecordWriter, AFileWithTheOldHeaderKeepsItAndReadsWithTheNewLines) {
  const fs::path dir = fs::path(::testing::TempDir()) / "placarim_record_old";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "jogadas.csv").string();
  const std::string old_line = "2026-12-01,08:00:00,1,t,1,1 + 1 = 2,3,erro,2.0\n";
  std::ofstream(path, std::ios::binary) << kNineColumnHeader << old_line;
  AnsweredSum named = Answer("t", "2 + 2 = 4", "4", Outcome::kGoal, 1);
  named.child = "Jo\xE3o, \"JJ\"";
  {
    PlayRecordWriter writer(path);
    ASSERT_TRUE(writer.Open());
    EXPECT_TRUE(writer.Append(named));
  }
  const std::string text = *ReadWholeFile(path);
  EXPECT_EQ(text, std::string(kNineColumnHeader) + old_line + RecordLine(named)) << "appended, never rewritten";
  // Joined with a new file, header and all, as a teacher may do by hand.
  const RecordReading read = ReadPlayRecord(text + std::string(kRecordHeader) + RecordLine(named));
  EXPECT_TRUE(read.bad_lines.empty());
  ASSERT_EQ(read.rows.size(), 3u);
  EXPECT_EQ(read.rows[0].child, "");
  EXPECT_EQ(read.rows[0].outcome, Outcome::kMiss);
  EXPECT_EQ(read.rows[1].child, "Jo\xC3\xA3o, \"JJ\"");
  EXPECT_EQ(read.rows[2].sum, "2 + 2 = 4");
  fs::remove_all(dir);
}

TEST(ClassReport, EachChildApartThePlayWithoutANameLastAndThePageEscaped) {
  std::vector<AnsweredSum> played;
  auto add = [&](const char* child, int championship, const char* sum, Outcome outcome) {
    AnsweredSum a = Answer("T", sum, "0", outcome, 2);
    a.child = child;
    a.championship = championship;
    played.push_back(a);
  };
  for (int i = 0; i < 5; ++i) add("Zeca", 3, "7 x 8 = 56", Outcome::kMiss);
  add("Zeca", 3, "7 x 8 = 56", Outcome::kGoal);
  add("Zeca", 4, "6 x 7 = 42", Outcome::kMiss);
  add("", 1, "1 + 1 = 2", Outcome::kGoal);
  add("<Ana>", 1, "1 + 1 = 2", Outcome::kHelp);
  add("\xC1lvaro 10", 1, "1 + 1 = 2", Outcome::kHelp);
  add("alvaro 9", 1, "1 + 1 = 2", Outcome::kHelp);
  std::string text;
  for (const AnsweredSum& a : played) text += RecordLine(a);
  const ClassReport report = BuildClassReport(ReadPlayRecord(text).rows);
  // As a teacher sorts names: case, accents and the numbers' width aside.
  std::vector<std::string> names;
  for (const ChildReport& child : report.children) names.push_back(child.name);
  EXPECT_EQ(names, (std::vector<std::string>{"<Ana>", "alvaro 9", "\xC3\x81lvaro 10", "Zeca", ""}));
  const PlayReport& zeca = report.children[3].figures;
  ASSERT_EQ(zeca.championships.size(), 2u);
  ASSERT_EQ(zeca.most_missed.size(), 2u) << "over both championships";
  EXPECT_EQ(zeca.most_missed[0].sum, "7 x 8 = 56");
  EXPECT_EQ(report.whole.championships.size(), 3u);

  const std::string printed = ReportText(report);
  EXPECT_LT(printed.find("== <Ana> =="), printed.find("== Zeca =="));
  EXPECT_LT(printed.find("== Zeca =="), printed.find("== Sem nome =="));
  // Without any name the text is what it always was.
  EXPECT_EQ(ReportText(BuildClassReport(ReadPlayRecord(RecordLine(played[7])).rows)),
            ReportText(BuildReport(ReadPlayRecord(RecordLine(played[7])).rows)));

  const std::string page = ReportHtml(report, {"a&b.csv"});
  for (const char* part : {"<th scope=\"row\">&lt;Ana&gt;</th>", "7 x 8: 5 erros em 6; 6 x 7: 1 erro em 1",
                           "a&amp;b.csv", "<td>não jogou</td>", "<caption>"}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(page.find("<Ana>"), std::string::npos);
  EXPECT_TRUE(page.ends_with("</html>\n"));
}

TEST(PlayReport, MostMissedSlowestAndDaysFromAGeneratedRecord) {
  // Two days of championship 2: 7x8 missed three times, 6x7 once, 2x2 never;
  // 9x9 is the slowest answer; help is neither a miss nor a time.
  std::vector<AnsweredSum> played = {
      Answer("Tabuada", "7 x 8 = 56", "54", Outcome::kMiss, 4, 7),
      Answer("Tabuada", "7 x 8 = 56", "58", Outcome::kMiss, 6, 7),
      Answer("Tabuada", "6 x 7 = 42", "41", Outcome::kMiss, 3, 7),
      Answer("Tabuada", "2 x 2 = 4", "4", Outcome::kGoal, 1, 7),
      Answer("Tabuada", "9 x 9 = 81", ".", Outcome::kHelp, 60, 7),
      Answer("Tabuada", "7 x 8 = 56", "57", Outcome::kMiss, 5, 8),
      Answer("Tabuada", "9 x 9 = 81", "81", Outcome::kGoal, 9, 8),
      Answer("Tabuada", "2 x 2 = 4", "4", Outcome::kGoal, 1, 8),
  };
  AnsweredSum other = Answer("Somas", "1 + 1 = 2", "2", Outcome::kGoal, 2, 8);
  other.championship = 1;
  played.push_back(other);
  std::string text;
  for (const AnsweredSum& a : played) text += RecordLine(a);
  const PlayReport report = BuildReport(ReadPlayRecord(text).rows, 2);

  ASSERT_EQ(report.championships.size(), 2u);
  EXPECT_EQ(report.championships[0].number, 1);
  const ChampionshipFigures& tables = report.championships[1];
  EXPECT_EQ(tables.misses, 4);
  EXPECT_EQ(tables.goals, 3);
  EXPECT_EQ(tables.helps, 1);
  ASSERT_EQ(tables.most_missed.size(), 2u);
  EXPECT_EQ(tables.most_missed[0].sum, "7 x 8 = 56");
  EXPECT_EQ(tables.most_missed[0].misses, 3);
  EXPECT_EQ(tables.most_missed[1].sum, "6 x 7 = 42");
  ASSERT_EQ(tables.slowest.size(), 2u);
  EXPECT_EQ(tables.slowest[0].sum, "9 x 9 = 81");
  EXPECT_DOUBLE_EQ(tables.slowest[0].mean_seconds, 9.0);
  EXPECT_EQ(tables.slowest[1].sum, "7 x 8 = 56");
  EXPECT_DOUBLE_EQ(tables.slowest[1].mean_seconds, 5.0);

  ASSERT_EQ(report.days.size(), 2u);
  EXPECT_EQ(report.days[0].date, "2026-12-07");
  EXPECT_EQ(report.days[0].misses, 3);
  EXPECT_EQ(report.days[1].goals, 3);

  const std::string printed = ReportText(report);
  EXPECT_NE(printed.find("Campeonato 2 - Tabuada: 3 gols, 4 erros, 1 ajuda"), std::string::npos) << printed;
  EXPECT_LT(printed.find("7 x 8 = 56   3 erros"), printed.find("6 x 7 = 42   1 erro,")) << printed;

  // The chart: one goal bar and one miss bar a day, as tall as its count.
  const std::string svg = ReportSvg(report);
  const std::regex bar(R"re(<rect class="(gols|erros)" data-dia="([0-9-]+)" data-valor="(\d+)" x="\d+" y="\d+" width="\d+" height="(\d+)")re");
  std::vector<std::string> bars;
  std::map<int, int> height_of_count;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), bar); it != std::sregex_iterator(); ++it) {
    bars.push_back((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str());
    height_of_count[std::stoi((*it)[3])] = std::stoi((*it)[4]);
  }
  const int tallest = height_of_count[3];
  EXPECT_EQ(height_of_count[1] * 3, tallest) << "heights follow the counts";
  // Goal bars day by day, then miss bars (each kind in one group).
  EXPECT_EQ(bars, (std::vector<std::string>{"gols 2026-12-07 1", "gols 2026-12-08 3", "erros 2026-12-07 3",
                                            "erros 2026-12-08 1"}));
  EXPECT_GT(tallest, 0);
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
}

}  // namespace
}  // namespace placarim::game
