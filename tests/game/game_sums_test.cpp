// Playing one sum: answers, the counting-out after a miss, the refusal of bad
// characters, and how messages choose between recordings and speech.
#include <gtest/gtest.h>

#include "game/message_keys.h"
#include "game/narrator.h"
#include "tests/game/game_harness.h"

namespace placarim::game::testing {
namespace {

// Plays a one-sum championship: the answer, then (after a miss) the right one.
struct AnswerCase {
  const char* line;
  std::vector<std::string> answer;
  bool goal;
};

TEST(PlayingASum, AnswersAreComparedAsTextWithTheFilesResult) {
  const AnswerCase cases[] = {
      {"3+4=7", {"7\r"}, true},
      {"3+4=7", {"07\r"}, false},
      {"3+4=7", {"7.\r"}, false},
      {"3+4=7", {"7.0\r"}, false},
      {"3+4=7", {"3.5\r"}, false},
      {"3+4=7", {"8\b7\r"}, true},
      {"3+4=007", {"7\r"}, true},
      {"2+2=5", {"5\r"}, true},
      {"2+2=5", {"4\r"}, false},
      {"3+4=7 sete", {"7\r"}, true},
  };
  for (const AnswerCase& c : cases) {
    GameRun run;
    run.WriteExerciseFile(std::string("*t\r\n") + c.line + "\r\n");
    run.Keys("1");
    for (const std::string& key : c.answer) run.Keys(key);
    if (!c.goal) run.Keys(std::to_string(ParseSum(c.line)->r) + "\r");  // the replay
    run.Keys("\r");
    run.Keys(" ");
    EXPECT_EQ(run.Play(), 0) << c.line << " " << c.answer[0];
    const size_t kick = run.Find("sound:PLCHUTE");
    ASSERT_NE(kick, std::string::npos) << c.line;
    EXPECT_EQ(run.speech.log[kick + 1], c.goal ? "say:Gol! " : "say:Uh! ") << c.line << " " << c.answer[0];
  }
}

TEST(PlayingASum, AnExtendedKeyEndingTheAnswerIsAMiss) {
  GameRun run;
  run.WriteExerciseFile("*t\r\n3+4=7\r\n");
  run.Keys("1");
  run.Press(vk::kUp);
  for (const char* step : {"7\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.Heard({"sound:PLCHUTE", "say:Uh! "}));
}

TEST(PlayingASum, EmptyAnswerPresentsTheSameSumAgain) {
  GameRun run;
  run.WriteExerciseFile("*t\r\n12+5=17\r\n");
  for (const char* step : {"1", "\r", "17\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  EXPECT_EQ(run.Count("sound:PLTANA2"), 2);
  EXPECT_TRUE(run.Heard({"sound:PLTANA2", "text:12", "sound:PLMAIS", "sound:5", "sound:PLIGUAL",
                         "sound:PLTANA2", "text:12"}));
  EXPECT_EQ(run.Count(run.Say(kPhaseReplay)), 0);
}

TEST(PlayingASum, OtherCharactersAreRefusedAndTheAnswerAskedAgain) {
  GameRun run;
  run.WriteExerciseFile("*t\r\n3+4=7\r\n");
  for (const char* step : {"1", "1a\r", "7\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.Heard({run.Say(kBadAnswerKey), "char:7", "sound:PLCHUTE", "say:Gol! "}));
  EXPECT_EQ(run.Count("sound:PLTANA2"), 1);
  EXPECT_EQ(run.Count(run.Say(kPhaseReplay)), 0);  // costs nothing
  ASSERT_EQ(run.speech.edits.size(), 2u);
  EXPECT_EQ(run.speech.edits[0].x, 5);
  EXPECT_EQ(run.speech.edits[0].max_length, 10);
  // The message follows the refused text; the new answer starts the line below.
  EXPECT_EQ(run.speech.edits[1].x, 1);
  EXPECT_EQ(run.speech.edits[1].y, run.speech.edits[0].y + 1);
  ASSERT_GE(run.snapshots.size(), 3u);
  EXPECT_EQ(run.snapshots[2].rows[run.speech.edits[0].y],
            "3+4=1a" + *run.catalogue.Find("PLERRTEC"));
}

TEST(PlayingASum, SmallAdditionsAndSubtractionsAreCountedOutAfterAMiss) {
  GameRun run;
  run.WriteExerciseFile("*t\r\n10-3=7\r\n1+1=2\r\n");
  for (const char* step : {"1", "1\r", "2\r", "7\r", "2\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  std::vector<std::string> counting = {"say:Uh! ", "say:Gol contra!", run.Say(kCounting), "text:10"};
  counting.insert(counting.end(), 10, "sound:PLCLOK");
  counting.insert(counting.end(), {"sound:PLMENOS", "sound:3"});
  counting.insert(counting.end(), 3, "sound:PLCLOK");
  counting.insert(counting.end(), {"sound:PLIGUAL", "sound:7", "sound:PLTANA2"});
  EXPECT_TRUE(run.Heard(counting));
  ASSERT_GE(run.snapshots.size(), 3u);
  // Half a second after each of the 13 counting sounds, and four more pauses:
  // after the first number, around the operator, and before "=".
  EXPECT_GE(run.snapshots[2].time_ms - run.snapshots[1].time_ms, 17 * 500);
  const auto& rows = run.snapshots[2].rows;
  EXPECT_NE(std::find(rows.begin(), rows.end(), "10-3=7"), rows.end());
}

TEST(PlayingASum, OnlySmallAdditionsAndSubtractionsAreCounted) {
  for (const char* line : {"12+5=17", "3x4=12", "3-11=0", "8:2=4"}) {
    GameRun run;
    run.WriteExerciseFile(std::string("*t\r\n") + line + "\r\n");
    const std::string right = std::string(line).substr(std::string(line).find('=') + 1);
    for (const std::string& step : {std::string("1"), std::string("99\r"), right + "\r",
                                    std::string("\r"), std::string(" ")}) {
      run.Keys(step);
    }
    EXPECT_EQ(run.Play(), 0) << line;
    EXPECT_EQ(run.Count("say:Uh! "), 1) << line;
    EXPECT_EQ(run.Count(run.Say(kCounting)), 0) << line;
    EXPECT_EQ(run.Count("sound:PLCLOK"), 0) << line;
  }
}

class NarratorTest : public ::testing::Test {
 protected:
  GameRun run;
  Narrator narrator{run.console, run.speech, run.random};
};

TEST_F(NarratorTest, PhaseSentenceAndNumberShareALine) {
  run.console.GotoXY(1, 5);
  narrator.SayMessage(kPhaseStarts, 0);
  Write(run.console, "3");
  EXPECT_EQ(run.Row(5), Cp1252("Tem início agora a fase 3"));
  EXPECT_EQ(run.speech.log, std::vector<std::string>{run.Say(kPhaseStarts)});
}

TEST_F(NarratorTest, UnknownKeyWritesAFramedNoticeAndSaysNothing) {
  run.console.GotoXY(1, 5);
  narrator.SayMessage("plinic", 1);
  EXPECT_EQ(run.Row(5), "");
  EXPECT_EQ(run.Row(6), std::string(36, '-'));
  EXPECT_EQ(run.Row(7), "--- mensagem errada: plinic ---");
  EXPECT_EQ(run.Row(8), std::string(36, '-'));
  EXPECT_EQ(run.Row(9), "");
  EXPECT_EQ(run.console.WhereY(), 11);  // the blank line, then the one line break
  EXPECT_EQ(run.speech.log, std::vector<std::string>{"say:"});

  run.speech.recordings.insert("PLXYZ");
  narrator.SayMessage("PLXYZ", 0);
  EXPECT_EQ(run.speech.log.back(), "sound:PLXYZ");
}

TEST_F(NarratorTest, RecordingsArePreferredKeyByKey) {
  run.speech.recordings = {"PLGOL", "PLNGOL13", "PLFIM"};
  run.random.draws = {7, 13};
  narrator.SayGoal();
  narrator.SayMiss();
  narrator.SayMessage(kGameEnds, 1);
  narrator.SayMessage(kGameStarts, 1);
  EXPECT_EQ(run.speech.log,
            (std::vector<std::string>{"sound:PLGOL", "say:Gol no canto direito!", "say:Uh! ",
                                      "sound:PLNGOL13", "sound:PLFIM", run.Say(kGameStarts)}));
  EXPECT_EQ(run.Row(1), "Gol! Gol no canto direito!");
  EXPECT_EQ(run.Row(2), "Uh! Foi chutar a bola e acertou no juiz!");
}

}  // namespace
}  // namespace placarim::game::testing
