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

// "Quem vai jogar?": the names walked by ear, the choice said back, the
// child's own exercises played and the name in every line of the record.
TEST(ClassList, TheChildChoosesTheirNameAndPlaysTheirOwnExercises) {
  struct Case {
    const char* name;
    bool write_list;
    std::vector<int> walk;  // keys after the question: virtual keys, or characters as negative codes
    std::vector<std::string> heard;  // in order, after the question
    const char* child;               // in the record; nullptr: nothing is asked
    const char* first_sum_heard;
    const char* answer;
  };
  const int enter = -'\r', escape = -27;
  const Case cases[] = {
      {"no class list: nothing asked", false, {}, {}, nullptr, "sound:2", "4\r"},
      {"arrows walk and stop at the ends", true,
       {vk::kDown, vk::kDown, vk::kUp, vk::kUp, vk::kEnd, vk::kDown, enter},
       {"text:Ana", "text:B\xED" "a", "text:Ana", "beep", "text:Ana", "text:Carla", "beep", "text:Carla",
        "say:Entra em campo: ", "text:Carla"},
       "Carla", "sound:7", "8\r"},
      {"ENTER before any name asks again; a letter finds the name", true,
       {enter, -'b', enter},
       {"say:Quem vai jogar?", "text:B\xED" "a", "say:Entra em campo: ", "text:B\xED" "a"}, "B\xC3\xAD" "a", "sound:2", "4\r"},
      {"ESC plays without a name", true, {vk::kHome, escape},
       {"text:Ana", "say:Entra em campo um craque sem nome!"}, "", "sound:2", "4\r"},
  };
  for (const Case& c : cases) {
    GameRun run;
    run.WriteExerciseFile("*Configurado\r\n2+2=4\r\n");
    run.teacher_files.record_file = run.Directory() + "/dados/jogadas.csv";
    run.teacher_files.class_list_file = run.Directory() + "/config/alunos.txt";
    fs::create_directories(run.Directory() + "/config/alunos");
    // Carla has exercises of her own; a UTF-8 list with a blank line and a repeated name.
    std::ofstream(run.Directory() + "/config/alunos/Carla.cnf") << "*Da Carla\n7+1=8\n";
    if (c.write_list) std::ofstream(run.teacher_files.class_list_file) << "Ana\n\n B\xC3\xAD" "a \nana\nCarla\n";
    for (int key : c.walk) {
      if (key < 0) {
        run.Keys(std::string(1, static_cast<char>(-key)));
      } else {
        run.Press(key);
      }
    }
    for (const char* step : {"1", c.answer, "\r", " "}) run.Keys(step);
    EXPECT_EQ(run.Play(), 0) << c.name;
    const std::string question = run.Say(kWhoPlays);
    if (c.child == nullptr) {
      EXPECT_EQ(run.Count(question), 0) << c.name;
      EXPECT_EQ(run.Find(run.Say(kGameStarts)) + 1, run.Find(run.Say(kWhichChampionship))) << c.name;
    } else {
      std::vector<std::string> expected{question, run.Say(kWhoPlaysKeys)};
      expected.insert(expected.end(), c.heard.begin(), c.heard.end());
      EXPECT_TRUE(run.Heard(expected)) << c.name;
      EXPECT_LT(run.Find(question), run.Find(run.Say(kWhichChampionship))) << c.name;
    }
    EXPECT_TRUE(run.Heard({"sound:PLTANA2", c.first_sum_heard})) << c.name;
    const auto record = ReadWholeFile(run.teacher_files.record_file);
    ASSERT_TRUE(record) << c.name;
    const RecordReading read = ReadPlayRecord(*record);
    ASSERT_EQ(read.rows.size(), 1u) << c.name;
    EXPECT_EQ(read.rows[0].child, c.child == nullptr ? "" : c.child) << c.name;
    EXPECT_EQ(read.rows[0].outcome, Outcome::kGoal) << c.name;
    EXPECT_TRUE(record->starts_with(kRecordHeader)) << c.name;
  }
}

}  // namespace
}  // namespace placarim::game::testing
