// The console on the real SDL platform, on a private X server: text written in
// colours shows those colours, keys sent with xdotool reach the console's
// queue with the codes of its tables (braille chords included), and scrolling
// by moving pixels gives the same picture as repainting.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "console/braille_switch.h"
#include "console/console.h"
#include "platform/sdl/sdl_platform.h"
#include "tests/support/xvfb_server.h"

namespace placarim::platform::sdl {
namespace {

namespace fs = std::filesystem;
using console::Console;
using placarim::testing::CommandOutput;
using placarim::testing::RunCommand;
using placarim::testing::WindowOfProcess;
using placarim::testing::XvfbServer;

constexpr int kCellWidth = 10;
constexpr int kCellHeight = 20;

class SdlConsoleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new XvfbServer;
    std::string error;
    ASSERT_TRUE(server_->Start(1280, 1024, error)) << error;
    ASSERT_EQ(RunCommand("setxkbmap -layout br"), 0);
    platform_ = new SdlPlatform;
  }
  static void TearDownTestSuite() {
    delete platform_;
    delete server_;
  }

  // A console whose window uses 10 × 20 cells; `slow` is the LENTO setting.
  std::unique_ptr<Console> OpenConsole(bool slow) {
    const char* etc = std::getenv("PLACARIM_SYSCONFDIR");
    EXPECT_NE(etc, nullptr);
    fs::create_directories(etc);
    std::ofstream(fs::path(etc) / "FALDEK.INI")
        << "[VIDEO]\r\nLARGURALETRA=" << kCellWidth << "\r\nALTURALETRA=" << kCellHeight
        << "\r\nLENTO=" << (slow ? "SIM" : "NAO") << "\r\n";
    auto console = std::make_unique<Console>(*platform_, fs::current_path().string());
    console->Init();
    window_id_ = WindowOfProcess(getpid());
    EXPECT_FALSE(window_id_.empty());
    EXPECT_EQ(RunCommand("xdotool windowfocus " + window_id_), 0);
    for (int i = 0; i < 100 && SDL_GetKeyboardFocus() == nullptr; ++i) console->Delay(10);
    return console;
  }

  // Raw RGB of the console area of the window, after the console has shown
  // everything written.
  std::string Shoot(Console& console) {
    console.Delay(30);
    return CommandOutput("import -silent -window " + window_id_ + " -crop " +
                         std::to_string(80 * kCellWidth) + "x" + std::to_string(25 * kCellHeight) +
                         "+0+0 -depth 8 rgb:-");
  }

  // The codes the console's queue yields for keys sent with xdotool.
  std::vector<int> Codes(Console& console, const std::string& xdotool_args, size_t count) {
    EXPECT_EQ(RunCommand("xdotool " + xdotool_args), 0);
    std::vector<int> codes;
    const int64_t end = platform_->GetClock().NowMs() + 5000;
    while (codes.size() < count && platform_->GetClock().NowMs() < end) {
      if (console.KeyPressed()) {
        codes.push_back(console.ReadKey());
      } else {
        console.Delay(5);
      }
    }
    return codes;
  }

  // Sends keys with xdotool and pumps messages until `done` holds (true), or 5 s.
  bool Sent(Console& console, const std::string& xdotool_args, const std::function<bool()>& done) {
    EXPECT_EQ(RunCommand("xdotool " + xdotool_args), 0);
    const int64_t end = platform_->GetClock().NowMs() + 5000;
    while (!done() && platform_->GetClock().NowMs() < end) console.Delay(5);
    return done();
  }

  static XvfbServer* server_;
  static SdlPlatform* platform_;
  std::string window_id_;
};

XvfbServer* SdlConsoleTest::server_ = nullptr;
SdlPlatform* SdlConsoleTest::platform_ = nullptr;

