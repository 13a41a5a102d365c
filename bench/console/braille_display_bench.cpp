// The braille display's figures: what starting the display costs when no
// braille daemon runs (the game must not notice), and the time from a key to
// the display showing its effect, through a private daemon (brltty with its
// Virtual driver, whose socket this benchmark serves) and the console's line
// in a real SDL window under a private X server:
//  - a key on the display's own braille keyboard, pressed at any moment (the
//    daemon reads its driver on a timer, so where the key falls in the
//    daemon's cycle matters);
//  - a key on the computer's keyboard (an XTest key press, as the X server
//    gets it from a real keyboard) until the new cells reach the driver.
// Each is split into the part before the console has the key and the part after.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "console/console.h"
#include "console/display_line.h"
#include "platform/brlapi/brlapi_display.h"
#include "platform/fake/fake_platform.h"
#include "platform/sdl/sdl_platform.h"
#include "tests/support/braille_daemon.h"
#include "tests/support/figures.h"
#include "tests/support/xvfb_server.h"
// Last: Xlib's macros (KeyPress, Bool...) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace placarim;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Report(const char* what, std::vector<double> ms) {
  if (ms.empty()) {
    std::printf("%-54s no run completed\n", what);
    return;
  }
  const auto f = bench::Summarize(ms);
  std::printf("%-54s min %7.3f  median %7.3f  p95 %7.3f  max %7.3f ms  (%zu runs)\n", what,
              *std::min_element(ms.begin(), ms.end()), f.median, f.p95, f.max, ms.size());
}

// Construction, a first line and a look for keys, with no daemon at the
// address: all the main thread ever pays. Both kinds of address: a TCP port
// nobody listens on, and a local socket that does not exist (what the tests
// of the whole program give it).
void StartWithoutDaemon() {
  platform::fake::FakePlatform fake;
  for (const char* host : {"127.0.0.1:39999", ":61999"}) {
    platform::brlapi::BrlapiSettings settings;
    settings.host = host;
    std::vector<double> ms;
    for (int run = 0; run < 200; ++run) {
      const auto start = Clock::now();
      auto display = std::make_unique<platform::brlapi::BrlapiDisplay>(fake.events, settings);
      display->Show({});
      platform::BrailleKey key;
      display->PollKey(key);
      ms.push_back(Ms(Clock::now() - start));
    }
    Report((std::string("start with no braille daemon at ") + host).c_str(), ms);
  }
}

// Whether the display shows `letters` cells with dot 1 (each typed 'a').
bool ShowsLetters(const std::vector<std::string>& cells, int letters) {
  int count = 0;
  for (const std::string& c : cells) count += c.find('1') != std::string::npos;
  return count == letters;
}

// The display's wake-ups on their way to the platform's queue, stamped: the
// moment the display's thread has a key from the daemon.
struct StampedWakeUps final : platform::EventSource {
  explicit StampedWakeUps(platform::EventSource& e) : events(e) {}
  bool Poll(platform::Event& event) override { return events.Poll(event); }
  void WaitForEvent() override { events.WaitForEvent(); }
  void PushWakeUp(int code) override {
    last = Clock::now().time_since_epoch().count();
    events.PushWakeUp(code);
  }
  platform::EventSource& events;
  std::atomic<Clock::rep> last{0};
};

// The main thread reads keys from the console and shows the typed line on
// the display, as the line editor does; `press` runs on its own thread, one
// key per call, while `Measure` times each press until the display shows it.
struct Typing {
  static constexpr int kKeys = 60;
  console::Console& console;
  platform::brlapi::testing::BrailleDaemon& daemon;
  const StampedWakeUps& wake_ups;
  std::atomic<Clock::rep> key_taken{0};  // when the console handed the last key on
  std::atomic<bool> missed{false};       // a key never showed: the run stops there

