// Runs whole games on the headless platform: the exercise file is written to a
// scratch directory, each scripted step (one key or a few) is handed over only
// when the game waits for a key, and the screen is photographed at every wait.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "game/game.h"
#include "game/message_catalogue.h"
#include "platform/fake/fake_platform.h"
#include "tests/game/recording_speech.h"

namespace placarim::game::testing {

namespace keys = platform::fake::keys;
namespace vk = platform::vk;
using Step = std::vector<platform::Event>;

// Draws scripted values first, then the lowest value (no reordering, phrase 1).
class ScriptedRandom : public Random {
 public:
  int Uniform(int lo, int hi) override {
    if (draws.empty()) return lo;
    const int value = draws.front();
    draws.pop_front();
    EXPECT_GE(value, lo);
    EXPECT_LE(value, hi);
    return value;
  }
  std::deque<int> draws;
};

// What the screen showed while the game waited for a key.
struct Snapshot {
  std::vector<std::string> rows;  // rows[1] .. rows[25]
  std::vector<std::vector<uint8_t>> attrs;
  size_t log_size = 0;
  int64_t time_ms = 0;
  int cursor_x = 0, cursor_y = 0;

  uint8_t Fg(int x, int y) const { return attrs[y][x] & 0x0F; }
};


class GameRun {
 public:
  GameRun() : directory_(ScratchDirectory()), console(fake, directory_), speech(console) {
    fake.events.SetIdleHandler([this] { OnIdle(); });
  }

  // The exercise file the game is pointed at.
  void WriteExerciseFile(const std::string& bytes) {
    exercise_path = directory_ + "/exercicios.cnf";
    std::ofstream(exercise_path, std::ios::binary) << bytes;
    speech.ini["PLACARIM/CONFIGPLACARIM"] = exercise_path;
  }

  void Keys(std::string_view typed) { steps_.push_back(keys::Type(typed)); }
  void Press(int key) { steps_.push_back(keys::Press(key)); }
  // AltGr + the key `vk`, typing `ch`.
  void AltGr(int vk, uint8_t ch) { steps_.push_back(keys::AltGr(vk, ch)); }

  // Plays until the program ends; gives its exit code (-1: it never ended).
  int Play() {
    Game game(console, speech, random, teacher_files, &fake.clock);
    try {
      game.Run();
    } catch (const platform::ProgramExit& exit) {
      return exit.code;
    } catch (const std::exception& e) {
      ADD_FAILURE() << "the game did not end: " << e.what() << " (" << steps_.size()
                    << " steps left)";
    }
    return -1;
  }

  std::string Row(int y) const { return RowOf(y); }
  std::string Say(std::string_view key) const { return "say:" + *catalogue.Find(key); }
  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(speech.log.begin(), speech.log.end(), entry));
  }
  // Whether `expected` appears in the log as one unbroken run, from `from` on.
  ::testing::AssertionResult Heard(const std::vector<std::string>& expected, size_t from = 0) const {
    const auto& log = speech.log;
    if (from <= log.size() &&
        std::search(log.begin() + from, log.end(), expected.begin(), expected.end()) != log.end()) {
      return ::testing::AssertionSuccess();
    }
    std::string text;
    for (size_t i = from; i < log.size(); ++i) text += "\n  " + log[i];
    return ::testing::AssertionFailure() << "sequence not heard; log:" << text;
  }
  // Index of the first log entry equal to `entry` at or after `from` (npos if none).
  size_t Find(const std::string& entry, size_t from = 0) const {
    for (size_t i = from; i < speech.log.size(); ++i) {
      if (speech.log[i] == entry) return i;
    }
    return std::string::npos;
  }

  platform::fake::FakePlatform fake;
  std::string exercise_path;
  TeacherFiles teacher_files;  // none unless a test names them
  int64_t think_ms = 0;        // virtual time before each scripted step arrives

  std::string Directory() const { return directory_; }

 private:
  static std::string ScratchDirectory() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) /
                                (std::string("placarim_game_") + std::to_string(::getpid()) + "_" +
                                 info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
  }

  std::string RowOf(int y) const {
    std::string row;
    for (int x = 1; x <= console::Console::kColumns; ++x) row.push_back(static_cast<char>(console.ScreenChar(x, y)));
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
  }

  void OnIdle() {
    Snapshot shot;
    shot.rows.resize(console::Console::kRows + 1);
    shot.attrs.assign(console::Console::kRows + 1, std::vector<uint8_t>(console::Console::kColumns + 1));
    for (int y = 1; y <= console::Console::kRows; ++y) {
      shot.rows[y] = RowOf(y);
      for (int x = 1; x <= console::Console::kColumns; ++x) shot.attrs[y][x] = console.ScreenAttr(x, y);
    }
    shot.log_size = speech.log.size();
    shot.time_ms = fake.clock.NowMs();
    shot.cursor_x = console.WhereX();
    shot.cursor_y = console.WhereY();
    snapshots.push_back(std::move(shot));
    if (steps_.empty()) return;  // nothing more to press: the fake reports the hang
    fake.events.PostAfter(think_ms, steps_.front());
    steps_.pop_front();
  }

  std::string directory_;
  std::deque<Step> steps_;

 public:
  console::Console console;
  RecordingSpeech speech;
  ScriptedRandom random;
  MessageCatalogue catalogue;
  std::vector<Snapshot> snapshots;
};

}  // namespace placarim::game::testing
