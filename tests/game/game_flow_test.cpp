// Whole games: scripted keys in, the sequence of sounds and texts and the
// screen out.
#include <gtest/gtest.h>

#include "game/message_keys.h"
#include "game/sum_player.h"
#include "tests/game/game_harness.h"

namespace placarim::game::testing {
namespace {

const char* kTwoPhases =
    "Para o professor\r\n"
    "*Primeiro\r\n"
    "2 + 3 = 5\r\n"
    "4+4=8\r\n"
    "\r\n"
    "7 x 2 = 14\r\n"
    "*Segundo\r\n"
    "1+1=2\r\n";

// The sum 2+3=... as the game voices it.
std::vector<std::string> Presented(const std::string& a, const std::string& op_key,
                                   const std::string& b) {
  return {"sound:PLTANA2", a, "sound:" + op_key, b, "sound:PLIGUAL"};
}

TEST(GameFlow, ChampionshipWonWithoutAMiss) {
  GameRun run;
  run.WriteExerciseFile(kTwoPhases);
  run.speech.ini["PLACARIM/DIRPLACARIM"] = "/sons/placarim";
  for (const char* step : {"1", "5\r", "8\r", "14\r", "a", "\x1b", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);

  EXPECT_EQ(run.speech.log.front(), "start:0:/sons/placarim");
  EXPECT_TRUE(run.Heard({"sound:PLMUSINI", run.Say(kGameStarts)}));
  EXPECT_FALSE(run.speech.speak_punctuation);
  EXPECT_TRUE(run.Heard(Presented("sound:2", "PLMAIS", "sound:3")));
  EXPECT_TRUE(run.Heard({"sound:PLCHUTE", "say:Gol! ", "say:Gol de placa!"}));
  EXPECT_TRUE(run.Heard(Presented("sound:7", "PLVEZES", "sound:2")));
  // The phase won is announced between the phases, never after the last one.
  EXPECT_EQ(run.Count(run.Say(kPhaseWon)), 1);
  EXPECT_TRUE(run.Heard({"sound:PLTANA", "sound:PLUAU", run.Say(kPhaseWon), "sound:PLTANA",
                         run.Say(kPhaseStarts), "spell:2", "sound:PLTANA3"}));
  EXPECT_TRUE(run.Heard({"say:Gol de placa!", "sound:PLUAU", run.Say(kChampionshipWon),
                         "sound:PLPALMAS", "sound:PLMUSFIM", run.Say(kGameEnds)}));
  EXPECT_EQ(run.Count(run.Say(kPhaseLost)), 0);
  EXPECT_EQ(run.speech.log.back(), "finish");

  // Only ENTER leaves the championship screen: "a" and ESC change nothing.
  ASSERT_GE(run.snapshots.size(), 8u);
  const Snapshot& won = run.snapshots[4];
  EXPECT_EQ(run.snapshots[5].log_size, won.log_size);
  EXPECT_EQ(run.snapshots[6].log_size, won.log_size);
  EXPECT_EQ(run.snapshots[6].rows, won.rows);
  // Then the credits, in white and yellow on black, until any key.
  const Snapshot& credits = run.snapshots[7];
  EXPECT_NE(credits.rows[3].find("O PLACARIM"), std::string::npos);
  EXPECT_EQ(credits.Fg(4, 3), 15);
  EXPECT_EQ(credits.Fg(4, 8), 14);
}

TEST(GameFlow, PhaseScreenShowsTheSumsAsTyped) {
  GameRun run;
  run.WriteExerciseFile(kTwoPhases);
  for (const char* step : {"1", "5\r", "8\r", "14\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  ASSERT_GE(run.snapshots.size(), 3u);
  const Snapshot& first_sum = run.snapshots[1];
  EXPECT_EQ(first_sum.rows[1], "Placarim");
  EXPECT_EQ(first_sum.rows[3], Cp1252("Tem início agora a fase 1"));
  EXPECT_EQ(first_sum.rows[6], "2+3=");
  EXPECT_EQ(first_sum.cursor_x, 5);  // the answer is typed right after "="
  EXPECT_EQ(first_sum.cursor_y, 6);
  const Snapshot& second_sum = run.snapshots[2];
  EXPECT_EQ(second_sum.rows[6], "2+3=5");
  EXPECT_EQ(second_sum.rows[7], "Gol! Gol de placa!");
  EXPECT_EQ(second_sum.rows[9], "4+4=");
}

TEST(GameFlow, TitleAndMenuOnStartUp) {
  GameRun run;
  run.WriteExerciseFile(kTwoPhases);
  run.Keys("\x1b");
  run.Play();
  ASSERT_EQ(run.snapshots.size(), 1u);
  const Snapshot& menu = run.snapshots[0];
  EXPECT_EQ(menu.rows[1], std::string(kTitleLine));
  EXPECT_NE(menu.rows[1].find("v1.0"), std::string::npos);
  EXPECT_EQ(menu.rows[3], Cp1252("Tem início o jogo Placarim"));
  EXPECT_EQ(menu.rows[6], Cp1252("Em que campeonato você quer jogar?"));
  EXPECT_EQ(menu.rows[8], "1 - Treino no quintal");
  EXPECT_EQ(menu.rows[16], "9 - Copa do Mundo");
  EXPECT_EQ(menu.rows[19], Cp1252("Digite TAB para treinamento tático avançado (só para craques)"));
  EXPECT_TRUE(run.Heard({"sound:1", run.Say("PLNIVEL1"), "sound:2", run.Say("PLNIVEL2")}));
}

TEST(GameFlow, MissOnTheLastSumReplaysThePhaseFreshlyShuffled) {
  GameRun run;
  run.WriteExerciseFile("*t\r\n2+3=5\r\n1+1=2\r\n");
  // First deal: no swap; phrases 1 and 1; the replay's deal swaps the two sums.
  for (int i = 0; i < 42; ++i) run.random.draws.push_back(1);
  run.random.draws.insert(run.random.draws.end(), {1, 2});
  for (const char* step : {"1", "5\r", "3\r", "2\r", "5\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);

  const size_t miss = run.Find("say:Uh! ");
  ASSERT_NE(miss, std::string::npos);
  EXPECT_TRUE(run.Heard({"sound:PLCHUTE", "say:Uh! ", "say:Gol contra!"}, miss - 1));
  EXPECT_TRUE(run.Heard({run.Say(kPhaseLost), run.Say(kPhaseReplay), "sound:PLTANA",
                         run.Say(kPhaseStarts), "spell:1", "sound:PLTANA3", "sound:PLTANA2",
                         "sound:1", "sound:PLMAIS", "sound:1"},
                        miss));
  EXPECT_EQ(run.Count(run.Say(kPhaseWon)), 0);
  EXPECT_EQ(run.Count(run.Say(kChampionshipWon)), 1);
}

TEST(GameFlow, ChampionshipWithoutPhasesIsWonAtOnce) {
  GameRun run;
  run.WriteExerciseFile("*Vazio\r\n*Outro\r\n1+1=2\r\n");
  for (const char* step : {"1", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  EXPECT_EQ(run.Count("sound:PLTANA2"), 0);
  EXPECT_TRUE(run.Heard({"char:1", "sound:PLUAU", run.Say(kChampionshipWon)}));
  ASSERT_GE(run.snapshots.size(), 2u);
  bool title_shown = false;
  for (const std::string& row : run.snapshots[1].rows) title_shown |= row == "Vazio";
  EXPECT_TRUE(title_shown);
}

TEST(GameFlow, EscOnTheMenuEndsWithoutCredits) {
  GameRun run;
  run.WriteExerciseFile(kTwoPhases);
  run.Keys("\x1b");
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.Heard({run.Say(kGivesUp), run.Say(kGameEnds), "finish"}));
  EXPECT_EQ(run.snapshots.size(), 1u);  // no wait on a credits screen
  for (int y = 1; y <= 25; ++y) EXPECT_EQ(run.Row(y).find("O PLACARIM"), std::string::npos);
}

TEST(GameFlow, EscWhileAnsweringShowsTheCredits) {
  GameRun run;
  run.WriteExerciseFile(kTwoPhases);
  for (const char* step : {"1", "12\x1b", "x"}) run.Keys(step);
  const int64_t before = run.fake.clock.NowMs();
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.Heard({"char:1", "char:2", run.Say(kGivesUp), "finish"}));
  EXPECT_EQ(run.Count("sound:PLCHUTE"), 0);
  ASSERT_EQ(run.snapshots.size(), 3u);
  EXPECT_NE(run.snapshots[2].rows[3].find("O PLACARIM"), std::string::npos);
  EXPECT_GE(run.snapshots[2].time_ms - before, 2000);  // the pause after giving up
}

struct MenuCase {
  const char* name;
  std::vector<std::string> keys;  // ends with ESC
  int questions;                  // times PLNIVEL was said
  int lists;                      // times the list was read
  int refusals;                   // PLDENOVO
};

TEST(GameFlow, MenuKeys) {
  const MenuCase cases[] = {
      {"zero is refused like a letter", {"0", "\x1b"}, 2, 2, 1},
      {"a letter", {"q", "\x1b"}, 2, 2, 1},
      {"an arrow", {}, 2, 2, 1},
      {"ENTER repeats the question only", {"\r", "\r", "\x1b"}, 3, 1, 0},
      {"Backspace is ignored", {"\b", "\b", "\x1b"}, 1, 1, 0},
  };
  for (const MenuCase& c : cases) {
    GameRun run;
    run.WriteExerciseFile(kTwoPhases);
    if (c.keys.empty()) {
      run.Press(vk::kUp);
      run.Keys("\x1b");
    }
    for (const std::string& key : c.keys) run.Keys(key);
    EXPECT_EQ(run.Play(), 0) << c.name;
    EXPECT_EQ(run.Count(run.Say(kWhichChampionship)), c.questions) << c.name;
    EXPECT_EQ(run.Count(run.Say("PLNIVEL9")), c.lists) << c.name;
    EXPECT_EQ(run.Count(run.Say(kMenuAgain)), c.refusals) << c.name;
    EXPECT_EQ(run.Count(run.Say(kGivesUp)), 1) << c.name;
  }
}

TEST(GameFlow, MenuIsShownAgainOnAClearedPlayArea) {
  GameRun run;
  run.WriteExerciseFile(kTwoPhases);
  for (const char* step : {"0", "\x1b"}) run.Keys(step);
  run.Play();
  ASSERT_EQ(run.snapshots.size(), 2u);
  const Snapshot& again = run.snapshots[1];
  EXPECT_EQ(again.rows[1], std::string(kTitleLine));
  EXPECT_EQ(again.rows[2], "");
  EXPECT_EQ(again.rows[4], Cp1252("Em que campeonato você quer jogar?"));
  EXPECT_EQ(again.rows[6], "1 - Treino no quintal");
}

TEST(GameFlow, TabOnTheMenuOpensTheTrainingFieldThenTheMenu) {
  GameRun run;
  run.WriteExerciseFile(kTwoPhases);
  run.Keys("\t");
  run.Keys("\x1b");  // leaves the field
  run.Keys("\x1b");  // leaves the game
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.Heard({"sound:PLTANA3", run.Say(kFieldOpens), "sound:PLINITRT"}));
  EXPECT_EQ(run.Count(run.Say("PLNIVEL9")), 2);
  EXPECT_EQ(run.Count(run.Say(kMenuAgain)), 0);
}

TEST(GameFlow, HelpSpoilsThePhase) {
  struct Case {
    const char* name;
    std::vector<std::string> help;  // after choosing championship 1
    std::vector<std::string> heard;
  };
  const Case cases[] = {
      {"TAB as an answer opens the field", {"12\t", "\x1b"}, {"say:" + Cp1252("Tem início o treino no Campo Federal da Tabuadona!")}},
      {"\".\" then N goes on", {".\r", "N"}, {"say:Quer conferir na tabuada?", "char:N"}},
      {"\".\" then ENTER opens the check table", {".\r", "\r", "\r"},
       {"say:Conferindo na tabuadinha!"}},
  };
  for (const Case& c : cases) {
    GameRun run;
    run.WriteExerciseFile("*t\r\n2+3=5\r\n1+1=2\r\n");
    run.Keys("1");
    for (const std::string& key : c.help) run.Keys(key);
    for (const char* step : {"2\r", "5\r", "2\r", "\r", " "}) run.Keys(step);
    EXPECT_EQ(run.Play(), 0) << c.name;
    EXPECT_TRUE(run.Heard(c.heard)) << c.name;
    // The help is no kick: the next sum follows, then the phase is replayed.
    EXPECT_EQ(run.Count("sound:PLCHUTE"), 3) << c.name;
    EXPECT_EQ(run.Count(run.Say(kPhaseReplay)), 1) << c.name;
    EXPECT_EQ(run.Count(run.Say(kChampionshipWon)), 1) << c.name;
  }
}

TEST(GameFlow, DamagedLineEndsTheGameWhenItComesUp) {
  GameRun run;
  const std::string file = "*t\r\n1+1=2\r\n3\t+4=7\r\n";
  run.WriteExerciseFile(file);
  for (const char* step : {"1", "2\r"}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  EXPECT_EQ(ReadWholeFile(run.exercise_path), file);  // only ever read
  EXPECT_EQ(run.Count("sound:PLCHUTE"), 1);
  EXPECT_TRUE(run.Heard({run.Say(kDamagedSum), "text:3\t+4=7", "finish"}));
  EXPECT_EQ(run.snapshots.size(), 2u);  // no credits screen
}

// A key held down in an editor makes a line of megabytes; echoing it whole
// took tens of seconds of scrolling before the game could end.
TEST(GameFlow, HugeDamagedLineIsShownInTwoScreenLines) {
  const std::string huge(5 << 20, '7');
  struct Case {
    std::string line;
    std::string shown;
  };
  const Case cases[] = {
      {huge, std::string(159, '7') + "\x85"},
      {std::string(160, '7'), std::string(160, '7')},
      {std::string(161, '7'), std::string(159, '7') + "\x85"},
      {"3\t+4=7", "3\t+4=7"},
      {std::string("2+3\0=5\x01", 7), "2+3?=5?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DamagedLineShown(c.line), c.shown) << c.line.size();
  }
  GameRun run;
  run.WriteExerciseFile("*t\r\n" + huge + "\r\n");
  run.Keys("1");
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.Heard({run.Say(kDamagedSum), "text:" + cases[0].shown, "finish"}));
}

TEST(GameFlow, MissingExerciseFileEndsAtStartUp) {
  GameRun run;
  run.speech.ini["PLACARIM/CONFIGPLACARIM"] = "/nonexistent/placarim.cnf";
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.Heard({run.Say(kGameStarts), run.Say(kFileMissing), "finish"}));
  EXPECT_EQ(run.Count(run.Say(kWhichChampionship)), 0);
  EXPECT_TRUE(run.snapshots.empty());
}

TEST(GameFlow, DirectoryAsExerciseFileCountsAsMissing) {
  GameRun run;
  run.speech.ini["PLACARIM/CONFIGPLACARIM"] = "/";
  run.Keys("1");
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.Heard({run.Say(kGameStarts), run.Say(kFileMissing), "finish"}));
  EXPECT_EQ(run.Count(run.Say(kWhichChampionship)), 0);
}

TEST(GameFlow, RefusedChampionshipsEndTheGame) {
  std::string thirty_one = "*t\r\n";
  for (int i = 0; i < 31; ++i) thirty_one += "1+1=2\r\n";
  struct Case {
    std::string file;
    const char* choice;
    std::vector<std::string> heard;
  };
  const Case cases[] = {
      {"*um\r\n1+1=2\r\n", "2", {"char:2", "say:" + Cp1252("Arquivo placarim.cnf está estragado, verifique!"), "finish"}},
      {thirty_one, "1", {"say:" + Cp1252("Só posso realizar 30 jogos por fase"),
                         "say:" + Cp1252("Arquivo placarim.cnf está estragado, verifique!"), "finish"}},
  };
  for (const Case& c : cases) {
    GameRun run;
    run.WriteExerciseFile(c.file);
    run.Keys(c.choice);
    EXPECT_EQ(run.Play(), 0) << c.choice;
    EXPECT_TRUE(run.Heard(c.heard)) << c.choice;
  }
}

TEST(GameFlow, DefaultExerciseFileIsLookedUpByItsPlainName) {
  GameRun run;
  EXPECT_EQ(run.Play(), 0);  // no such file in the test's working directory
  EXPECT_TRUE(run.Heard({run.Say(kFileMissing)}));
}

}  // namespace
}  // namespace placarim::game::testing
