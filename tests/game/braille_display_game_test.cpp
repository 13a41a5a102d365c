// A whole game with a braille display: what the display shows while the menu
// is read, while a sum is answered and after it, and an answer typed and
// corrected on the display itself.
#include <gtest/gtest.h>

#include "braille/braille_text.h"
#include "game/message_catalogue.h"
#include "tests/game/program_harness.h"

namespace placarim::game::testing {
namespace {

using Kind = platform::BrailleKey::Kind;

const char* kOneSum = "*Treino\r\n2 + 3 = 5\r\n";

// The display's 40 cells of `text`, the cursor on cell `cursor`.
platform::BrailleWindow Cells(std::string_view text, int cursor = -1) {
  platform::BrailleWindow window;
  window.cells = braille::ToBraille(text).cells;
  if (window.cells.size() > 40) window.cells.resize(40);
  window.cursor = cursor;
  return window;
}

bool WasShown(const ProgramRun& run, const platform::BrailleWindow& window) {
  return std::find(run.braille.shown.begin(), run.braille.shown.end(), window) != run.braille.shown.end();
}

// A run of the one-sum exercise file, its phase chosen on the menu.
class BrailleDisplayGame : public ::testing::Test {
 protected:
  void SetUp() override {
    run.WriteExerciseFile(kOneSum);
    run.Keys("1");
  }
  ProgramRun run;
};

TEST_F(BrailleDisplayGame, ShowsTheMenuTheSumTheAnswerAndTheGoal) {
  // The answer typed in braille on the display: number sign, e (5), Enter.
  run.DisplayKeys({{Kind::Dots, braille::kNumberSign}, {Kind::Dots, 0x11}, {Kind::Enter, 0}});
  for (const char* step : {"\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);

  EXPECT_TRUE(WasShown(run, Cells("1 - Treino no quintal")));
  EXPECT_TRUE(WasShown(run, Cells("9 - Copa do Mundo")));
  ASSERT_GE(run.waits.size(), 2u);
  EXPECT_EQ(run.waits[0].braille, Cells(*MessageCatalogue().Find("PLNIVEL0")));  // said last
  // Waiting for the answer: the sum, the cursor where the answer goes.
  EXPECT_EQ(run.waits[1].braille, Cells("2+3=", 6));
  EXPECT_TRUE(WasShown(run, Cells("2+3=5", 8)));
  EXPECT_TRUE(WasShown(run, Cells("gol: 2+3=5")));
  EXPECT_TRUE(run.HeardRun({"PLIGUAL", "PLCHUTE", "voz:Gol"}));
}

TEST_F(BrailleDisplayGame, ARoutingKeyPutsTheAnswersCursorOnItsCell) {
  run.Keys("55");
  // "2+3=55" is 9 cells; the first 5 is cell 7: the cursor goes to it.
  run.DisplayKeys({{Kind::Routing, 7}});
  run.Press(platform::vk::kDelete);
  run.Keys("\r");
  for (const char* step : {"\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);

  EXPECT_TRUE(WasShown(run, Cells("2+3=55", 9)));
  EXPECT_TRUE(WasShown(run, Cells("2+3=55", 6)));  // on the number sign of the first 5
  EXPECT_TRUE(WasShown(run, Cells("gol: 2+3=5")));
  EXPECT_FALSE(WasShown(run, Cells("erro: 2+3=5")));
}

TEST_F(BrailleDisplayGame, TheTimesTableShowsTheRowBeingRead) {
  run.Keys(".\r");  // help: the table of the sum
  run.Keys("s");
  run.Press(platform::vk::kDown);
  run.Press(platform::vk::kDown);
  run.Keys("\x1b");
  for (const char* step : {"5\r", "\r", " "}) run.Keys(step);  // the phase again
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(WasShown(run, Cells("2+0=2")));
  EXPECT_TRUE(WasShown(run, Cells("2+1=3")));
  EXPECT_TRUE(WasShown(run, Cells("gol: 2+3=5")));
}

TEST_F(BrailleDisplayGame, EscapeOnTheDisplayGivesUp) {
  run.DisplayKeys({{Kind::Escape, 0}});
  run.Keys(" ");
  EXPECT_EQ(run.Play(), 0);
  EXPECT_NE(run.WaitShowing("O PLACARIM"), nullptr);  // the credits after giving up
}

// A key on the display cuts the game's speech short as a key on the keyboard
// does: Escape pressed 120 ms into the phase's opening words (while its third
// recording plays), from either, silences the rest and gives up at once.
TEST(BrailleDisplaySpeech, AKeyOnTheDisplaySilencesSpeechAsTheKeyboardDoes) {
  const auto heard_with_escape_from = [](const std::string& source, int64_t after_ms = 120) {
    ProgramRun run;
    run.WriteExerciseFile(kOneSum);
    run.on_wait = [&run, source, after_ms](size_t wait) {
      if (wait != 0) return;  // on the menu, as "1" starts the phase
      const int64_t key_at = run.fake.clock.NowMs() + after_ms;
      if (source == "display") run.braille.PressAt(key_at, {Kind::Escape, 0});
      if (source == "keyboard") run.fake.events.PostAt(key_at, platform::fake::keys::Type("\x1b"));
    };
    for (const char* step : {"1", " ", " "}) run.Keys(step);
    EXPECT_EQ(run.Play(), 0) << source;
    return run.Heard();
  };
  const auto count = [](const std::vector<std::string>& heard, const char* entry) {
    return std::count(heard.begin(), heard.end(), entry);
  };
  // A second later the opening has been heard to its end.
  EXPECT_EQ(count(heard_with_escape_from("keyboard", 1000), "PLTANA2"), 1);
  const auto keyboard = heard_with_escape_from("keyboard");
  EXPECT_EQ(count(keyboard, "PLTANA3"), 1);
  EXPECT_EQ(count(keyboard, "PLTANA2"), 0) << "the keyboard's Escape did not silence the opening";
  EXPECT_EQ(heard_with_escape_from("display"), keyboard);
}

}  // namespace
}  // namespace placarim::game::testing
