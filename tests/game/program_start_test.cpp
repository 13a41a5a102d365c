// The real program started where it cannot play: with a display it cannot
// reach, or with neither display nor terminal, it says so and ends with code 1
// instead of talking to a child who can never answer; --help lists the keys,
// the chords that reach it on a Linux desktop first.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/program_support.h"

namespace placarim::game {
namespace {

struct Outcome {
  int status = -1;
  std::string output;  // standard output and error together
};

Outcome Start(const std::string& environment, const std::string& args) {
  const std::string program = std::string(std::getenv("PLACARIM_BINARY_DIR")) + "/game/placarim";
  // The system libraries SDL tries for a display (D-Bus among them) keep
  // allocations for the life of the process; the program's own objects are
  // leak-checked on the headless platform.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asan_options = "ASAN_OPTIONS=" + std::string(asan != nullptr ? asan : "") + ":detect_leaks=0";
  Outcome run;
  FILE* pipe = popen(("env " + environment + " " + testing::kNoBrailleDaemon + " " + asan_options + " timeout 20 '" +
                      program + "' " + args + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(ProgramStart, WithoutAWindowItSaysSoAndEndsWithCodeOne) {
  for (const char* environment : {"-u DISPLAY -u WAYLAND_DISPLAY", "-u WAYLAND_DISPLAY DISPLAY=:65000"}) {
    const Outcome run = Start("-u SDL_VIDEODRIVER " + std::string(environment), "");
    EXPECT_EQ(run.status, 1) << environment << run.output;  // 124 when it waits forever
    EXPECT_NE(run.output.find("placarim: n\xC3\xA3o "), std::string::npos) << environment << run.output;
  }
}

TEST(ProgramStart, HelpNamesTheChordsThatReachTheGame) {
  const Outcome run = Start("-u DISPLAY -u WAYLAND_DISPLAY", "--help");
  EXPECT_EQ(run.status, 0) << run.output;
  for (const char* chord : {"Ctrl+Shift+F9", "Ctrl+Shift+F11", "Ctrl+Shift+F12", "Ctrl+Alt+F9"}) {
    EXPECT_NE(run.output.find(chord), std::string::npos) << chord;
  }
}

}  // namespace
}  // namespace placarim::game
