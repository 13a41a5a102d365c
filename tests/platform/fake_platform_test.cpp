// The fake platform is what every other unit's tests stand on, so its timing
// and key scripts are checked here against the rules it claims to follow.
#include "platform/fake/fake_platform.h"

#include <gtest/gtest.h>

namespace placarim::platform::fake {
namespace {

std::vector<EventType> Types(const std::vector<Event>& events) {
  std::vector<EventType> t;
  for (const Event& e : events) t.push_back(e.type);
  return t;
}

TEST(FakeEvents, ReadyInTimeOrderAndWaitMovesTheClock) {
  FakePlatform fake;
  fake.events.PostAt(300, keys::WakeUp(3));
  fake.events.PostAt(100, keys::WakeUp(1));
  fake.events.PostAt(100, keys::WakeUp(2));
  Event e;
  EXPECT_FALSE(fake.events.Poll(e));
  fake.events.WaitForEvent();
  EXPECT_EQ(fake.clock.NowMs(), 100);
  ASSERT_TRUE(fake.events.Poll(e));
  EXPECT_EQ(e.code, 1);
  ASSERT_TRUE(fake.events.Poll(e));
  EXPECT_EQ(e.code, 2);
  EXPECT_FALSE(fake.events.Poll(e));
  fake.clock.SleepMs(250);
  ASSERT_TRUE(fake.events.Poll(e));
  EXPECT_EQ(e.code, 3);
}

TEST(FakeEvents, WaitWithNothingToComeThrowsUnlessTheIdleHandlerPosts) {
  FakePlatform fake;
  EXPECT_THROW(fake.events.WaitForEvent(), std::runtime_error);
  int idle_calls = 0;
  fake.events.SetIdleHandler([&] {
    ++idle_calls;
    fake.events.PostAfter(50, {keys::Quit()});
  });
  fake.events.WaitForEvent();
  EXPECT_EQ(idle_calls, 1);
  EXPECT_EQ(fake.clock.NowMs(), 50);
}

TEST(FakeClock, SleepsAreVirtualAndBounded) {
  FakePlatform fake;
  fake.clock.SleepMs(1500);
  EXPECT_EQ(fake.clock.NowMs(), 1500);
  fake.clock.SetLocalTime(2023, 12, 31, 23, 59, 59, 990);
  fake.clock.SleepMs(20);
  const DateTime t = fake.clock.LocalNow();
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.weekday, 1);  // a Monday
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.millisecond, 10);
  fake.clock.limit_ms = 10'000;
  EXPECT_THROW(fake.clock.SleepMs(9'000), std::runtime_error);
}

TEST(FakeAudio, BlocksCompleteAfterTheirPlayingTime) {
  FakePlatform fake;
  ASSERT_EQ(fake.audio.Open({11025, 8, 1}), AudioDevice::kNoError);
  const std::vector<uint8_t> second(11025, 128);
  fake.audio.Write(1, second.data(), second.size());  // 1000 ms
  fake.audio.Write(2, second.data(), 5513);           // 501 ms, after the first
  EXPECT_EQ(fake.audio.written[0].done_ms, 1000);
  EXPECT_EQ(fake.audio.written[1].done_ms, 1501);
  EXPECT_EQ(fake.audio.QueuedBlocks(), 2);
  fake.events.WaitForEvent();
  Event e;
  ASSERT_TRUE(fake.events.Poll(e));
  EXPECT_EQ(e.type, EventType::AudioBlockDone);
  EXPECT_EQ(e.block, 1);
  EXPECT_EQ(fake.audio.QueuedBlocks(), 1);

  fake.audio.Reset();
  fake.audio.Close();
  ASSERT_EQ(fake.audio.Open({16000, 16, 2}), AudioDevice::kNoError);
  fake.audio.Write(3, second.data(), 6400);  // 64000 bytes a second: 100 ms
  EXPECT_EQ(fake.audio.written[2].done_ms, 1000 + 100);
  EXPECT_EQ(fake.audio.opened.back(), (AudioFormat{16000, 16, 2}));
}

TEST(FakeAudio, ResetReturnsEveryQueuedBlockAtOnce) {
  FakePlatform fake;
  fake.audio.Open({});
  const std::vector<uint8_t> data(11025, 1);
  for (int b = 0; b < 3; ++b) fake.audio.Write(b, data.data(), data.size());
  fake.clock.SleepMs(1200);  // block 0 done, block 1 playing
  fake.audio.Reset();
  EXPECT_EQ(fake.audio.QueuedBlocks(), 0);
  std::vector<int> done;
  Event e;
  while (fake.events.Poll(e)) done.push_back(e.block);
  EXPECT_EQ(done, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(fake.clock.NowMs(), 1200);
}

TEST(FakeAudio, InjectedFailures) {
  FakePlatform fake;
  fake.audio.FailOpen(AudioDevice::kBusy, 2);
  EXPECT_EQ(fake.audio.Open({}), AudioDevice::kBusy);
  EXPECT_EQ(fake.audio.Open({}), AudioDevice::kBusy);
  EXPECT_FALSE(fake.audio.IsOpen());
  const uint8_t byte = 0;
  EXPECT_EQ(fake.audio.Write(0, &byte, 1), AudioDevice::kInvalidHandle);
  EXPECT_EQ(fake.audio.Open({}), AudioDevice::kNoError);
  EXPECT_EQ(fake.audio.open_calls, 3);
  fake.audio.FailUnprepare(33);
  EXPECT_EQ(fake.audio.Unprepare(0), 33);
  EXPECT_EQ(fake.audio.Unprepare(0), AudioDevice::kNoError);
  fake.audio.Write(9, &byte, 1);
  EXPECT_EQ(fake.audio.Unprepare(9), AudioDevice::kStillPlaying);
  fake.clock.SleepMs(1);
  EXPECT_EQ(fake.audio.Unprepare(9), AudioDevice::kNoError);
}

struct PressCase {
  const char* name;
  int vk;
  Modifiers mods;
  bool system;
  std::optional<uint8_t> ch;
};

TEST(KeyScripts, FollowTheWindowsDeliveryRules) {
  const PressCase cases[] = {
      {"letter", vk::kA + 2, {}, false, 'c'},
      {"shifted letter", vk::kA + 2, {.shift = true}, false, 'C'},
      {"ctrl letter", vk::kA + 2, {.ctrl = true}, false, 3},
      {"alt letter", vk::kA + 2, {.alt = true}, true, std::nullopt},
      {"ctrl alt letter", vk::kA + 2, {.ctrl = true, .alt = true}, false, std::nullopt},
      {"enter", vk::kReturn, {}, false, 13},
      {"ctrl enter", vk::kReturn, {.ctrl = true}, false, 13},
      {"escape", vk::kEscape, {}, false, 27},
      {"up", vk::kUp, {}, false, std::nullopt},
      {"F10", vk::kF10, {}, true, std::nullopt},
      {"ctrl F10", vk::kF10, {.ctrl = true}, false, std::nullopt},
      {"alt F4", vk::kF1 + 3, {.alt = true}, true, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto script = keys::Press(c.vk, c.mods);
    ASSERT_GE(script.size(), 2u) << c.name;
    EXPECT_EQ(script.front().system, c.system) << c.name;
    EXPECT_EQ(script.back().type, EventType::KeyUp) << c.name;
    if (c.ch) {
      ASSERT_EQ(script.size(), 3u) << c.name;
      EXPECT_EQ(script[1].ch, *c.ch) << c.name;
    } else {
      EXPECT_EQ(script.size(), 2u) << c.name;
    }
  }
}

TEST(KeyScripts, ChordPressesAllThenReleasesAll) {
  const auto script = keys::Chord({vk::kA + 5, vk::kA + 3});
  EXPECT_EQ(Types(script), (std::vector<EventType>{EventType::KeyDown, EventType::Char, EventType::KeyDown,
                                                   EventType::Char, EventType::KeyUp, EventType::KeyUp}));
  EXPECT_EQ(script[1].ch, 'f');
  EXPECT_EQ(script[3].ch, 'd');
}

TEST(FakeScreen, WindowRecordOutlivesTheWindow) {
  FakePlatform fake;
  auto surface = fake.CreateWindow(WindowSettings{});
  ASSERT_TRUE(surface);
  const uint8_t text[] = {'h', 'i'};
  surface->DrawRun(78, 24, text, 2, {1, 2, 3}, {4, 5, 6});
  EXPECT_THROW(surface->DrawRun(79, 24, text, 2, {}, {}), std::out_of_range);
  surface->ScrollUp({9, 9, 9});
  EXPECT_EQ(fake.screen.At(78, 23).ch, 'h');
  EXPECT_EQ(fake.screen.At(79, 24).bg, (Rgb{9, 9, 9}));
  surface.reset();
  EXPECT_FALSE(fake.screen.exists);
  EXPECT_EQ(fake.screen.RowText(23).substr(78), "hi");
  EXPECT_EQ(fake.events.Scheduled(), 1u);  // the focus a desktop gives a new window
}

TEST(FakePlatform, ExitThrowsWithItsCode) {
  FakePlatform fake;
  try {
    fake.Exit(255);
    FAIL() << "Exit returned";
  } catch (const ProgramExit& e) {
    EXPECT_EQ(e.code, 255);
  }
  EXPECT_EQ(fake.exit_code, 255);
}

}  // namespace
}  // namespace placarim::platform::fake
