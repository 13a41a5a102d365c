// The SDL platform for real, on a private X server: the window shows what is
// drawn in the right colours, scrolls and magnifies, and keys and mouse
// buttons sent by xdotool arrive as the events the console's rules expect.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <thread>

#include "platform/sdl/sdl_platform.h"
#include "platform/vk.h"
#include "tests/support/xvfb_server.h"

namespace placarim::platform::sdl {
namespace {

using placarim::testing::CommandOutput;
using placarim::testing::RunCommand;
using placarim::testing::XvfbServer;

constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

struct Screenshot {
  int width = 0, height = 0;
  std::string rgb;
  Rgb At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return Rgb{static_cast<uint8_t>(rgb[i]), static_cast<uint8_t>(rgb[i + 1]),
               static_cast<uint8_t>(rgb[i + 2])};
  }
  // How many pixels of the rectangle have exactly this colour.
  int Count(int x0, int y0, int w, int h, Rgb colour) const {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) n += At(x, y) == colour;
    return n;
  }
};

class SdlWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    server_ = new XvfbServer;
    if (!server_->Start(1280, 1024, error)) {
      FAIL() << error;
    }
    platform_ = new SdlPlatform;
    WindowSettings settings;
    settings.char_width = 13;
    settings.char_height = 28;
    settings.title = "Placarim janela de teste \xE7";  // Windows-1252 ç
    surface_ = platform_->CreateWindow(settings).release();
    ASSERT_NE(surface_, nullptr);
    window_id_ = placarim::testing::WindowOfProcess(getpid());
    ASSERT_FALSE(window_id_.empty());
    // A Brazilian keyboard: ç has its own key, AltGr+Q types a slash.
    ASSERT_EQ(RunCommand("setxkbmap -layout br"), 0);
  }
  static void TearDownTestSuite() {
    delete surface_;
    delete platform_;
    delete server_;
  }

  // Gives the window the keyboard and waits until SDL has seen it.
  // and drops the events earlier tests left behind.
  void Focus() {
    if (SDL_GetKeyboardFocus() == nullptr) {
      ASSERT_EQ(RunCommand("xdotool windowfocus " + window_id_), 0);
      Collect([](const std::vector<Event>& events) {
        return !events.empty() && events.back().type == EventType::FocusGained;
      });
    }
    Event event;
    for (int quiet = 0; quiet < 20;) {
      if (platform_->Events().Poll(event)) {
        quiet = 0;
      } else {
        platform_->GetClock().SleepMs(5);
        ++quiet;
      }
    }
  }

  // Polls events until `done` says so or 5 s have passed.
  std::vector<Event> Collect(const std::function<bool(const std::vector<Event>&)>& done) {
    std::vector<Event> events;
    const int64_t end = platform_->GetClock().NowMs() + 5000;
    while (!done(events) && platform_->GetClock().NowMs() < end) {
      Event event;
      if (platform_->Events().Poll(event)) {
        events.push_back(event);
      } else {
        platform_->GetClock().SleepMs(5);
      }
    }
    return events;
  }

  Screenshot Shoot() {
    surface_->Present();
    platform_->GetClock().SleepMs(30);  // presents what is pending
    Screenshot shot;
    shot.width = surface_->PixelWidth();
    shot.height = surface_->PixelHeight();
    shot.rgb = CommandOutput("import -silent -window " + window_id_ + " -crop " +
                             std::to_string(shot.width) + "x" + std::to_string(shot.height) +
                             "+0+0 -depth 8 rgb:-");
    EXPECT_EQ(shot.rgb.size(), static_cast<size_t>(shot.width) * shot.height * 3);
    return shot;
  }

  void Draw(int col, int row, const std::string& text, Rgb fg, Rgb bg) {
    surface_->DrawRun(col, row, reinterpret_cast<const uint8_t*>(text.data()),
                      static_cast<int>(text.size()), fg, bg);
  }

  static XvfbServer* server_;
  static SdlPlatform* platform_;
  static Surface* surface_;
  static std::string window_id_;
};

XvfbServer* SdlWindowTest::server_ = nullptr;
SdlPlatform* SdlWindowTest::platform_ = nullptr;
Surface* SdlWindowTest::surface_ = nullptr;
std::string SdlWindowTest::window_id_;

