#include <gtest/gtest.h>

#include <deque>
#include <set>

#include "game/message_catalogue.h"
#include "game/message_keys.h"
#include "game/random.h"

namespace placarim::game {
namespace {

TEST(MessageCatalogue, HoldsItsKeysWithTheirExactTexts) {
  const MessageCatalogue catalogue;
  EXPECT_EQ(catalogue.size(), 39u);  // the 35 of the game, and 4 of the class list
  struct Case {
    const char* key;
    const char* text;  // Windows-1252
  };
  const Case cases[] = {
      {"PLFASE", "Tem in\xED" "cio agora a fase "},
      {"PLGOL", "Gol! "},
      {"PLNGOL", "Uh! "},
      {"PLDENOVO", "Voc\xEA tem que digitar o n\xFAmero do campeonato.  Vou repetir."},
      {"PLERRESP", "N\xE3o, n\xE3o...  Tecle um ou mais n\xFAmeros e depois enter"},
      {"PLERREXP", "Erro em uma conta!!!  Arquivo placarim.cnf estragado!"},
      {"PLERRTEC", "N\xE3n\xE3n\xE3, \xE9 pra teclar um n\xFAmero e depois ENTER."},
      {"PLNIVEL4", "Ta\xE7" "a Inter-bairros"},
      {"PLDENOV1", "\xC9, essa fase foi dif\xED" "cil, n\xE3o deu para ganhar..."},
      {"PLNIVEL0", "Digite TAB para treinamento t\xE1tico avan\xE7" "ado (s\xF3 para craques)"},
      {"PLENTRA", "Entra em campo: "},
  };
  for (const Case& c : cases) {
    const std::string* text = catalogue.Find(c.key);
    ASSERT_NE(text, nullptr) << c.key;
    EXPECT_EQ(*text, c.text) << c.key;
  }
  // Every menu line and every key the game names has a text.
  for (char d = '0'; d <= '9'; ++d) {
    EXPECT_NE(catalogue.Find(std::string(kWhichChampionship) + d), nullptr) << d;
  }
}

TEST(MessageCatalogue, LookupIsExact) {
  const MessageCatalogue catalogue;
  for (const char* key : {"plinic", "PLINIC ", "PL", "", "PLNIVEL10", "PLGOL1", "PLTANA"}) {
    EXPECT_EQ(catalogue.Find(key), nullptr) << key;
  }
}

TEST(MessageCatalogue, CommentaryListsInOrder) {
  const MessageCatalogue catalogue;
  EXPECT_EQ(catalogue.GoalPhrase(1), "Gol de placa!");
  EXPECT_EQ(catalogue.GoalPhrase(7), "Gol no canto direito!");
  EXPECT_EQ(catalogue.GoalPhrase(23), "T\xE1 no fil\xF3!");
  EXPECT_EQ(catalogue.GoalPhrase(25), "Esse \xE9 de craque!");
  EXPECT_EQ(catalogue.MissPhrase(1), "Gol contra!");
  EXPECT_EQ(catalogue.MissPhrase(13), "Foi chutar a bola e acertou no juiz!");
  std::set<std::string> distinct;
  for (int n = 1; n <= 25; ++n) distinct.insert(catalogue.GoalPhrase(n));
  for (int n = 1; n <= 13; ++n) distinct.insert(catalogue.MissPhrase(n));
  EXPECT_EQ(distinct.size(), 38u);
}

TEST(CellValue, EveryOperatorCharacter) {
  struct Case {
    int64_t a;
    char op;
    int64_t b;
    int64_t value;
  };
  const Case cases[] = {
      {7, '+', 3, 10},  {7, '-', 10, -3}, {7, '*', 8, 56},  {7, 'x', 8, 56},
      {7, 'X', 8, 56},  {12, '/', 5, 2},  {12, ':', 4, 3},  {12, ':', 0, 0},
      {12, '/', 0, 0},  {12, '%', 3, 0},  {12, '=', 3, 0},
      {2147483647, '+', 10, 2147483657}, {2147483647, 'x', 10, 21474836470},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CellValue(c.a, c.op, c.b), c.value) << c.a << c.op << c.b;
  }
}

// Hands out scripted draws and records the ranges asked for.
class ScriptedRandom : public Random {
 public:
  explicit ScriptedRandom(std::deque<int> draws) : draws_(std::move(draws)) {}
  int Uniform(int lo, int hi) override {
    ranges.emplace_back(lo, hi);
    if (draws_.empty()) return lo;
    int value = draws_.front();
    draws_.pop_front();
    return value;
  }
  std::vector<std::pair<int, int>> ranges;

 private:
  std::deque<int> draws_;
};

TEST(ShufflePhase, TwentySwapsOfDrawnPairsWithinThePhase) {
  Championship c;
  c.phase_count = 2;
  c.sum_count = {3, 1};
  c.Sum(1, 1) = "a";
  c.Sum(1, 2) = "b";
  c.Sum(1, 3) = "c";
  c.Sum(2, 1) = "z";
  // First swap 1<->3, second 2<->3, the other 18 swap a cell with itself.
  ScriptedRandom random({1, 3, 2, 3});
  ShufflePhase(c, 1, random);
  EXPECT_EQ(c.Sum(1, 1), "c");
  EXPECT_EQ(c.Sum(1, 2), "a");
  EXPECT_EQ(c.Sum(1, 3), "b");
  EXPECT_EQ(c.Sum(2, 1), "z");
  ASSERT_EQ(random.ranges.size(), 40u);
  for (const auto& range : random.ranges) EXPECT_EQ(range, std::make_pair(1, 3));
}

TEST(SeededRandom, StaysInItsRange) {
  SeededRandom random(42);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    int v = random.Uniform(1, 25);
    ASSERT_GE(v, 1);
    ASSERT_LE(v, 25);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 25u);
}

}  // namespace
}  // namespace placarim::game
