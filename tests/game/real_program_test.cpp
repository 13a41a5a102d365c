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

#include "tests/support/program_support.h"
#include "tests/support/speech_daemon.h"
#include "tests/support/xvfb_server.h"

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
  Program(const std::string& path, const fs::path& directory, const std::vector<std::string>& environment)
      : pid_(StartInOwnProcessGroup(path, directory, environment)) {}
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
  // Ends the program at once, as a power cut or a crash would: SIGKILL.
  void Kill() {
    kill(-pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    exit_code_ = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  }
  pid_t Pid() const { return pid_; }

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
    // The user's own files (exercise file, record of play) stay in the scratch directory.
    return {"XDG_CONFIG_HOME=" + (scratch_ / "config").string(), "XDG_DATA_HOME=" + (scratch_ / "dados").string(),
            "SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + Audio().string(),
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
      found = FirstMatchingRow(rows_, wanted);
      return found.has_value();
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

TEST_F(RealProgram, KilledGameLosesNoAnsweredSumFromItsRecord) {
  // The teacher's own exercise file: four sums in one phase.
  fs::create_directories(scratch_ / "config/placarim");
  std::ofstream(scratch_ / "config/placarim/placarim.cnf") << "*Do professor\n1+1=2\n2+2=4\n3+3=6\n4+4=8\n";
  const fs::path record = scratch_ / "dados/placarim/jogadas.csv";
  Program program((binary_ / "game/placarim").string(), binary_ / "data", Environment(binary_ / "etc"));
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  Press("1");  // the sums are the teacher's: the record names their championship's title
  std::vector<std::string> answered;
  for (int i = 1; i <= 3; ++i) {
    const auto sum = WaitForRow(R"(^(\d)\+(\d)=$)", 20s);
    ASSERT_TRUE(sum) << ScreenNow();
    const int a = std::stoi((*sum)[1]);
    // The last answer is a miss (its counting-out would look like a new sum on screen).
    const int answer = i == 3 ? 2 * a + 1 : 2 * a;
    Press(std::to_string(answer) + " Return");
    answered.push_back(std::to_string(a) + " + " + std::to_string(a) + " = " + std::to_string(2 * a) + "," +
                       std::to_string(answer) + "," + (i == 3 ? "erro" : "gol"));
    // The answer has been acted on once the game has shouted about it.
    const auto reactions = [&] {
      std::istringstream text(ReadFile(Screen()));
      int count = 0;
      for (std::string line; std::getline(text, line);) count += line.starts_with("Gol! ") || line.starts_with("Uh! ");
      return count;
    };
    ASSERT_TRUE(WaitUntil([&] { return reactions() == i; }, 20s)) << ReadFile(Screen());
  }
  // Killed while the third answer is still being acted on: its line is there.
  program.Kill();
  std::istringstream lines(ReadFile(record));
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 4u) << ReadFile(record);
  EXPECT_TRUE(rows[0].starts_with("data,hora,campeonato"));
  for (size_t i = 0; i < answered.size(); ++i) {
    EXPECT_NE(rows[i + 1].find(",1,Do professor,1," + answered[i] + ","), std::string::npos) << rows[i + 1];
  }
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

// Whether the process has the shared library `name` loaded.
bool HasLibrary(pid_t pid, const std::string& name) {
  return ReadFile("/proc/" + std::to_string(pid) + "/maps").find(name) != std::string::npos;
}

TEST_F(RealProgram, FirstPhaseOfChampionshipOnePlayedWithTheIlvraVoice) {
  // The build's configuration with the Ilvra voice and its data. The engine
  // is reached through a library that passes every call on to ours and
  // counts the samples the voice reads from it: the kick and the cues are
  // heard whatever voice speaks, those samples only when Ilvra does.
  const fs::path etc = scratch_ / "etc";
  fs::create_directories(etc);
  std::string ini = ReadFile(binary_ / "etc/FALDEK.INI");
  ini = std::regex_replace(ini, std::regex(R"(TIPOSAPI=\d+)"), "TIPOSAPI=3");
  ini = std::regex_replace(ini, std::regex(R"(\nSAPI=\w+)"), "\nSAPI=Sim");
  ini = std::regex_replace(ini, std::regex(R"(\nMOTOR=[^\r\n]*)"),
                           "\nMOTOR=" + std::string(std::getenv("PLACARIM_COUNTING_ENGINE")));
  ASSERT_NE(ini.find("TIPOSAPI=3"), std::string::npos);
  ASSERT_NE(ini.find("MOTOR=/"), std::string::npos);
  std::ofstream(etc / "FALDEK.INI", std::ios::binary) << ini;
  const fs::path counted = scratch_ / "amostras.txt";
  auto engine_samples = [&] {
    const std::string text = ReadFile(counted);
    return text.empty() ? 0LL : std::stoll(text);
  };

  AudioWatch sound(Audio());
  std::vector<std::string> environment = Environment(etc);
  environment.push_back("PLACARIM_REAL_ENGINE=" + std::string(std::getenv("PLACARIM_MBROLA_LIBRARY")));
  environment.push_back("PLACARIM_ENGINE_SAMPLES=" + counted.string());
  Program program((binary_ / "game/placarim").string(), binary_ / "data", environment);
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(WaitForRow("^1 - Treino no quintal$", 30s)) << ScreenNow();
  EXPECT_TRUE(WaitUntil([&] { return engine_samples() > 16000; }, 10s)) << "Ilvra said nothing before the menu";
  // The voice opened: a voice that fails to open unloads its engine.
  EXPECT_TRUE(HasLibrary(program.Pid(), "libplacarim-mbrola.so"));
  Press("1");
  ASSERT_TRUE(WaitForRow("^Tem início agora a fase 1$", 20s)) << ScreenNow();

  // Every sum of the phase, answered right as soon as it is asked, until the
  // second phase begins (or the championship is won).
  const std::string next = "^Tem início agora a fase 2$|^GANHOU O CAMPEONATO!!!$";
  int answered = 0;
  for (; answered <= 30; ++answered) {
    const auto sum = WaitForRow(R"(^(\d+)([-+xX*:/])(\d+)=$|)" + next, 30s);
    ASSERT_TRUE(sum) << ScreenNow();
    if ((*sum)[1].empty()) break;
    const long long before = sound.SoundBytes();
    const long long spoken_before = engine_samples();
    const int64_t answer = Apply(std::stoll((*sum)[1]), (*sum)[2][0], std::stoll((*sum)[3]));
    std::string keys;
    for (char digit : std::to_string(answer)) keys += std::string(1, digit) + " ";
    Press(keys + "Return");
    ASSERT_TRUE(WaitForRow("^" + std::regex_replace((*sum)[0], std::regex(R"([+*/])"), R"(\$&)") +
                               std::to_string(answer) + "$", 20s)) << ScreenNow();
    EXPECT_TRUE(WaitUntil([&] { return sound.SoundBytes() > before; }, 10s)) << "nothing heard after sum " << answered;
    EXPECT_TRUE(WaitUntil([&] { return engine_samples() > spoken_before; }, 10s))
        << "Ilvra said nothing after sum " << answered;
  }
  EXPECT_GT(answered, 0);
  EXPECT_LE(answered, 30);
  // The voice stayed open all along.
  EXPECT_TRUE(HasLibrary(program.Pid(), "libplacarim-mbrola.so"));

  Press("Escape");
  ASSERT_TRUE(WaitForRow("O PLACARIM é um programa sonoro", 30s)) << ScreenNow();
  Press("space");
  EXPECT_EQ(program.WaitForExit(20s), std::optional<int>(0)) << ScreenNow();
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