TEST_F(SdlWindowTest, OpensAWindowOf80By25CellsOfTheAskedSize) {
  ASSERT_FALSE(window_id_.empty());
  const CellMetrics cell = surface_->Metrics();
  EXPECT_EQ(cell.width, 13);
  EXPECT_GE(cell.height, 26);
  EXPECT_LE(cell.height, 32);
  EXPECT_GT(cell.ascent, cell.height / 2);
  EXPECT_LT(cell.ascent, cell.height);
  EXPECT_EQ(surface_->PixelWidth(), 80 * cell.width);
  EXPECT_EQ(surface_->PixelHeight(), 25 * cell.height);
  const std::string geometry = CommandOutput("xdotool getwindowgeometry " + window_id_);
  EXPECT_NE(geometry.find(std::to_string(80 * cell.width) + "x" + std::to_string(25 * cell.height)),
            std::string::npos)
      << geometry;
  EXPECT_NE(CommandOutput("xdotool getwindowname " + window_id_).find("teste \xC3\xA7"),
            std::string::npos);
}

TEST_F(SdlWindowTest, ShowsTextInItsColours) {
  Draw(0, 0, "Placarim", kYellow, kBlue);
  Draw(8, 0, std::string(72, ' '), kWhite, kBlack);
  const Screenshot shot = Shoot();
  const CellMetrics cell = surface_->Metrics();
  const int run_width = 8 * cell.width;
  const int yellow = shot.Count(0, 0, run_width, cell.height, kYellow);
  const int blue = shot.Count(0, 0, run_width, cell.height, kBlue);
  EXPECT_GT(yellow, run_width * cell.height / 20);  // solid strokes of ink
  EXPECT_GT(blue, run_width * cell.height / 2);     // the paper
  EXPECT_EQ(shot.Count(run_width, 0, 10 * cell.width, cell.height, kBlack), 10 * cell.width * cell.height);
}

TEST_F(SdlWindowTest, ScrollsThePictureUpOneRow) {
  const CellMetrics cell = surface_->Metrics();
  Draw(0, 24, std::string(80, ' '), kWhite, kRed);
  surface_->ScrollUp(kBlue);
  const Screenshot shot = Shoot();
  const int row_pixels = 80 * cell.width * cell.height;
  EXPECT_EQ(shot.Count(0, 23 * cell.height, 80 * cell.width, cell.height, kRed), row_pixels);
  EXPECT_EQ(shot.Count(0, 24 * cell.height, 80 * cell.width, cell.height, kBlue), row_pixels);
}

TEST_F(SdlWindowTest, MagnifiesAPartOfTheCapturedPicture) {
  const CellMetrics cell = surface_->Metrics();
  Draw(0, 0, std::string(4, ' '), kWhite, kRed);
  surface_->CaptureImage();
  Draw(0, 0, std::string(4, ' '), kWhite, kBlack);  // later drawing does not change the copy
  surface_->ShowMagnified(0, 0, 4 * cell.width, cell.height);
  Screenshot shot = Shoot();
  EXPECT_EQ(shot.At(shot.width / 2, shot.height / 2), kRed);
  EXPECT_EQ(shot.At(shot.width - 1, shot.height - 1), kRed);
  surface_->ReleaseImage();
  shot = Shoot();
  EXPECT_EQ(shot.At(shot.width / 2, 5), kBlack);
}

TEST_F(SdlWindowTest, DrawsTheCaretOnTheBaselineOfItsCell) {
  const CellMetrics cell = surface_->Metrics();
  Draw(2, 3, " ", kWhite, kBlack);
  surface_->ShowCaret(2, 3);
  Screenshot shot = Shoot();
  const int x = 2 * cell.width + cell.width / 2;
  const int y = 3 * cell.height + cell.ascent;
  EXPECT_EQ(shot.At(x, y), kWhite);
  EXPECT_EQ(shot.At(x, y + 1), kWhite);
  EXPECT_EQ(shot.At(x, y + 2), kBlack);
  EXPECT_EQ(shot.At(x, y - 1), kBlack);
  surface_->HideCaret();
  shot = Shoot();
  EXPECT_EQ(shot.At(x, y), kBlack);
}

// What the console's rules see of the keyboard: key presses other than the
// modifiers themselves, key releases and characters.
struct Seen {
  EventType type;
  int code;  // vk for keys, the byte for characters
  friend bool operator==(const Seen&, const Seen&) = default;
};

std::vector<Seen> KeysOf(const std::vector<Event>& events, bool with_releases) {
  std::vector<Seen> seen;
  for (const Event& e : events) {
    const bool modifier = e.vk == vk::kShift || e.vk == vk::kControl || e.vk == vk::kMenu;
    if (e.type == EventType::Char) seen.push_back({e.type, e.ch});
    if (e.type == EventType::KeyDown && !modifier) seen.push_back({e.type, e.vk});
    if (e.type == EventType::KeyUp && !modifier && with_releases) seen.push_back({e.type, e.vk});
  }
  return seen;
}

using Collector = std::function<std::vector<Event>(
    const std::function<bool(const std::vector<Event>&)>&)>;

