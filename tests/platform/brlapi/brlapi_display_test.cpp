// The braille display through a real braille daemon (a private brltty whose
// Virtual driver talks to a display this test plays): what reaches the cells,
// the display's keys on their way to the console, and a daemon that dies and
// comes back mid-game.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "braille/braille_text.h"
#include "console/console.h"
#include "console/display_line.h"
#include "console/keys.h"
#include "platform/brlapi/brlapi_display.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/braille_daemon.h"

namespace placarim::platform::brlapi {
namespace {

using testing::BrailleDaemon;
using Kind = BrailleKey::Kind;

// Wake-ups from the display's thread, handed on to `next` (if any); a test
// waits for what they announce.
class WakeWatch final : public EventSource {
 public:
  explicit WakeWatch(EventSource* next = nullptr) : next_(next) {}
  bool Poll(Event&) override { return false; }
  void WaitForEvent() override {}
  void PushWakeUp(int code) override {
    if (next_ != nullptr) next_->PushWakeUp(code);
    std::lock_guard lock(mutex_);
    changed_.notify_all();
  }
  // Waits (up to 20 s) for `test`, checking it at every wake-up.
  bool WaitFor(const std::function<bool()>& test) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [&] {
      lock.unlock();
      const bool met = test();
      lock.lock();
      return met;
    });
  }

 private:
  EventSource* next_;
  std::mutex mutex_;
  std::condition_variable changed_;
};

// The cells as the driver reports them, without the cursor's dots 7 and 8.
std::vector<std::string> WithoutCursor(std::vector<std::string> cells) {
  for (std::string& cell : cells) std::erase_if(cell, [](char c) { return c == '7' || c == '8'; });
  return cells;
}

std::vector<std::string> Expected(std::string_view text, int width) {
  std::vector<std::string> cells;
  for (uint8_t cell : braille::ToBraille(text).cells) {
    std::string dots;
    for (int dot = 0; dot < 6; ++dot) {
      if (cell & (1 << dot)) dots += static_cast<char>('1' + dot);
    }
    cells.push_back(dots);
  }
  cells.resize(static_cast<size_t>(width));
  return cells;
}

BrlapiSettings SettingsFor(const BrailleDaemon& daemon) {
  BrlapiSettings settings;
  settings.host = daemon.Host();
  settings.auth = daemon.Auth();
  settings.retry_ms = 100;
  return settings;
}

TEST(BrlapiDisplay, ShowsTheSumWithTheCursorAndHandsOnTheDisplaysKeys) {
  BrailleDaemon daemon(40);
  daemon.Start();
  WakeWatch events;
  BrlapiDisplay display(events, SettingsFor(daemon));
  ASSERT_TRUE(events.WaitFor([&] { return display.Width() == 40; })) << "no display through the daemon";

  BrailleWindow window;
  window.cells = braille::ToBraille("7+8=15").cells;
  window.cursor = 9;
  display.Show(window);
  EXPECT_TRUE(daemon.WaitForCells([](const std::vector<std::string>& cells) {
    return WithoutCursor(cells) == Expected("7+8=15", 40);
  })) << "cells seen: " << ::testing::PrintToString(daemon.LatestCells());
  // The cursor's dots blink; they show on the cell after the answer.
  EXPECT_TRUE(daemon.WaitForCells([](const std::vector<std::string>& cells) {
    return cells.size() == 40 && cells[9] == "78" && cells[8] == "15";
  })) << ::testing::PrintToString(daemon.LatestCells());

  const std::vector<std::pair<std::string, BrailleKey>> keys = {
      {"route 3", {Kind::Routing, 3}},
      {"passdots 0x3c", {Kind::Dots, braille::kNumberSign}},  // typed through the daemon's table and back
      {"passdots 0x01", {Kind::Dots, 0x01}},
      {"KEY_ENTER", {Kind::Enter, 0}},
      {"KEY_ESCAPE", {Kind::Escape, 0}},
      {"KEY_BACKSPACE", {Kind::Backspace, 0}},
      {"FwinRt", {Kind::PanRight, 0}},
      {"FwinLt", {Kind::PanLeft, 0}},
  };
  for (const auto& [command, expected] : keys) {
    daemon.Send(command);
    BrailleKey key;
    ASSERT_TRUE(events.WaitFor([&] { return display.PollKey(key); })) << command;
    EXPECT_EQ(key, expected) << command << " gave " << static_cast<int>(key.kind) << "/" << key.value;
  }
}