struct Pixel {
  uint8_t r, g, b;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

int CountInCells(const std::string& rgb, int col, int row, int cells, Pixel colour) {
  int n = 0;
  for (int y = row * kCellHeight; y < (row + 1) * kCellHeight; ++y) {
    for (int x = col * kCellWidth; x < (col + cells) * kCellWidth; ++x) {
      const size_t i = (static_cast<size_t>(y) * 80 * kCellWidth + x) * 3;
      n += Pixel{uint8_t(rgb[i]), uint8_t(rgb[i + 1]), uint8_t(rgb[i + 2])} == colour;
    }
  }
  return n;
}

TEST_F(SdlConsoleTest, TextShowsInItsColours) {
  auto console = OpenConsole(false);
  console->TextColor(14);
  console->TextBackground(1);
  console->Write("Placarim");
  const std::string shot = Shoot(*console);
  ASSERT_EQ(shot.size(), size_t{80} * kCellWidth * 25 * kCellHeight * 3);
  const int area = 8 * kCellWidth * kCellHeight;
  EXPECT_GT(CountInCells(shot, 0, 0, 8, {255, 255, 0}), area / 20);  // yellow ink
  EXPECT_GT(CountInCells(shot, 0, 0, 8, {0, 0, 255}), area / 2);     // on blue
  EXPECT_EQ(CountInCells(shot, 8, 0, 8, {0, 0, 0}), area);           // the rest still black
}

TEST_F(SdlConsoleTest, KeysReachTheQueueWithTheCodesOfTheTables) {
  auto console = OpenConsole(false);
  EXPECT_EQ(Codes(*console, "key --delay 20 Up ctrl+Up shift+Insert ctrl+Insert", 8),
            (std::vector<int>{0, 72, 0, 113, 0, 254, 0, 255}));
  EXPECT_EQ(Codes(*console, "key --delay 20 ctrl+Return ctrl+BackSpace Escape ctrl+c F1 ctrl+F1", 8),
            (std::vector<int>{10, 127, 27, 3, 0, 59, 0, 94}));
  // F10 and Alt+letter are system keys and give nothing; Ctrl+Alt+digit gives its Alt code.
  EXPECT_EQ(Codes(*console, "key --delay 20 F10 alt+x ctrl+alt+1 ctrl+alt+z a", 5),
            (std::vector<int>{0, 120, 0, 44, 'a'}));
  // AltGr+Q counts as Ctrl+Alt+Q and then types the layout's character.
  EXPECT_EQ(Codes(*console, "key ISO_Level3_Shift+q", 3), (std::vector<int>{0, 16, '/'}));
  EXPECT_EQ(Codes(*console, "type --delay 20 '\xC3\xA7Z'", 2), (std::vector<int>{0xE7, 'Z'}));
}

TEST_F(SdlConsoleTest, BrailleChordsTypeCells) {
  auto console = OpenConsole(false);
  console->Braille().Set(1);
  EXPECT_EQ(Codes(*console, "keydown f keydown d keyup f keyup d", 1), (std::vector<int>{'b'}));
  // Dots 4 and 1, then 5 added while 1 is still held: one cell of dots 1, 4, 5.
  EXPECT_EQ(Codes(*console, "keydown j keydown f keyup j keydown k keyup k keyup f", 1),
            (std::vector<int>{'d'}));
  EXPECT_EQ(Codes(*console, "key space key g", 2), (std::vector<int>{' ', ' '}));
  console->Braille().Set(0);
  EXPECT_EQ(Codes(*console, "key --delay 20 f d", 2), (std::vector<int>{'f', 'd'}));
}

TEST_F(SdlConsoleTest, LosingTheFocusMidChordTypesNothing) {
  auto console = OpenConsole(false);
  console->Braille().Set(1);
  std::string root = CommandOutput("xwininfo -root | awk '/Window id:/ {print $4}'");
  root.erase(root.find_last_not_of("\n ") + 1);
  ASSERT_FALSE(root.empty());
  // F and D held, then the keyboard goes to another window (SDL releases them).
  ASSERT_TRUE(Sent(*console, "keydown f keydown d windowfocus " + root,
                   [] { return SDL_GetKeyboardFocus() == nullptr; }));
  ASSERT_TRUE(Sent(*console, "keyup f keyup d windowfocus " + window_id_,
                   [] { return SDL_GetKeyboardFocus() != nullptr; }));
  // The broken chord left nothing (it would be b); the next one types.
  EXPECT_EQ(Codes(*console, "keydown f keyup f", 1), (std::vector<int>{'a'}));
}

// The standard keymap binds Ctrl+Alt+F1 to F12 to switching virtual terminals
// (XF86Switch_VT_n), so those chords never reach a window; Ctrl+Shift does.
TEST_F(SdlConsoleTest, BrailleAndReviewChordsArriveWithCtrlShift) {
  auto console = OpenConsole(false);
  ASSERT_NE(CommandOutput("xkbcomp -xkb \"$DISPLAY\" - 2>/dev/null").find("XF86Switch_VT_11"),
            std::string::npos);
  // Ctrl+Alt+F11 is lost; the Ctrl+Shift+F9 after it arrives, as Ctrl+F9 with Shift held.
  EXPECT_EQ(Codes(*console, "key --delay 20 ctrl+alt+F11 ctrl+shift+F9", 2), (std::vector<int>{0, 102}));
  EXPECT_EQ(console->Braille().Mode(), 0);
  EXPECT_EQ(console->HeldModifiers(), (Modifiers{.ctrl = true, .shift = true}));  // the keys are up by now
  // Ctrl+Shift+F11 turns braille typing on (after its tones): F and D together type b.
  EXPECT_TRUE(Sent(*console, "key ctrl+shift+F11", [&] { return console->Braille().Mode() == 1; }));
  EXPECT_EQ(Codes(*console, "keydown f keydown d keyup f keyup d", 1), (std::vector<int>{'b'}));
  // Ctrl+Shift+F12 turns it off: F types itself again.
  EXPECT_TRUE(Sent(*console, "key ctrl+shift+F12", [&] { return console->Braille().Mode() == 0; }));
  EXPECT_EQ(Codes(*console, "key f", 1), (std::vector<int>{'f'}));
}

// Writes 30 numbered lines, each on its own background, so the screen scrolls.
void WriteScrollingLines(Console& console) {
  for (int line = 1; line <= 30; ++line) {
    console.TextBackground(line % 7 + 1);
    console.TextColor(15);
    console.Write("linha " + std::to_string(line) + "\n");
  }
}

TEST_F(SdlConsoleTest, ScrollingInPlaceGivesTheSamePictureAsRepainting) {
  std::string moved, repainted;
  {
    auto console = OpenConsole(true);
    ASSERT_NE(SDL_GetKeyboardFocus(), nullptr);  // moving pixels needs the focus
    WriteScrollingLines(*console);
    moved = Shoot(*console);
  }
  {
    auto console = OpenConsole(false);
    WriteScrollingLines(*console);
    repainted = Shoot(*console);
  }
  ASSERT_EQ(moved.size(), size_t{80} * kCellWidth * 25 * kCellHeight * 3);
  EXPECT_TRUE(moved == repainted);
  // Row 0 holds line 7 on background 7 % 7 + 1 = 1 (blue).
  EXPECT_GT(CountInCells(moved, 0, 0, 7, {0, 0, 255}), 7 * kCellWidth * kCellHeight / 2);
}

}  // namespace
}  // namespace placarim::platform::sdl