// Sends keys with xdotool and collects what arrives until `expected` entries.
std::vector<Seen> SendKeys(const std::string& xdotool_args, size_t expected, bool with_releases,
                           const Collector& collect) {
  EXPECT_EQ(RunCommand("xdotool " + xdotool_args), 0);
  return KeysOf(collect([&](const std::vector<Event>& events) {
                  return KeysOf(events, with_releases).size() >= expected;
                }),
                with_releases);
}

TEST_F(SdlWindowTest, KeysArriveAsWindowsKeysAndCharacters) {
  Focus();
  auto collect = [this](const auto& done) { return Collect(done); };
  using T = EventType;
  EXPECT_EQ(SendKeys("key --delay 10 Up ctrl+c Return Escape BackSpace Tab", 11, false, collect),
            (std::vector<Seen>{{T::KeyDown, vk::kUp},
                               {T::KeyDown, 'C'}, {T::Char, 3},
                               {T::KeyDown, vk::kReturn}, {T::Char, 13},
                               {T::KeyDown, vk::kEscape}, {T::Char, 27},
                               {T::KeyDown, vk::kBack}, {T::Char, 8},
                               {T::KeyDown, vk::kTab}, {T::Char, 9}}));
  EXPECT_EQ(SendKeys("key --delay 10 ctrl+Pause shift+Insert F10 ctrl+Return", 5, false, collect),
            (std::vector<Seen>{{T::KeyDown, vk::kCancel}, {T::KeyDown, vk::kInsert},
                               {T::KeyDown, vk::kF10}, {T::KeyDown, vk::kReturn}, {T::Char, 13}}));
}

TEST_F(SdlWindowTest, TypedTextArrivesAsWindows1252) {
  Focus();
  auto collect = [this](const auto& done) { return Collect(done); };
  using T = EventType;
  EXPECT_EQ(SendKeys("type --delay 20 'aZ\xC3\xA7'", 6, false, collect),  // aZç
            (std::vector<Seen>{{T::KeyDown, 'A'}, {T::Char, 'a'},
                               {T::KeyDown, 'Z'}, {T::Char, 'Z'},
                               {T::KeyDown, 0xBA}, {T::Char, 0xE7}}));
}

TEST_F(SdlWindowTest, AltGrIsCtrlAltAndTypesTheLayoutsCharacter) {
  Focus();
  ASSERT_EQ(RunCommand("xdotool key ISO_Level3_Shift+q"), 0);
  const std::vector<Event> events = Collect([](const std::vector<Event>& got) {
    return !got.empty() && got.back().type == EventType::Char;
  });
  std::vector<Event> wanted;
  for (const Event& e : events)
    if ((e.type == EventType::KeyDown && e.vk == 'Q') || e.type == EventType::Char) wanted.push_back(e);
  ASSERT_EQ(wanted.size(), 2u);
  EXPECT_TRUE(wanted[0].mods.ctrl && wanted[0].mods.alt);
  EXPECT_FALSE(wanted[0].system);
  EXPECT_EQ(wanted[1].ch, '/');
}

TEST_F(SdlWindowTest, ChordKeysArriveAsPressesAndReleasesInOrder) {
  Focus();
  auto collect = [this](const auto& done) { return Collect(done); };
  using T = EventType;
  const std::vector<Seen> seen =
      SendKeys("keydown f keydown d keyup f keyup d", 6, true, collect);
  EXPECT_EQ(seen, (std::vector<Seen>{{T::KeyDown, 'F'}, {T::Char, 'f'}, {T::KeyDown, 'D'},
                                     {T::Char, 'd'}, {T::KeyUp, 'F'}, {T::KeyUp, 'D'}}));
}

TEST_F(SdlWindowTest, RightButtonAndFocusAreReported) {
  Focus();
  ASSERT_EQ(RunCommand("xdotool mousemove --window " + window_id_ + " 100 50 click 3"), 0);
  const std::vector<Event> events = Collect([](const std::vector<Event>& got) {
    return !got.empty() && got.back().type == EventType::MouseRightUp;
  });
  bool down = false;
  for (const Event& e : events) {
    if (e.type == EventType::MouseRightDown) {
      down = true;
      EXPECT_EQ(e.x, 100);
      EXPECT_EQ(e.y, 50);
    }
  }
  EXPECT_TRUE(down);
  EXPECT_TRUE(surface_->CanScrollInPlace());  // focused, and well above the screen's bottom
}

TEST_F(SdlWindowTest, WakeUpsFromOtherThreadsEndAWait) {
  std::thread waker([] { platform_->Events().PushWakeUp(1123); });
  platform_->Events().WaitForEvent();
  waker.join();
  const std::vector<Event> events = Collect([](const std::vector<Event>& got) {
    return !got.empty() && got.back().type == EventType::WakeUp;
  });
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().code, 1123);
}

}  // namespace
}  // namespace placarim::platform::sdl
