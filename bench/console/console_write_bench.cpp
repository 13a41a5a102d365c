// How long the console takes to write 1,000 lines of 80 characters in the SDL
// window, scrolling all the way, with LENTO off (every scroll repaints the
// window from the buffers) and on (every scroll moves the pixels). Runs its own
// Xvfb server; prints one line of figures per mode.
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "console/console.h"
#include "platform/sdl/sdl_platform.h"
#include "tests/support/xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using placarim::console::Console;

constexpr int kLines = 1000;

std::string Line(int n) {
  std::string line = "linha " + std::to_string(n) + " ";
  while (line.size() < 80) line += static_cast<char>('a' + line.size() % 26);
  return line;
}

struct Figures {
  double wall;  // seconds
  double cpu;   // seconds of every thread, the renderer's included
};

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

Figures WriteLines(placarim::platform::sdl::SdlPlatform& platform, const fs::path& etc, bool slow) {
  // The cell size of a 1024 × 734 work area, the window well inside the screen
  // (moving pixels needs its bottom edge above the screen's last 32 pixels).
  std::ofstream(etc / "FALDEK.INI") << "[VIDEO]\nLARGURALETRA=13\nALTURALETRA=28\nLENTO="
                                    << (slow ? "SIM" : "NAO") << "\n";
  Console console(platform, fs::current_path().string());
  console.Init();
  const std::string window = placarim::testing::WindowOfProcess(getpid());
  if (!window.empty()) placarim::testing::RunCommand("xdotool windowfocus " + window + " >/dev/null 2>&1");
  for (int i = 0; i < 100 && SDL_GetKeyboardFocus() == nullptr; ++i) console.Delay(10);
  if (slow && SDL_GetKeyboardFocus() == nullptr) {
    std::fprintf(stderr, "console_write_bench: the window has no focus; LENTO repaints\n");
  }
  const std::string lines[2] = {Line(1) + "\n", Line(2) + "\n"};
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = ProcessCpuSeconds();
  for (int i = 0; i < kLines; ++i) {
    console.TextColor(i % 2 ? 14 : 15);
    console.Write(lines[i % 2]);
  }
  console.Delay(0);  // the last frame reaches the window
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          ProcessCpuSeconds() - cpu_start};
}

}  // namespace

int main() {
  placarim::testing::XvfbServer server;
  std::string error;
  if (!server.Start(1280, 1024, error)) {
    std::fprintf(stderr, "console_write_bench: %s\n", error.c_str());
    return 1;
  }
  const fs::path etc = fs::temp_directory_path() / "placarim-console-bench";
  fs::create_directories(etc);
  setenv("PLACARIM_SYSCONFDIR", etc.c_str(), 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  placarim::platform::sdl::SdlPlatform platform;

  for (const bool slow : {false, true}) {
    const Figures f = WriteLines(platform, etc, slow);
    std::printf("LENTO=%s  %d lines of 80 characters: %.3f s  (%.1f us per line), CPU %.3f s\n",
                slow ? "SIM" : "NAO", kLines, f.wall, f.wall * 1e6 / kLines, f.cpu);
  }
  fs::remove_all(etc);
  return 0;
}
