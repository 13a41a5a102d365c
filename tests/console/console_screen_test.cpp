// The console's screen side on the fake platform: writing, the cursor,
// scrolling, colours, settings, painting, clipboard and ending.
#include <gtest/gtest.h>

#include <map>

#include "console/console_settings.h"
#include "console/console_stream.h"
#include "console_fixture.h"

namespace placarim::console {
namespace {

using platform::Rgb;

TEST_F(ConsoleTest, WindowIsCreatedByTheFirstOutputWithItsSettings) {
  fake.work_area = {2048, 1468};
  Console& c = Make("[VIDEO]\nFONTE=DejaVu Sans Mono\nPESOLETRA=400\nCANTOTELA=nao\n");
  c.GotoXY(3, 2);  // needs no window
  EXPECT_FALSE(c.Created());
  EXPECT_TRUE(fake.windows_created.empty());
  c.Write("x");
  ASSERT_EQ(fake.windows_created.size(), 1u);
  const auto& w = fake.windows_created[0];
  EXPECT_EQ(w.font_face, "DejaVu Sans Mono");
  EXPECT_EQ(w.weight, 400);
  EXPECT_EQ(w.char_width, 26);
  EXPECT_EQ(w.char_height, 56);
  EXPECT_TRUE(w.maximized);
  EXPECT_EQ(w.columns, 80);
  EXPECT_EQ(w.rows, 25);
  EXPECT_EQ(fake.screen.At(2, 1).ch, 'x');  // the cursor placed before creation stands
  c.Write("y");
  EXPECT_EQ(fake.windows_created.size(), 1u);
}

TEST_F(ConsoleTest, WritingFollowsTheCursorRules) {
  Console& c = Make();
  c.Write(std::string(80, 'a'));
  EXPECT_EQ(c.WhereX(), 81);  // deferred wrap: just past the last column
  EXPECT_EQ(c.WhereY(), 1);
  c.Write("b");
  EXPECT_EQ(c.ScreenChar(1, 2), 'b');
  EXPECT_EQ(c.WhereX(), 2);
  EXPECT_EQ(c.WhereY(), 2);

  c.GotoXY(1, 3);
  c.Write("\b");  // nothing at column 1
  EXPECT_EQ(c.WhereX(), 1);
  c.Write("ab\tc");  // tab prints nothing and does not move
  EXPECT_EQ(fake.screen.RowText(2).substr(0, 4), "abc ");
  c.Write("\b");
  EXPECT_EQ(c.WhereX(), 3);
  EXPECT_EQ(c.ScreenChar(3, 3), ' ');
  EXPECT_EQ(fake.screen.At(2, 2).ch, ' ');
  c.Write("\rZ");  // carriage return; the redrawn span reaches back to column 1
  EXPECT_EQ(fake.screen.RowText(2).substr(0, 3), "Zb ");
  c.Write("\nq");  // line feed also returns the carriage
  EXPECT_EQ(c.ScreenChar(1, 4), 'q');

  c.Write("\x07");
  EXPECT_EQ(fake.beeps, 1);
  c.Write(std::string("\x01\x0B\x0C\x1F", 4));
  EXPECT_EQ(c.WhereX(), 2);
}

TEST_F(ConsoleTest, GotoXYClampsIntoTheScreen) {
  Console& c = Make();
  const struct {
    int x, y, want_x, want_y;
  } cases[] = {{0, 0, 1, 1}, {200, 30, 80, 25}, {-5, 10, 1, 10}, {80, 25, 80, 25}, {40, -1, 40, 1}};
  for (const auto& k : cases) {
    c.GotoXY(k.x, k.y);
    EXPECT_EQ(c.WhereX(), k.want_x) << k.x << "," << k.y;
    EXPECT_EQ(c.WhereY(), k.want_y) << k.x << "," << k.y;
  }
}

TEST_F(ConsoleTest, LineFeedOnTheLastRowScrollsByRepaintWhenNotSlow) {
  Console& c = Make();
  c.Write("top");
  c.GotoXY(5, 25);
  c.Write("bottom\n");
  EXPECT_EQ(c.WhereY(), 25);
  EXPECT_EQ(c.WhereX(), 1);
  EXPECT_EQ(c.ScreenChar(5, 24), 'b');
  EXPECT_EQ(c.ScreenChar(1, 1), ' ');
  EXPECT_EQ(fake.screen.scroll_count, 0);
  EXPECT_EQ(fake.screen.RowText(23).substr(4, 6), "bottom");
  EXPECT_EQ(fake.screen.RowText(24), std::string(80, ' '));
  EXPECT_EQ(fake.screen.RowText(0).substr(0, 3), "   ");
}

TEST_F(ConsoleTest, SlowScrollingMovesPixelsWhenThePlatformCan) {
  Console& c = Make("[VIDEO]\nLENTO=Sim\nCORFUNDO=1\n");
  c.GotoXY(1, 25);
  c.Write("one\ntwo\n");
  EXPECT_EQ(fake.screen.scroll_count, 2);
  EXPECT_EQ(fake.screen.last_scroll_fill, (Rgb{0, 0, 255}));
  EXPECT_EQ(fake.screen.RowText(22).substr(0, 3), "one");
  EXPECT_EQ(fake.screen.RowText(23).substr(0, 3), "two");

  fake.screen.can_scroll_in_place = false;  // e.g. the window is not active
  c.Write("three\n");
  EXPECT_EQ(fake.screen.scroll_count, 2);
  EXPECT_EQ(fake.screen.RowText(23).substr(0, 5), "three");
  EXPECT_EQ(fake.screen.RowText(21).substr(0, 3), "one");
}

TEST_F(ConsoleTest, ManyScrollsInOneWriteRepaintOnce) {
  Console& c = Make();
  c.Write("x");
  const int before = fake.screen.present_count;
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += "line " + std::to_string(i) + "\n";
  c.Write(lines);
  EXPECT_EQ(fake.screen.present_count, before + 1);
  EXPECT_EQ(fake.screen.RowText(23).substr(0, 7), "line 99");
  EXPECT_EQ(fake.screen.RowText(0).substr(0, 7), "line 76");
}

TEST_F(ConsoleTest, RunsOfEqualAttributeAreDrawnTogether) {
  Console& c = Make();
  c.Write("");
  const int before = fake.screen.draw_calls;
  c.Write("aaa");
  c.TextColor(14);
  c.Write("bb");
  c.TextColor(15);
  c.Write("cc");
  EXPECT_EQ(fake.screen.draw_calls - before, 3);
  fake.screen.Resize(80, 25);  // forget what was drawn
  fake.Post({keys::Expose()});
  c.KeyPressed();
  EXPECT_EQ(fake.screen.RowText(0).substr(0, 8), "aaabbcc ");
  EXPECT_EQ(fake.screen.At(3, 0).fg, (Rgb{255, 255, 0}));
  EXPECT_EQ(fake.screen.At(5, 0).fg, (Rgb{255, 255, 255}));
}

TEST_F(ConsoleTest, ClearingUsesTheCurrentAttribute) {
  Console& c = Make();
  c.Write("hello world");
  c.TextBackground(4);
  c.GotoXY(6, 1);
  c.ClrEol();
  EXPECT_EQ(c.WhereX(), 6);
  EXPECT_EQ(fake.screen.RowText(0).substr(0, 7), "hello  ");
  EXPECT_EQ(c.ScreenAttr(6, 1), 0x4F);
  EXPECT_EQ(fake.screen.At(79, 0).bg, (Rgb{255, 0, 0}));
  EXPECT_EQ(c.ScreenAttr(5, 1), 0x0F);
  c.ClrScr();
  EXPECT_EQ(c.WhereX(), 1);
  EXPECT_EQ(c.ScreenChar(1, 1), ' ');
  EXPECT_EQ(c.ScreenAttr(80, 25), 0x4F);
  EXPECT_EQ(fake.screen.At(0, 0).bg, (Rgb{255, 0, 0}));
}

TEST_F(ConsoleTest, ColourChanges) {
  Console& c = Make();
  c.TextBackground(9);  // light blue, not blinking
  EXPECT_EQ(c.TextAttr(), 0x9F);
  c.Write("x");
  EXPECT_EQ(fake.screen.At(0, 0).bg, (Rgb{128, 128, 255}));
  c.TextColor(0x1E);  // only the low nibble counts
  EXPECT_EQ(c.TextAttr(), 0x9E);
  c.TextBackground(17);
  EXPECT_EQ(c.TextAttr(), 0x1E);
  c.SetTextAttr(0x70);
  EXPECT_EQ(c.TextAttr(), 0x70);
}

TEST_F(ConsoleTest, FixedColoursRefuseEveryChange) {
  for (const char* value : {"S", "sim"}) {
    Console& c = Make(std::string("[VIDEO]\nCORESFIXAS=") + value + "\nCORFUNDO=1\nCORLETRA=14\n");
    EXPECT_EQ(c.TextAttr(), 0x0F);  // before the window, the unit's default
    c.TextColor(4);
    EXPECT_EQ(c.TextAttr(), 0x1E) << value;
    c.TextBackground(2);
    c.SetTextAttr(0x07);
    EXPECT_EQ(c.TextAttr(), 0x1E) << value;
  }
}

TEST_F(ConsoleTest, ColourTableMapsLogicalColours) {
  Console& c = Make("[VIDEO]\nTABCORES=15,14\nCORFUNDO=0\nCORLETRA=1\n");
  c.Write("x");
  EXPECT_EQ(fake.screen.At(0, 0).fg, (Rgb{255, 255, 0}));    // logical 1 -> palette 14
  EXPECT_EQ(fake.screen.At(0, 0).bg, (Rgb{255, 255, 255}));  // logical 0 -> palette 15
  c.TextColor(2);
  c.Write("y");
  EXPECT_EQ(fake.screen.At(1, 0).fg, (Rgb{0, 255, 0}));
}

TEST(ColorTable, ParsesItemsUntilTheFirstBadOne) {
  const struct {
    const char* value;
    std::vector<int> first;
  } cases[] = {
      {"15,14", {15, 14, 2, 3}},
      {"", {0, 1, 2, 3}},
      {"7,x,1", {7, 0, 2, 3}},
      {"7,3x,1", {7, 3, 2, 3}},
      {" 4 , 5 ", {4, 5, 2, 3}},
      {"99,1,2,3", {99, 1, 2, 3}},
      {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,0,5", {1, 2, 3, 4}},
  };
  for (const auto& k : cases) {
    const ColorTable t = ParseColorTable(k.value);
    for (size_t i = 0; i < k.first.size(); ++i) EXPECT_EQ(t[i], k.first[i]) << k.value << " entry " << i;
  }
  EXPECT_EQ(ParseColorTable("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,0,5")[15], 0);
  EXPECT_EQ(ColorOf(ParseColorTable("99"), 0), (Rgb{0, 0, 0}));  // above 15 shows black
  EXPECT_EQ(ColorOf(ParseColorTable("-1"), 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(ColorOf(ParseColorTable(""), 6), (Rgb{68, 34, 34}));
}

TEST(ConsoleSettings, ValuesAndTheirFallbacks) {
  const auto read = [](std::map<std::string, std::string> values, platform::WorkArea area = {}) {
    return ReadConsoleSettings(
        [&](std::string_view, std::string_view key) -> std::optional<std::string> {
          auto it = values.find(std::string(key));
          if (it == values.end()) return std::nullopt;
          return it->second;
        },
        area);
  };
  const ConsoleSettings defaults = read({});
  EXPECT_EQ(defaults.attribute, 0x0F);
  EXPECT_EQ(defaults.magnifier, 2);
  EXPECT_EQ(defaults.char_width, 13);
  EXPECT_EQ(defaults.char_height, 28);
  EXPECT_EQ(defaults.weight, 700);
  EXPECT_FALSE(defaults.maximized);
  EXPECT_EQ(defaults.font_face, "Lucida Console");
  EXPECT_EQ(defaults.braille_mode, 0);

  const struct {
    const char* amplif;
    int factor;
  } amplif[] = {{"1", 1}, {"3", 3}, {"7", 7}, {"8", 2}, {"9", 1}, {"0", 2}, {"", 2}, {"35", 3}};
  for (const auto& a : amplif) EXPECT_EQ(read({{"AMPLIF", a.amplif}}).magnifier, a.factor) << a.amplif;

  EXPECT_EQ(read({}, {512, 367}).char_width, 6);  // 6.5 rounds to even
  EXPECT_EQ(read({}, {1536, 367}).char_width, 20);  // 19.5 rounds to even
  EXPECT_EQ(read({}, {512, 367}).char_height, 14);
  EXPECT_EQ(read({{"LARGURALETRA", ""}, {"ALTURALETRA", "abc"}}).char_height, 28);
  EXPECT_EQ(read({{"LARGURALETRA", "9"}}).char_width, 9);
  // A cell too large for any window is held to what 80 by 25 cells can fill.
  EXPECT_EQ(read({{"LARGURALETRA", "300"}}).char_width, 204);
  EXPECT_EQ(read({{"ALTURALETRA", "4000"}}).char_height, 655);
  EXPECT_EQ(read({{"CORFUNDO", "x"}, {"CORLETRA", "20"}}).attribute, 0x04);
  EXPECT_EQ(read({{"CORFUNDO", "12"}, {"CORLETRA", "1"}}).attribute, 0xC1);
  EXPECT_EQ(read({{"PESOLETRA", "bold"}}).weight, 700);
  EXPECT_TRUE(read({{"CANTOTELA", "NAO"}}).maximized);
  EXPECT_FALSE(read({{"CANTOTELA", "s"}}).maximized);
  EXPECT_EQ(read({{"MODO", "2"}}).braille_mode, 2);
  EXPECT_EQ(read({{"MODO", "7"}}).braille_mode, 3);
  EXPECT_EQ(read({{"FONTE", std::string(100, 'f')}}).font_face.size(), 79u);
}

TEST_F(ConsoleTest, MagnifierFollowsTheRightButton) {
  Console& c = Make("[VIDEO]\nAMPLIF=8\n");
  c.Write("x");
  const int w = 80 * fake.screen.metrics.width, h = 25 * fake.screen.metrics.height;
  fake.Post({keys::MouseMove(10, 10), keys::MouseRightDown(100, 40), keys::MouseMove(w, h)});
  c.KeyPressed();
  EXPECT_TRUE(fake.screen.image_captured);
  const int drawn = fake.screen.drawn_cells;
  fake.Post({keys::MouseRightUp(w, h)});
  c.KeyPressed();
  ASSERT_EQ(fake.screen.magnified.size(), 2u);  // the move before the press shows nothing
  EXPECT_EQ(fake.screen.magnified[0].x, 50);    // factor 2: x - x div 2
  EXPECT_EQ(fake.screen.magnified[0].y, 20);
  EXPECT_EQ(fake.screen.magnified[0].w, w / 2);
  EXPECT_EQ(fake.screen.magnified[0].h, h / 2);
  EXPECT_EQ(fake.screen.magnified[1].x + fake.screen.magnified[1].w, w);  // never past the image
  EXPECT_FALSE(fake.screen.image_captured);
  EXPECT_EQ(fake.screen.drawn_cells - drawn, 80 * 25);  // the text is repainted
}

TEST_F(ConsoleTest, StandardOutputGoesOutInBlocksThatPump) {
  Console& c = Make();
  c.Write("");
  fake.Type("k");
  const int before = fake.screen.present_count;
  StdWrite(c, std::string(300, 'w'));
  EXPECT_EQ(fake.screen.present_count - before, 3);  // 128 + 128 + 44
  EXPECT_EQ(c.WhereY(), 4);
  EXPECT_EQ(c.WhereX(), 301 - 240);
  EXPECT_EQ(c.ReadKey(), 'k');  // the flush pumped the key in
  StdWriteLn(c, "fim");
  EXPECT_EQ(c.WhereY(), 5);
  EXPECT_EQ(c.ScreenChar(61, 4), 'f');
}

TEST_F(ConsoleTest, StandardStreamsCanBeBoundToTheConsole) {
  Console& c = Make();
  std::streambuf* const original = std::cout.rdbuf();
  {
    StandardStreamBinding binding(c);
    EXPECT_NE(std::cout.rdbuf(), original);
    std::cout << "soma " << 12 << '\n' << "fim" << std::endl;
    EXPECT_EQ(fake.screen.RowText(0).substr(0, 8), "soma 12 ");
    EXPECT_EQ(fake.screen.RowText(1).substr(0, 4), "fim ");
    EXPECT_EQ(c.WhereY(), 3);
    fake.Type("42\r");
    int answer = 0;
    std::cin >> answer;
    EXPECT_EQ(answer, 42);
  }
  EXPECT_EQ(std::cout.rdbuf(), original);
  EXPECT_EQ(c.WhereY(), 4);
}

TEST_F(ConsoleTest, HeadlessWhenNoWindowCanBeHad) {
  fake.fail_window = true;
  Console& c = Make();
  c.Write("still works\n");
  c.ClrEol();
  fake.Post({keys::Expose(), keys::MouseRightDown(1, 1)});
  fake.Type("a");
  EXPECT_EQ(c.ReadKey(), 'a');
  EXPECT_EQ(c.ScreenChar(1, 1), 's');
}

TEST_F(ConsoleTest, DoneDrainsKeysClosesTheWindowAndExitsNormally) {
  Console& c = Make();
  c.Write("x");
  fake.Type("abc");
  EXPECT_EQ(ExitCodeOf([&] { c.Done(); }), 0);
  EXPECT_FALSE(fake.screen.exists);
  EXPECT_FALSE(c.Created());
  EXPECT_EQ(fake.events.Ready(), 0u);
}

TEST_F(ConsoleTest, CloseRequestEndsNormallyQuitEndsWith255) {
  Console& c = Make();
  c.Write("x");
  fake.Post({keys::CloseRequest()});
  EXPECT_EQ(ExitCodeOf([&] { c.KeyPressed(); }), 0);

  Console& d = Make();
  d.Write("x");
  fake.Post({keys::Quit()});
  EXPECT_EQ(ExitCodeOf([&] { d.ReadKey(); }), 255);
  EXPECT_EQ(fake.screen.title, "Programa terminado");
  EXPECT_FALSE(fake.screen.caret.visible);
}

}  // namespace
}  // namespace placarim::console
