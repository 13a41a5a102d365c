#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <unistd.h>
#include <string>
#include <sys/wait.h>

#include "tests/tools/wave_reading.h"

namespace placarim::soundkit {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string output;  // stdout and stderr together
};

// Runs the tool with `arguments` (already quoted for the shell). libespeak-ng
// keeps allocations until exit, which the leak checker would call a failure.
ToolRun RunTool(const std::string& arguments) {
  const char* tool = std::getenv("SOUNDKIT");
  ToolRun run;
  if (tool == nullptr) return run;
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 '" + std::string(tool) + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) run.output += buffer.data();
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class SoundkitRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("SOUNDKIT"), nullptr) << "SOUNDKIT must name the tool";
    root_ = fs::temp_directory_path() / ("soundkit_run_" + std::to_string(getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Dir(const std::string& name) const { return (root_ / name).string(); }

  // Every file below `dir`, relative, with its bytes.
  static std::map<std::string, std::vector<uint8_t>> Snapshot(const fs::path& dir) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
      if (entry.is_regular_file())
        files[fs::relative(entry.path(), dir).string()] = testing::ReadBytes(entry.path().string());
    return files;
  }

  fs::path root_;
};

// A sample of every kind of item: names, accented letters, number and date
// words, editor cues, spelling, tones, game words and every random cue.
constexpr const char* kSampleKeys =
    "_65,_231,_45,_quatroc,_dezeset,_Setembr,_MENOS,_CPOAPA,_FON119,dtmf_X,dtmf_#,7,PLDIVID,"
    "PLUAU,PLPALMAS,PLCHUTE,PLINITRT,PLCLOK,PLMUSINI";

TEST_F(SoundkitRunTest, TwoRunsMakeTheSameBytes) {
  const ToolRun first = RunTool("--out '" + Dir("one") + "' --keys " + kSampleKeys);
  const ToolRun second = RunTool("--out '" + Dir("two") + "' --keys " + kSampleKeys);
  ASSERT_EQ(first.status, 0) << first.output;
  ASSERT_EQ(second.status, 0) << second.output;
  const auto one = Snapshot(Dir("one"));
  const auto two = Snapshot(Dir("two"));
  EXPECT_EQ(one.size(), 19u);
  ASSERT_EQ(one.size(), two.size());
  for (const auto& [name, bytes] : one) {
    ASSERT_TRUE(two.contains(name)) << name;
    EXPECT_TRUE(bytes == two.at(name)) << name << " differs between runs";
  }
}

TEST_F(SoundkitRunTest, AKeyThatCannotBeMadeStopsTheRunNamingItAndLeavesNoFile) {
  struct Case {
    const char* arguments;
    const char* key;
    const char* file;
  };
  const Case cases[] = {
      {"--voice no-such-voice --keys _65", "_65", "letras/_65.wav"},
      {"--keys _zero --say '_BRANCO= '", "_BRANCO", "letras/_BRANCO.wav"},  // speaks nothing: silence
      {"--keys _zero --say '_VAZIO='", "_VAZIO", "letras/_VAZIO.wav"},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool("--out '" + Dir("out") + "' " + c.arguments);
    EXPECT_EQ(run.status, 1) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.key), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(root_ / "out" / c.file)) << c.file;
    if (!fs::exists(root_ / "out")) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root_ / "out"))
      EXPECT_NE(entry.path().extension(), ".part") << entry.path();
  }
}

TEST_F(SoundkitRunTest, MisuseIsRefusedWithUsage) {
  const char* cases[] = {"", "--keys _65", "--out", "--out x --say nothing", "--out x --keys _nonexistent"};
  for (const char* arguments : cases) {
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.status, 2) << arguments << "\n" << run.output;
  }
  EXPECT_NE(RunTool("--out x --keys _nonexistent").output.find("_nonexistent"), std::string::npos);
}

TEST_F(SoundkitRunTest, AnExtraSpokenKeyIsWrittenInTheLettersFormat) {
  const ToolRun run = RunTool("--out '" + Dir("out") + "' --keys dtmf_1 --say '_TESTE=teste'");
  ASSERT_EQ(run.status, 0) << run.output;
  const auto wave = testing::ReadWave((root_ / "out/letras/_TESTE.wav").string());
  ASSERT_TRUE(wave.has_value());
  EXPECT_EQ(wave->data_offset, 44u);
  EXPECT_EQ(wave->sample_rate, 11025);
  EXPECT_EQ(wave->bits, 8);
  EXPECT_GT(wave->samples.size(), 1000u);
}

}  // namespace
}  // namespace placarim::soundkit
