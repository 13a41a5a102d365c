// The braille display's two figures: what starting the display costs when no
// braille daemon runs (the game must not notice), and the time from a key
// pressed on a real display to that display showing its effect, through a
// private daemon (brltty with its Virtual driver) and the console's line.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/figures.h"
#include "console/console.h"
#include "console/display_line.h"
#include "platform/brlapi/brlapi_display.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/braille_daemon.h"

namespace {

using namespace placarim;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Report(const char* what, const std::vector<double>& ms) {
  const auto f = bench::Summarize(ms);
  std::printf("%-46s median %8.3f ms  p95 %8.3f ms  max %8.3f ms  (%zu runs)\n", what, f.median, f.p95, f.max, ms.size());
}

// Construction, a first line and a look for keys, with nothing listening on
// the daemon's port: all the main thread ever pays.
void StartWithoutDaemon() {
  platform::fake::FakePlatform fake;
  platform::brlapi::BrlapiSettings settings;
  settings.host = "127.0.0.1:39999";
  std::vector<double> ms;
  for (int run = 0; run < 200; ++run) {
    const auto start = Clock::now();
    auto display = std::make_unique<platform::brlapi::BrlapiDisplay>(fake.events, settings);
    display->Show({});
    platform::BrailleKey key;
    display->PollKey(key);
    ms.push_back(Ms(Clock::now() - start));
  }
  Report("start with no braille daemon", ms);
}

// A letter typed on the display's braille keyboard until the display shows
// the line with it: daemon -> connection thread -> console -> line -> daemon.
void KeyToDisplay() {
  platform::brlapi::testing::BrailleDaemon daemon(40);
  daemon.Start();
  platform::fake::FakePlatform fake;
  struct Forward final : platform::EventSource {
    explicit Forward(platform::fake::FakeEvents& e) : events(e) {}
    bool Poll(platform::Event&) override { return false; }
    void WaitForEvent() override {}
    void PushWakeUp(int code) override { events.PushWakeUp(code); }
    platform::fake::FakeEvents& events;
  } forward(fake.events);
  platform::brlapi::BrlapiSettings settings;
  settings.host = daemon.Host();
  settings.auth = daemon.Auth();
  settings.retry_ms = 100;
  platform::brlapi::BrlapiDisplay display(forward, settings);
  console::Console console(fake, "/tmp");
  console.Init();
  console.AttachBrailleDisplay(&display);
  // The main thread waits in real time for the display's wake-ups.
  fake.events.SetIdleHandler([&] {
    while (fake.events.Scheduled() == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
  });
  while (display.Width() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));

  constexpr int kKeys = 60;
  std::atomic<Clock::rep> key_taken{0};  // when the console handed the key on
  std::thread typist([&] {
    std::vector<double> ms;
    std::vector<double> after_key;
    for (int i = 1; i <= kKeys; ++i) {
      const int letters = (i - 1) % 30 + 1;
      const auto start = Clock::now();
      daemon.Send("passdots 0x01");
      const bool shown = daemon.WaitForCells([&](const std::vector<std::string>& cells) {
        int count = 0;
        for (const std::string& c : cells) count += c.find('1') != std::string::npos;
        return count == letters;
      });
      if (shown) {
        const auto now = Clock::now();
        ms.push_back(Ms(now - start));
        after_key.push_back(Ms(now - Clock::time_point(Clock::duration(key_taken.load()))));
      }
    }
    Report("key on the display to the display showing it", ms);
    Report("  of which: console's key to the cells shown", after_key);
  });
  std::string line;
  for (int i = 1; i <= kKeys; ++i) {
    line += static_cast<char>(console.ReadKey());
    key_taken = Clock::now().time_since_epoch().count();
    if (line.size() > 30) line = line.substr(30);
    console.Display().Show(line, static_cast<int>(line.size()));
  }
  typist.join();
}

}  // namespace

int main() {
  StartWithoutDaemon();
  KeyToDisplay();
  return 0;
}
