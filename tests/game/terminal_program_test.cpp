// The real program on a text terminal: started with --terminal inside a
// private tmux server, keys typed with send-keys, the screen read back with
// capture-pane, and the sound through SDL's disk audio driver, as a blind
// user plays it on a console or over SSH.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_support.h"

namespace placarim::game::testing {
namespace {

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

class TerminalProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* binary = std::getenv("PLACARIM_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    binary_ = binary;
    scratch_ = fs::temp_directory_path() /
               ("placarim_term_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(scratch_);
    fs::create_directories(scratch_);
    socket_ = (scratch_ / "tmux.sock").string();
  }
  void TearDown() override {
    Tmux("kill-server");
    fs::remove_all(scratch_);
  }

  int Tmux(const std::string& arguments) {
    return std::system(("tmux -S " + Quote(socket_) + " " + arguments + " >/dev/null 2>&1").c_str());
  }

  // Starts the program in a terminal of `columns` by `rows`; its exit code
  // goes to a file when it ends.
  void Start(int columns, int rows, const std::string& arguments = "--terminal") {
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string command =
        "cd " + Quote((binary_ / "data").string()) + " && env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" +
        Quote(Audio().string()) + " PLACARIM_SYSCONFDIR=" + Quote((binary_ / "etc").string()) +
        // The user's own files (exercise file, record of play) stay in the scratch directory.
        " XDG_CONFIG_HOME=" + Quote((scratch_ / "config").string()) +
        " XDG_DATA_HOME=" + Quote((scratch_ / "dados").string()) + " " + kNoBrailleDaemon +
        " ASAN_OPTIONS=" + Quote(std::string(asan != nullptr ? asan : "") + ":detect_leaks=0") + " " +
        Quote((binary_ / "game/placarim").string()) + " " + arguments + "; code=$?; stty -a > " +
        Quote((scratch_ / "stty").string()) + "; echo $code > " + Quote((scratch_ / "exit").string()) + "; sleep 60";
    ASSERT_EQ(Tmux("new-session -d -s jogo -x " + std::to_string(columns) + " -y " + std::to_string(rows) +
                   " -e LANG=C.UTF-8 " + Quote("sh -c " + Quote(command))),
              0);
  }

  fs::path Audio() const { return scratch_ / "som.raw"; }

  std::vector<std::string> Screen() {
    std::vector<std::string> rows;
    std::istringstream text(Output("tmux -S " + Quote(socket_) + " capture-pane -p -t jogo 2>/dev/null"));
    for (std::string row; std::getline(text, row);) {
      while (!row.empty() && row.back() == ' ') row.pop_back();
      rows.push_back(row);
    }
    return rows;
  }

  std::optional<std::vector<std::string>> WaitForRow(const std::string& pattern, std::chrono::milliseconds limit) {
    const std::regex wanted(pattern);
    std::optional<std::vector<std::string>> found;
    WaitUntil([&] {
      rows_ = Screen();
      found = FirstMatchingRow(rows_, wanted);
      return found.has_value();
    }, limit);
    return found;
  }

  std::string ScreenNow() const {
    std::string text;
    for (const std::string& row : rows_) text += "\n|" + row;
    return text;
  }

  void Press(const std::string& keys) { ASSERT_EQ(Tmux("send-keys -t jogo " + keys), 0); }

  // Whether the terminal's line modes were given back after the program ended.
  bool TerminalModesRestored() {
    const std::string modes = ReadFile(scratch_ / "stty");
    return std::regex_search(modes, std::regex(R"((^|\s)icanon\b)")) &&
           std::regex_search(modes, std::regex(R"((^|\s)echo\b)"));
  }

  std::string ProgramPid() {
    const std::string shell = Output("tmux -S " + Quote(socket_) + " list-panes -t jogo -F '#{pane_pid}'");
    const std::string program = Output("pgrep -P " + shell.substr(0, shell.find('\n')) + " -x placarim");
    return program.substr(0, program.find('\n'));
  }

  std::optional<int> ExitCode(std::chrono::milliseconds limit) {
    std::optional<int> code;
    WaitUntil([&] {
      const std::string text = ReadFile(scratch_ / "exit");
      if (!text.empty() && text.back() == '\n') code = std::atoi(text.c_str());
      return code.has_value();
    }, limit);
    return code;
  }

  fs::path binary_, scratch_;
  std::string socket_;
  std::vector<std::string> rows_;
};

TEST_F(TerminalProgram, ChampionshipOneChosenAnsweredAndLeftFromATerminal) {
  AudioWatch sound(Audio());
  Start(80, 25);
  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  EXPECT_GT(sound.SoundBytes(), 0) << "the opening music was not heard";
  Press("1");
  const auto sum = WaitForRow(R"(^(\d+)([-+xX*:/])(\d+)=$)", 30s);
  ASSERT_TRUE(sum) << ScreenNow();
  const int64_t answer = Apply(std::stoll((*sum)[1]), (*sum)[2][0], std::stoll((*sum)[3]));
  const long long sound_before_answer = sound.SoundBytes();
  std::string keys;
  for (const char digit : std::to_string(answer)) keys += std::string(1, digit) + " ";
  Press(keys + "Enter");
  ASSERT_TRUE(WaitForRow("^Gol! ", 20s)) << ScreenNow();
  EXPECT_TRUE(WaitUntil([&] { return sound.SoundBytes() > sound_before_answer; }, 10s)) << "no goal was heard";

  Press("Escape");
  ASSERT_TRUE(WaitForRow("O PLACARIM é um programa sonoro", 20s)) << ScreenNow();
  Press("Space");
  EXPECT_EQ(ExitCode(20s), std::optional<int>(0)) << ScreenNow();
  EXPECT_TRUE(TerminalModesRestored());
  // The terminal was given back: the shell's own screen, not the game's, is shown.
  EXPECT_FALSE(WaitForRow("O PLACARIM é um programa sonoro", 1s)) << ScreenNow();
}

TEST_F(TerminalProgram, TheTerminalIsGivenBackEvenAfterACrash) {
  Start(80, 25);
  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  const std::string pid = ProgramPid();
  ASSERT_FALSE(pid.empty()) << "the program is not running";
  ASSERT_EQ(std::system(("kill -SEGV " + pid).c_str()), 0);
  const auto code = ExitCode(20s);
  ASSERT_TRUE(code);
  EXPECT_EQ(*code, 128 + 11);  // it still dies of the signal
  EXPECT_TRUE(TerminalModesRestored());
  EXPECT_FALSE(WaitForRow("^1 - Treino no quintal$", 1s)) << ScreenNow();
}

TEST_F(TerminalProgram, ASmallTerminalIsToldSoAndTheGameShowsOnceItGrows) {
  Start(60, 20);
  ASSERT_TRUE(WaitForRow("^este tem 60 por 20\\.$", 30s))
      << ScreenNow();
  ASSERT_EQ(Tmux("resize-window -t jogo -x 80 -y 25"), 0);
  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  Press("Escape");  // on the menu: a goodbye and the end
  EXPECT_EQ(ExitCode(30s), std::optional<int>(0)) << ScreenNow();
}

TEST_F(TerminalProgram, AHangUpEndsTheProgram) {
  Start(80, 25);
  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  // Closing the terminal's window: the program gets SIGHUP and must not linger.
  const std::string pid = ProgramPid();
  ASSERT_FALSE(pid.empty()) << "the program is not running";
  ASSERT_EQ(std::system(("kill -HUP " + pid).c_str()), 0);
  const auto code = ExitCode(20s);
  ASSERT_TRUE(code);
  EXPECT_EQ(*code, 255);  // the console's end on a quit message
}

}  // namespace
}  // namespace placarim::game::testing