  // `press` types an 'a'; `stop` a key that ends the main thread's loop.
  // `through_display`: the key comes through the display's thread, whose
  // wake-up splits the way to the console in two.
  void Measure(const char* what, const std::function<void()>& press, const std::function<void()>& stop,
               bool through_display) {
    missed = false;
    std::thread typist([&] {
      std::mt19937 random(31);
      std::vector<double> total, to_console, to_thread, thread_to_console, after_console;
      for (int i = 1; i <= kKeys; ++i) {
        // A pause of 0 to 40 ms, one cycle of the daemon's input timer: keys fall
        // evenly over it, as a child's presses do.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        const auto start = Clock::now();
        press();
        const int letters = (i - 1) % 30 + 1;
        if (!daemon.WaitForCells([&](const std::vector<std::string>& cells) { return ShowsLetters(cells, letters); })) {
          std::fprintf(stderr, "braille_display_bench: key %d never showed on the display\n", i);
          missed = true;
          stop();
          break;
        }
        const auto now = Clock::now();
        const Clock::time_point taken{Clock::duration(key_taken.load())};
        const Clock::time_point woken{Clock::duration(wake_ups.last.load())};
        total.push_back(Ms(now - start));
        to_console.push_back(Ms(taken - start));
        to_thread.push_back(Ms(woken - start));
        thread_to_console.push_back(Ms(taken - woken));
        after_console.push_back(Ms(now - taken));
      }
      Report(what, total);
      Report("  of which: the key reaching the console", to_console);
      if (through_display) {
        Report("    daemon and client library to the display's thread", to_thread);
        Report("    display's thread to the console", thread_to_console);
      }
      Report("  of which: console's key to the cells shown", after_console);
    });
    std::string line;
    for (int i = 1; i <= kKeys && !missed; ++i) {
      const uint8_t key = console.ReadKey();
      if (missed) break;
      line += static_cast<char>(key);
      key_taken = Clock::now().time_since_epoch().count();
      if (line.size() > 30) line = line.substr(30);
      console.Display().Show(line, static_cast<int>(line.size()));
    }
    typist.join();
    console.Display().Show("", 0);
    daemon.WaitForCells([](const std::vector<std::string>& cells) { return ShowsLetters(cells, 0); });
  }
};

void KeysToDisplay() {
  testing::XvfbServer server;
  std::string error;
  if (!server.Start(1280, 1024, error)) {
    std::fprintf(stderr, "braille_display_bench: %s\n", error.c_str());
    return;
  }
  const fs::path etc = fs::temp_directory_path() / ("placarim-braille-bench-" + std::to_string(getpid()));
  fs::create_directories(etc);
  setenv("PLACARIM_SYSCONFDIR", etc.c_str(), 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  platform::brlapi::testing::BrailleDaemon daemon(40);
  daemon.Start();
  {
    platform::sdl::SdlPlatform platform;
    platform::brlapi::BrlapiSettings settings;
    settings.host = daemon.Host();
    settings.auth = daemon.Auth();
    settings.retry_ms = 100;
    StampedWakeUps wake_ups(platform.Events());
    platform::brlapi::BrlapiDisplay display(wake_ups, settings);
    console::Console console(platform, etc.string());
    console.Init();
    console.AttachBrailleDisplay(&display);
    const std::string window = testing::WindowOfProcess(getpid());
    if (!window.empty()) testing::RunCommand("xdotool windowfocus " + window + " >/dev/null 2>&1");
    for (int i = 0; i < 500 && (display.Width() == 0 || SDL_GetKeyboardFocus() == nullptr); ++i) console.Delay(10);
    if (display.Width() == 0 || SDL_GetKeyboardFocus() == nullptr) {
      std::fprintf(stderr, "braille_display_bench: no display or no window focus\n");
    } else {
      Typing typing{console, daemon, wake_ups};
      typing.Measure("key on the display to the display showing it", [&] { daemon.Send("passdots 0x01"); },
                     [&] { daemon.Send("KEY_ESCAPE"); }, true);
      Display* x = XOpenDisplay(nullptr);
      const auto type = [x](KeySym symbol) {
        const KeyCode code = XKeysymToKeycode(x, symbol);
        XTestFakeKeyEvent(x, code, True, CurrentTime);
        XTestFakeKeyEvent(x, code, False, CurrentTime);
        XFlush(x);
      };
      typing.Measure("key on the keyboard (X server) to the display", [&] { type(XK_a); },
                     [&] { type(XK_Escape); }, false);
      XCloseDisplay(x);
    }
  }
  fs::remove_all(etc);
}

}  // namespace

int main() {
  StartWithoutDaemon();
  KeysToDisplay();
  return 0;
}
