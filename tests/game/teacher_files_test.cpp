// The teacher's files in whole games: the teacher's own exercise file read
// before the configured one, and every answered sum recorded as it is
// answered, without ever stopping the game.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/message_keys.h"
#include "game/play_record.h"
#include "tests/game/game_harness.h"

namespace placarim::game::testing {
namespace {

namespace fs = std::filesystem;

TEST(TeacherFiles, TheTeachersOwnFileComesFirst) {
  struct Case {
    const char* name;
    bool user_file_exists;
    const char* first_sum_heard;
  };
  const Case cases[] = {
      {"own file present", true, "sound:7"},
      {"own file absent", false, "sound:2"},
  };
  for (const Case& c : cases) {
    GameRun run;
    run.WriteExerciseFile("*Configurado\r\n2+2=4\r\n");
    run.teacher_files.user_exercise_file = run.Directory() + "/config/placarim/placarim.cnf";
    if (c.user_file_exists) {
      fs::create_directories(run.Directory() + "/config/placarim");
      std::ofstream(run.teacher_files.user_exercise_file) << "*Do professor\n7+1=8\n";
    }
    run.Keys("1");
    run.Keys("\x1b");
    run.Keys(" ");
    EXPECT_EQ(run.Play(), 0) << c.name;
    EXPECT_TRUE(run.Heard({"sound:PLTANA2", c.first_sum_heard})) << c.name;
  }
}

TEST(TeacherFiles, EveryAnswerIsRecordedWithItsTimeAndGivingUpIsNot) {
  GameRun run;
  run.WriteExerciseFile("*Somas, at\xE9 dez\r\n2+3=5\r\n1+1=2\r\n\r\n4+4=8\r\n");
  run.teacher_files.record_file = run.Directory() + "/dados/placarim/jogadas.csv";
  run.think_ms = 1500;
  // Phase 1 twice: a miss and a goal, then help and a goal; the third time the child gives up.
  for (const char* step : {"1", "6\r", "2\r", ".\r", "N", "2\r", "\x1b", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  const auto text = ReadWholeFile(run.teacher_files.record_file);
  ASSERT_TRUE(text);
  const RecordReading record = ReadPlayRecord(*text);
  EXPECT_TRUE(record.bad_lines.empty());
  struct Expected {
    int phase;
    const char* sum;
    const char* answer;
    Outcome outcome;
  };
  const Expected expected[] = {
      {1, "2 + 3 = 5", "6", Outcome::kMiss},
      {1, "1 + 1 = 2", "2", Outcome::kGoal},
      {1, "2 + 3 = 5", ".", Outcome::kHelp},
      {1, "1 + 1 = 2", "2", Outcome::kGoal},
  };
  ASSERT_EQ(record.rows.size(), std::size(expected)) << *text;
  for (size_t i = 0; i < std::size(expected); ++i) {
    const RecordRow& row = record.rows[i];
    EXPECT_EQ(row.championship, 1) << i;
    EXPECT_EQ(row.title, "Somas, at\xC3\xA9 dez") << i;
    EXPECT_EQ(row.phase, expected[i].phase) << i;
    EXPECT_EQ(row.sum, expected[i].sum) << i;
    EXPECT_EQ(row.answer, expected[i].answer) << i;
    EXPECT_EQ(row.outcome, expected[i].outcome) << i;
    EXPECT_DOUBLE_EQ(row.seconds, 1.5) << i << ": from the end of the sum to ENTER";
  }
}

TEST(TeacherFiles, ARecordThatCannotBeWrittenIsSaidOnceAndPlayGoesOn) {
  GameRun run;
  run.WriteExerciseFile("*t\r\n1+1=2\r\n2+2=4\r\n");
  const std::string blocker = run.Directory() + "/arquivo";
  std::ofstream(blocker) << "x";
  run.teacher_files.record_file = blocker + "/placarim/jogadas.csv";  // under a plain file
  for (const char* step : {"1", "2\r", "4\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  const std::string said = "say:" + Cp1252(kRecordFailed);
  EXPECT_EQ(run.Count(said), 1);
  EXPECT_EQ(run.Count(run.Say(kChampionshipWon)), 1);
}

}  // namespace
}  // namespace placarim::game::testing
