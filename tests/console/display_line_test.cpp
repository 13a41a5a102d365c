// The console's braille line on a fake display: the window over a long line,
// panning, the cursor, routing, typed braille and the display coming late.
#include <gtest/gtest.h>

#include "braille/braille_text.h"
#include "console/console.h"
#include "console/console_settings.h"
#include "console/display_line.h"
#include "console/keys.h"
#include "platform/fake/fake_braille_display.h"
#include "platform/fake/fake_platform.h"

namespace placarim::console {
namespace {

using Kind = platform::BrailleKey::Kind;

struct LineFixture : ::testing::Test {
  platform::fake::FakePlatform fake;
  platform::fake::FakeBrailleDisplay display{fake.events, fake.clock, 10};
  Console console{fake, ::testing::TempDir()};
  LineFixture() {
    console.Init();
    console.AttachBrailleDisplay(&display);
  }
  std::vector<uint8_t> Cells(std::string_view text, size_t from, size_t count) {
    const auto all = braille::ToBraille(text).cells;
    std::vector<uint8_t> part(all.begin() + static_cast<long>(std::min(from, all.size())),
                              all.begin() + static_cast<long>(std::min(from + count, all.size())));
    return part;
  }
  void Press(Kind kind, int value = 0) {
    display.Press({kind, value});
    console.KeyPressed();
  }
};

TEST_F(LineFixture, LongLinesPanAndFollowTheCursor) {
  const std::string text = "Campeonato 12 de futebol";  // 26 cells: three display widths
  console.Display().Show(text);
  EXPECT_EQ(display.shown.back().cells, Cells(text, 0, 10));
  EXPECT_EQ(display.shown.back().cursor, -1);
  Press(Kind::PanRight);
  EXPECT_EQ(display.shown.back().cells, Cells(text, 10, 10));
  Press(Kind::PanRight);
  EXPECT_EQ(display.shown.back().cells, Cells(text, 20, 10));
  const size_t shown = display.shown.size();
  Press(Kind::PanRight);  // nothing beyond the end
  EXPECT_EQ(display.shown.size(), shown);
  Press(Kind::PanLeft);
  EXPECT_EQ(display.shown.back().cells, Cells(text, 10, 10));
  // A cursor far on brings its window; the cursor cell counts from the window.
  console.Display().Show(text, 23);  // on the last "l": cell 25
  EXPECT_EQ(display.shown.back().cells, Cells(text, 20, 10));
  EXPECT_EQ(display.shown.back().cursor, 5);
}

TEST_F(LineFixture, RoutingKeysNameTheCharacterUnderThem) {
  console.Display().Show("7+8=15", 6);
  Press(Kind::Routing, 7);  // the 1 (after its number sign)
  EXPECT_EQ(console.ReadKey(), 0);
  EXPECT_EQ(console.ReadKey(), extended::kBrailleRouting);
  EXPECT_EQ(console.Display().TakeRouting(), 4);
  EXPECT_EQ(console.Display().TakeRouting(), -1);  // once
  Press(Kind::Routing, 9);  // past the text: after it
  console.ReadKey();
  console.ReadKey();
  EXPECT_EQ(console.Display().TakeRouting(), 6);
  console.Display().Show("Escolha o campeonato");  // no cursor: nowhere to go
  Press(Kind::Routing, 2);
  EXPECT_FALSE(console.KeyPressed());
}

TEST_F(LineFixture, TypedBrailleAndTheDisplaysKeysAreConsoleKeys) {
  for (int cell : {0x3C, 0x01, 0x11}) Press(Kind::Dots, cell);
  Press(Kind::Backspace);
  Press(Kind::Char, 'x');
  Press(Kind::Enter);
  Press(Kind::Escape);
  std::string keys;
  while (console.KeyPressed()) keys += static_cast<char>(console.ReadKey());
  EXPECT_EQ(keys, "15\bx\r\x1B");
}

TEST_F(LineFixture, ADisplayThatComesLateShowsTheLineAndComputerBrailleIsText) {
  display.SetWidth(0);
  console.KeyPressed();
  const size_t shown = display.shown.size();
  console.Display().Show("3x4=12");
  EXPECT_EQ(display.shown.size(), shown);  // nothing to show it on
  display.SetWidth(10);
  console.KeyPressed();
  EXPECT_EQ(display.shown.back().cells, Cells("3x4=12", 0, 10));
  console.Display().SetComputerBraille(true);
  EXPECT_TRUE(display.shown.back().as_text);
  EXPECT_EQ(display.shown.back().text, "3x4=12");
}

TEST(ComputerBraille, ChosenByTheBrailleSectionsTable) {
  EXPECT_TRUE(ComputerBrailleChosen(std::string(" brltty ")));
  EXPECT_TRUE(ComputerBrailleChosen(std::string("BRLTTY")));
  EXPECT_FALSE(ComputerBrailleChosen(std::string("ESCOLAR")));
  EXPECT_FALSE(ComputerBrailleChosen(std::nullopt));
}

}  // namespace
}  // namespace placarim::console
