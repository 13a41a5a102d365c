// The check table and the training field, walked key by key.
#include <gtest/gtest.h>

#include "game/times_tables.h"
#include "tests/game/game_harness.h"

namespace placarim::game::testing {
namespace {

constexpr int kYellow = 14;
constexpr int kLightGrey = 7;

class TimesTablesTest : public ::testing::Test {
 protected:
  // The log from the first key on (the opening sentences dropped).
  std::vector<std::string> AfterOpening() const {
    const size_t first = run.snapshots.empty() ? 0 : run.snapshots[0].log_size;
    return {run.speech.log.begin() + static_cast<long>(first), run.speech.log.end()};
  }
  int Beeps() const { return run.Count("beep"); }

  GameRun run;
  Narrator narrator{run.console, run.speech, run.random};
  TimesTables tables{run.console, run.speech, narrator};
};

std::vector<std::string> Row(const std::string& a, const std::string& op_key, int i,
                             const std::string& value) {
  return {"text:" + a, "sound:" + op_key, "text:" + std::to_string(i), "sound:PLIGUAL", "text:" + value};
}

TEST_F(TimesTablesTest, CheckTableDrawsElevenRowsAtColumnThirty) {
  struct Case {
    int a;
    char op;
    const char* first;
    const char* second;
    const char* last;
  };
  const Case cases[] = {
      {7, '-', " 7 -  0 =  7", " 7 -  1 =  6", " 7 - 10 = -3"},
      {12, ':', "12 :  0 =  0", "12 :  1 = 12", "12 : 10 =  1"},
      {3, 'x', " 3 x  0 =  0", " 3 x  1 =  3", " 3 x 10 = 30"},
      {123, '+', "123 +  0 = 123", "123 +  1 = 124", "123 + 10 = 133"},
  };
  for (const Case& c : cases) {
    GameRun one;
    Narrator n{one.console, one.speech, one.random};
    TimesTables t{one.console, one.speech, n};
    one.Keys("\x1b");
    t.TimesTableCheck(c.a, c.op);
    ASSERT_EQ(one.snapshots.size(), 1u);
    const Snapshot& shown = one.snapshots[0];
    const std::string indent(29, ' ');
    EXPECT_EQ(shown.rows[3], "Conferindo na tabuadinha!");
    EXPECT_EQ(shown.rows[6], indent + c.first) << c.a << c.op;
    EXPECT_EQ(shown.rows[7], indent + c.second) << c.a << c.op;
    EXPECT_EQ(shown.rows[16], indent + c.last) << c.a << c.op;
    for (int y = 2; y <= 25; ++y) EXPECT_EQ(one.Row(y), "") << "cleared on closing, row " << y;
  }
}

TEST_F(TimesTablesTest, CheckTableTopEdgeAndTheLettersHAndP) {
  for (const char* key : {"P", "H", "H", "\x1b"}) run.Keys(key);
  tables.TimesTableCheck(7, '-');
  std::vector<std::string> expected = Row("7", "PLMENOS", 0, "7");
  expected.insert(expected.end(), {"beep", "beep", "beep"});  // outside above, again, and ESC there
  EXPECT_EQ(AfterOpening(), expected);
  // Row 0 was highlighted while it was selected, and grey again afterwards.
  ASSERT_EQ(run.snapshots.size(), 4u);
  EXPECT_EQ(run.snapshots[1].Fg(30, 6), kYellow);
  EXPECT_NE(run.snapshots[1].Fg(30, 7), kYellow);
  EXPECT_EQ(run.snapshots[2].Fg(30, 6), kLightGrey);
}

TEST_F(TimesTablesTest, CheckTableBottomEdgeAndKeysWithoutMeaning) {
  for (int i = 0; i < 11; ++i) run.Press(vk::kDown);
  run.Keys("q");
  run.Press(vk::kDown);
  run.Press(vk::kDown);
  run.Keys("\r");
  tables.TimesTableCheck(12, ':');
  const auto log = AfterOpening();
  EXPECT_TRUE(run.Heard(Row("12", "PLDIVID", 0, "0")));
  EXPECT_TRUE(run.Heard(Row("12", "PLDIVID", 10, "1")));
  // At row 10, "q" beeps and row 10 stays selected and is said again; Down
  // leaves the table below with a beep, Down there beeps, ENTER there beeps.
  std::vector<std::string> expected = {"beep"};
  const auto again = Row("12", "PLDIVID", 10, "1");
  expected.insert(expected.end(), again.begin(), again.end());
  expected.insert(expected.end(), {"beep", "beep", "beep"});
  EXPECT_EQ(std::vector<std::string>(log.end() - 9, log.end()), expected);
  EXPECT_EQ(Beeps(), 4);
}

TEST_F(TimesTablesTest, CheckTableKeyWithoutMeaningOutsideGivesTwoBeeps) {
  for (const char* key : {"q", "\r"}) run.Keys(key);
  tables.TimesTableCheck(5, 'x');
  EXPECT_EQ(AfterOpening(), (std::vector<std::string>{"beep", "beep", "beep"}));
}

// A character typed with AltGr is one key without meaning, not two: the
// table beeps for it once (and once more for being outside) as for "q".
TEST_F(TimesTablesTest, CheckTableTakesAnAltGrCharacterAsOneKey) {
  run.AltGr(vk::kA + ('Q' - 'A'), '/');
  run.Keys("\r");
  tables.TimesTableCheck(5, 'x');
  EXPECT_EQ(AfterOpening(), (std::vector<std::string>{"beep", "beep", "beep"}));
}

TEST_F(TimesTablesTest, TrainingFieldIntroductionAndGrid) {
  run.Keys("\x1b");
  tables.TimesTableField();
  ASSERT_EQ(run.snapshots.size(), 1u);
  const Snapshot& field = run.snapshots[0];
  EXPECT_EQ(field.rows[3], "Tem in\xED" "cio o treino no Campo Federal da Tabuadona!");
  const std::string indent(15, ' ');
  EXPECT_EQ(field.rows[6], indent + "*     0   1   2   3   4   5   6   7   8   9");
  EXPECT_EQ(field.rows[7], indent + "   " + std::string(40, '-'));
  EXPECT_EQ(field.rows[8], indent + "0 |   0   0   0   0   0   0   0   0   0   0");
  EXPECT_EQ(field.rows[17], indent + "9 |   0   9  18  27  36  45  54  63  72  81");
  EXPECT_EQ(field.rows[20], "Use as setinhas para andar");
  EXPECT_EQ(field.rows[22], "Professor: Aperte ESPA\xC7O para ler s\xF3 a conta");
  EXPECT_EQ(field.rows[24], "           HOME: volta ao in\xED" "cio da linha");
  EXPECT_EQ(field.cursor_x, 16);
  EXPECT_EQ(field.cursor_y, 6);
  EXPECT_EQ(run.speech.log,
            (std::vector<std::string>{"sound:PLTANA3", run.Say("PLTREITB"), "sound:PLINITRT",
                                      run.Say("PLUSESET"), run.Say("PLAPENTR")}));
  for (int y = 2; y <= 25; ++y) EXPECT_EQ(run.Row(y), "") << y;
}

TEST_F(TimesTablesTest, EnterOrSpaceFirstSayNothingAndSelectTheTopLeftCell) {
  for (const char* first : {"\r", " "}) {
    GameRun one;
    Narrator n{one.console, one.speech, one.random};
    TimesTables t{one.console, one.speech, n};
    one.Keys(first);
    one.Keys("\x1b");
    t.TimesTableField();
    ASSERT_EQ(one.snapshots.size(), 2u);
    EXPECT_EQ(one.speech.log.size(), one.snapshots[0].log_size) << "said something";
    const Snapshot& selected = one.snapshots[1];
    EXPECT_EQ(selected.Fg(22, 8), kYellow);  // the product 0 x 0
    EXPECT_EQ(selected.Fg(22, 6), kYellow);  // column header 0
    EXPECT_EQ(selected.Fg(16, 8), kYellow);  // row label 0
    EXPECT_NE(selected.Fg(26, 8), kYellow);
  }
}

TEST_F(TimesTablesTest, RightTenTimesReachesColumnNineAndStays) {
  for (int i = 0; i < 11; ++i) run.Press(vk::kRight);
  run.Keys("\x1b");
  tables.TimesTableField();
  std::vector<std::string> expected;
  for (int c : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9}) {
    expected.push_back("text:0");
    expected.push_back("spell:" + std::to_string(c));
  }
  EXPECT_EQ(AfterOpening(), expected);
  EXPECT_EQ(run.snapshots.back().Fg(58, 8), kYellow);  // last digit of 0 x 9
  EXPECT_EQ(run.snapshots.back().Fg(58, 6), kYellow);
}

TEST_F(TimesTablesTest, ReadingModesAndTheOtherKeys) {
  run.Keys("\t");         // result mode: one beep; row 0, column 0 selected
  run.Press(vk::kDown);   // row 1: 1 x 0
  run.Press(vk::kDown);   // row 2: 2 x 0
  run.Press(vk::kRight);  // column 1: 2 x 1
  run.Keys("\t");         // position mode: two beeps
  run.Press(vk::kRight);  // row 2, column 2
  run.Keys("\r");
  run.Keys(" ");
  run.Press(vk::kHome);
  run.Press(vk::kUp);
  run.Press(vk::kUp);
  run.Press(vk::kUp);     // against the edge: announced again
  run.Press(vk::kLeft);
  for (int i = 0; i < 10; ++i) run.Press(vk::kDown);
  run.Keys("\x1b");
  tables.TimesTableField();
  std::vector<std::string> expected = {
      "beep", "text:0", "text:0", "text:2", "beep", "beep", "text:2", "spell:2",
      "sound:2", "sound:PLVEZES", "sound:2", "sound:PLIGUAL", "text:4",
      "sound:2", "sound:PLVEZES", "sound:2", "beep",
      "text:2", "spell:0", "text:1", "spell:0", "text:0", "spell:0", "text:0", "spell:0",
      "text:0", "spell:0"};
  for (int r : {1, 2, 3, 4, 5, 6, 7, 8, 9, 9}) {
    expected.push_back("text:" + std::to_string(r));
    expected.push_back("spell:0");
  }
  EXPECT_EQ(AfterOpening(), expected);
}

TEST_F(TimesTablesTest, FieldStartsAfreshEachTime) {
  run.Keys("\t");
  run.Press(vk::kRight);
  run.Keys("\x1b");
  run.Press(vk::kRight);
  run.Keys("\x1b");
  tables.TimesTableField();
  tables.TimesTableField();
  // Result mode and column 0 the first time; position mode and column 0 again.
  EXPECT_TRUE(run.Heard({"beep", "text:0", "sound:PLTANA3"}));
  EXPECT_EQ(run.speech.log[run.speech.log.size() - 2], "text:0");
  EXPECT_EQ(run.speech.log.back(), "spell:0");
}

}  // namespace
}  // namespace placarim::game::testing
