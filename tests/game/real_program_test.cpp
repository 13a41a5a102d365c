// The real program in a real window: started under a private X server with
// SDL's disk audio driver, as ./play starts it (from the build's data tree,
// with the build's configuration) and as a user starts the installed
// launcher. Keys are sent with xdotool. The screen is read through the text
// the program writes when PLACARIM_SCREEN_DUMP names a file; the sound
// through the file the disk audio driver writes, and the desktop speech
// service's words through the log of a private speech-dispatcher.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/game/program_support.h"
#include "tests/speech/speech_daemon.h"
#include "xvfb_server.h"

namespace placarim::game::testing {
namespace {

namespace fs = std::filesystem;
using placarim::testing::CommandOutput;
using placarim::testing::RunCommand;
using namespace std::chrono_literals;

// One run of a program in its own process group, stopped at the end if it
// has not ended by itself.
class Program {
 public:
  Program(const std::string& path, const fs::path& directory, const std::vector<std::string>& environment) {
    pid_ = fork();
    if (pid_ == 0) {
      setpgid(0, 0);
      if (chdir(directory.c_str()) != 0) _exit(126);
      for (const std::string& entry : environment) putenv(strdup(entry.c_str()));
      const int null = open("/dev/null", O_WRONLY);
      if (null >= 0) dup2(null, STDERR_FILENO);
      execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~Program() {
    if (pid_ > 0 && !exit_code_) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  // The exit code once the program has ended within `limit`.
  std::optional<int> WaitForExit(std::chrono::milliseconds limit) {
    WaitUntil([&] {
      int status = 0;
      if (exit_code_ || waitpid(pid_, &status, WNOHANG) != pid_) return exit_code_.has_value();
      exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return true;
    }, limit);
    return exit_code_;
  }
  bool Started() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
  std::optional<int> exit_code_;
};

class RealProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* binary = std::getenv("PLACARIM_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    binary_ = binary;
    scratch_ = fs::temp_directory_path() / ("placarim_real_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(scratch_);
    fs::create_directories(scratch_);
    std::string error;
    ASSERT_TRUE(xvfb_.Start(1280, 800, error)) << error;
  }
  void TearDown() override {
    xvfb_.Stop();
    fs::remove_all(scratch_);
  }

  // `asan_extra` adds sanitizer options for the child, after a ':'.
  std::vector<std::string> Environment(const fs::path& sysconfdir, const std::string& asan_extra = "") const {
    // In the sanitizer build the program keeps its memory checks, but not the
    // leak report at exit: the desktop libraries under SDL (D-Bus, fontconfig,
    // X modules unloaded at exit) keep allocations for the life of the process
    // that cannot be named. The same graph is leak-checked on the headless platform.
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + Audio().string(),
            "PLACARIM_SCREEN_DUMP=" + Screen().string(), "PLACARIM_SYSCONFDIR=" + sysconfdir.string(),
            "ASAN_OPTIONS=" + std::string(asan != nullptr ? asan : "") + ":detect_leaks=0" + asan_extra};
  }
  fs::path Screen() const { return scratch_ / "tela.txt"; }
  fs::path Audio() const { return scratch_ / "som.raw"; }

  // The groups of the first row matching `pattern` (whole match first), once
  // the program has written such a row.
  std::optional<std::vector<std::string>> WaitForRow(const std::string& pattern, std::chrono::milliseconds limit,
                                        std::vector<std::string>* rows_out = nullptr) {
    const std::regex wanted(pattern);
    std::optional<std::vector<std::string>> found;
    WaitUntil([&] {
      std::istringstream text(ReadFile(Screen()));
      rows_.clear();
      for (std::string row; std::getline(text, row);) rows_.push_back(row);
      for (const std::string& row : rows_) {
        std::smatch match;
        if (std::regex_search(row, match, wanted)) {
          found = std::vector<std::string>(match.begin(), match.end());
          return true;
        }
      }
      return false;
    }, limit);
    if (rows_out != nullptr) *rows_out = rows_;
    return found;
  }
  std::string ScreenNow() const {
    std::string text;
    for (const std::string& row : rows_) text += "\n|" + row;
    return text;
  }

  // Sends keys (xdotool key names) to the program's window.
  void Press(const std::string& key_names) {
    if (window_.empty()) {
      WaitUntil([&] {
        // By class: once espeak-ng has set a UTF-8 locale, the title is an
        // UTF-8 property that xdotool's name search does not read.
        window_ = CommandOutput("xdotool search --classname '^placarim$' 2>/dev/null | head -1");
        while (!window_.empty() && window_.back() == '\n') window_.pop_back();
        return !window_.empty();
      }, 10s);
      ASSERT_FALSE(window_.empty()) << "no window";
      RunCommand("xdotool windowfocus --sync " + window_ + " 2>/dev/null");
    }
    ASSERT_EQ(RunCommand("xdotool key --window " + window_ + " " + key_names), 0);
  }

  // Whether the window shows more than one colour (the console was drawn).
  bool WindowIsDrawn() {
    const std::string deviation = CommandOutput("import -silent -window " + window_ +
                                                " png:- | convert - -colorspace gray -format '%[fx:standard_deviation]' info:");
    return !deviation.empty() && std::stod(deviation) > 0.01;
  }

  placarim::testing::XvfbServer xvfb_;
  fs::path binary_, scratch_;
  std::string window_;
  std::vector<std::string> rows_;
};

TEST_F(RealProgram, ChampionshipOneChosenAndTheFirstSumAnsweredWithKeys) {
  AudioWatch sound(Audio());
  Program program((binary_ / "game/placarim").string(), binary_ / "data", Environment(binary_ / "etc"));
  ASSERT_TRUE(program.Started());

  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  EXPECT_GT(sound.SoundBytes(), 0) << "the opening music was not written";
  // Chosen while the menu is still being read: the key cuts the reading short.
  Press("1");
  ASSERT_TRUE(WaitForRow("^Tem início agora a fase 1$", 20s)) << ScreenNow();
  EXPECT_TRUE(WindowIsDrawn());

  // The first sum of the shuffled phase, once its "=" is written.
  const auto sum = WaitForRow(R"(^(\d+)([-+xX*:/])(\d+)=$)", 20s);
  ASSERT_TRUE(sum) << ScreenNow();
  const int64_t answer = Apply(std::stoll((*sum)[1]), (*sum)[2][0], std::stoll((*sum)[3]));
  const long long sound_before_answer = sound.SoundBytes();
  std::string keys;
  for (char digit : std::to_string(answer)) keys += std::string(1, digit) + " ";
  Press(keys + "Return");
  const std::string answered = (*sum)[0] + std::to_string(answer);
  std::vector<std::string> rows;
  ASSERT_TRUE(WaitForRow("^Gol! ", 20s, &rows)) << ScreenNow();
  const auto at = std::find(rows.begin(), rows.end(), answered);
  ASSERT_NE(at, rows.end()) << ScreenNow();
  EXPECT_TRUE(std::next(at)->starts_with("Gol! ")) << ScreenNow();
  // The kick and the next sum's cue were heard after the answer.
  EXPECT_TRUE(WaitUntil([&] { return sound.SoundBytes() > sound_before_answer; }, 10s));

  // Giving up: the credits, then any key ends the program.
  Press("Escape");
  ASSERT_TRUE(WaitForRow("O PLACARIM é um programa sonoro", 20s)) << ScreenNow();
  Press("space");
  EXPECT_EQ(program.WaitForExit(15s), std::optional<int>(0));
}

// How many messages the daemon handed to its speech module, by its log.
int MessagesSpoken(const fs::path& log_directory) {
  const std::string log = ReadFile(log_directory / "speech-dispatcher.log");
  int count = 0;
  for (size_t at = log.find("Module speak!"); at != std::string::npos; at = log.find("Module speak!", at + 1)) ++count;
  return count;
}

TEST_F(RealProgram, ChampionshipOneSpokenThroughTheDesktopSpeechService) {
  placarim::testing::SpeechDaemon daemon(4);
  ASSERT_TRUE(daemon.Running()) << "speech-dispatcher did not start";
  // The build's configuration, with the desktop speech service as the voice.
  const fs::path etc = scratch_ / "etc";
  fs::create_directories(etc);
  std::string ini = ReadFile(binary_ / "etc/FALDEK.INI");
  ini = std::regex_replace(ini, std::regex(R"(TIPOSAPI=\d+)"), "TIPOSAPI=5");
  ASSERT_NE(ini.find("TIPOSAPI=5"), std::string::npos);
  std::ofstream(etc / "FALDEK.INI", std::ios::binary) << ini;

  std::vector<std::string> environment = Environment(etc, ":intercept_strstr=0");
  environment.push_back("SPEECHD_ADDRESS=" + daemon.Address());
  Program program((binary_ / "game/placarim").string(), binary_ / "data", environment);
  ASSERT_TRUE(program.Started());

  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  Press("1");
  const auto sum = WaitForRow(R"(^(\d+)([-+xX*:/])(\d+)=$)", 30s);
  ASSERT_TRUE(sum) << ScreenNow();
  const int spoken_before_answer = MessagesSpoken(daemon.LogDirectory());
  EXPECT_GT(spoken_before_answer, 0) << "the service heard nothing before the first sum";
  const int64_t answer = Apply(std::stoll((*sum)[1]), (*sum)[2][0], std::stoll((*sum)[3]));
  std::string keys;
  for (char digit : std::to_string(answer)) keys += std::string(1, digit) + " ";
  Press(keys + "Return");
  ASSERT_TRUE(WaitForRow("^Gol! ", 20s)) << ScreenNow();
  // The goal's words are spoken by the service too.
  EXPECT_TRUE(WaitUntil([&] { return MessagesSpoken(daemon.LogDirectory()) > spoken_before_answer; }, 10s));

  Press("Escape");
  ASSERT_TRUE(WaitForRow("O PLACARIM é um programa sonoro", 20s)) << ScreenNow();
  Press("space");
  EXPECT_EQ(program.WaitForExit(15s), std::optional<int>(0)) << ScreenNow();
}

TEST_F(RealProgram, InstalledLauncherStartedFromAnotherDirectoryReachesTheMenu) {
  const char* cmake = std::getenv("CMAKE_COMMAND");
  ASSERT_NE(cmake, nullptr);
  const fs::path prefix = scratch_ / "instalado";
  const std::string log = CommandOutput("'" + std::string(cmake) + "' --install '" + binary_.string() +
                                        "' --prefix '" + prefix.string() + "' 2>&1");
  ASSERT_TRUE(fs::exists(prefix / "bin/placarim")) << log;
  const fs::path elsewhere = scratch_ / "outro lugar";
  fs::create_directories(elsewhere);

  // The launcher sets the configuration directory itself; the one given here must not matter.
  Program program((prefix / "bin/placarim").string(), elsewhere, Environment("/nao/existe"));
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  Press("Escape");  // on the menu: the rest of the menu, a goodbye, no credits
  ASSERT_TRUE(WaitForRow("^Digite TAB para treinamento", 10s)) << ScreenNow();
  ASSERT_TRUE(WaitForRow("^Fim do Jogo Placarim", 10s)) << ScreenNow();
  EXPECT_EQ(program.WaitForExit(20s), std::optional<int>(0)) << ScreenNow();
}

}  // namespace
}  // namespace placarim::game::testing