TEST(BrlapiDisplay, FindsTheDaemonAgainAfterItDiesMidGame) {
  BrailleDaemon daemon(40);
  WakeWatch events;
  // No daemon yet: the display is simply not there, and nothing waits.
  BrlapiDisplay display(events, SettingsFor(daemon));
  BrailleWindow first;
  first.cells = braille::ToBraille("3x4=").cells;
  display.Show(first);
  BrailleKey key;
  EXPECT_FALSE(display.PollKey(key));
  EXPECT_EQ(display.Width(), 0);

  daemon.Start();
  ASSERT_TRUE(events.WaitFor([&] { return display.Width() == 40; }));
  EXPECT_TRUE(daemon.WaitForCells([](const auto& cells) { return WithoutCursor(cells) == Expected("3x4=", 40); }));

  daemon.Kill();
  ASSERT_TRUE(events.WaitFor([&] { return display.Width() == 0; }));
  BrailleWindow second;
  second.cells = braille::ToBraille("gol: 3x4=12").cells;
  display.Show(second);  // kept for when the display is back

  daemon.Start();
  ASSERT_TRUE(events.WaitFor([&] { return display.Width() == 40; }));
  EXPECT_TRUE(daemon.WaitForCells([](const auto& cells) { return WithoutCursor(cells) == Expected("gol: 3x4=12", 40); }))
      << ::testing::PrintToString(daemon.LatestCells());
}

// The display changes under a running game: it reports another size, and
// its driver starts again (a display unplugged and plugged back). The line
// is shown again each time, cut to the display's new width.
TEST(BrlapiDisplay, FollowsTheDisplayWhenItsSizeChangesOrItsDriverRestarts) {
  BrailleDaemon daemon(40);
  daemon.Start();
  WakeWatch events;
  BrlapiDisplay display(events, SettingsFor(daemon));
  ASSERT_TRUE(events.WaitFor([&] { return display.Width() == 40; }));
  BrailleWindow window;
  window.cells = braille::ToBraille("7+8=15").cells;
  display.Show(window);
  ASSERT_TRUE(daemon.WaitForCells([](const auto& cells) { return WithoutCursor(cells) == Expected("7+8=15", 40); }));

  const struct {
    const char* change;  // what the display tells its driver
    int width;           // after "quit" the driver connects again and is told 40 cells
    const char* line;
  } changes[] = {{"cells 20", 20, "erro: 7+8=15"}, {"quit", 40, "gol: 7+8=15"}};
  for (const auto& [change, width, line] : changes) {
    SCOPED_TRACE(change);
    daemon.Send(change);
    EXPECT_TRUE(events.WaitFor([&, width = width] { return display.Width() == width; })) << display.Width();
    window.cells = braille::ToBraille(line).cells;
    display.Show(window);
    const std::vector<std::string> expected = Expected(line, width);
    EXPECT_TRUE(daemon.WaitForCells([&](const auto& cells) { return WithoutCursor(cells) == expected; }))
        << ::testing::PrintToString(daemon.LatestCells());
  }
}

// The console's line on the real daemon: the answer typed in braille on the
// display reaches the console as keys, and a routing key names the character.
TEST(BrlapiDisplay, TypesAnAnswerFromTheDisplaysKeys) {
  BrailleDaemon daemon(40);
  daemon.Start();
  fake::FakePlatform fake;
  WakeWatch events(&fake.events);
  BrlapiDisplay display(events, SettingsFor(daemon));
  console::Console console(fake, ::testing::TempDir());
  console.Init();
  console.AttachBrailleDisplay(&display);
  // The console waits on the fake's events; the real display's wake-ups arrive there.
  fake.events.SetIdleHandler([&] { events.WaitFor([&] { return fake.events.Scheduled() > 0; }); });
  ASSERT_TRUE(events.WaitFor([&] { return display.Width() == 40; }));

  console.Display().Show("7+8=", 4);
  EXPECT_TRUE(daemon.WaitForCells([](const auto& cells) { return WithoutCursor(cells) == Expected("7+8=", 40); }));
  // The Virtual driver takes one command a read: each waits for its key.
  const auto send = [&](const char* command) {
    const size_t before = fake.events.Scheduled();
    daemon.Send(command);
    EXPECT_TRUE(events.WaitFor([&] { return fake.events.Scheduled() > before; })) << command;
  };
  for (const char* command : {"passdots 0x3c", "passdots 0x01", "passdots 0x11", "KEY_ENTER"}) send(command);
  std::string typed;
  for (int i = 0; i < 3; ++i) typed += static_cast<char>(console.ReadKey());
  EXPECT_EQ(typed, "15\r");

  console.Display().Show("7+8=15", 6);
  send("route 8");  // the cell of the 5
  EXPECT_EQ(console.ReadKey(), 0);
  EXPECT_EQ(console.ReadKey(), console::extended::kBrailleRouting);
  EXPECT_EQ(console.Display().TakeRouting(), 5);
}

}  // namespace
}  // namespace placarim::platform::brlapi
