#include "platform/posix/posix_shell.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace placarim::platform::posix {
namespace {

namespace fs = std::filesystem;

class PosixShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("placarim-shell-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Waits (up to 5 s) for a file the launched program writes.
  std::string WaitForFile(const fs::path& path) {
    for (int i = 0; i < 500; ++i) {
      std::ifstream in(path);
      std::string line;
      if (in && std::getline(in, line) && !line.empty()) return line;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
  }

  PosixShell shell_;
  fs::path dir_;
};

TEST_F(PosixShellTest, StartsTheProgramInTheGivenDirectoryWithItsArguments) {
  ASSERT_TRUE(shell_.Launch("sh", {"-c", "echo \"$(pwd) $1\" > out.txt", "sh", "ok"}, dir_.string()));
  EXPECT_EQ(WaitForFile(dir_ / "out.txt"), fs::canonical(dir_).string() + " ok");
}

TEST_F(PosixShellTest, DoesNotWaitForTheProgram) {
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(shell_.Launch("sleep", {"3"}, ""));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(PosixShellTest, ReportsProgramsThatCannotBeStarted) {
  EXPECT_FALSE(shell_.Launch("placarim-no-such-program", {}, dir_.string()));
  EXPECT_FALSE(shell_.Launch("", {}, dir_.string()));
  EXPECT_FALSE(shell_.Launch((dir_ / "missing.sh").string(), {}, dir_.string()));
  EXPECT_FALSE(shell_.Launch("true", {}, (dir_ / "no-such-directory").string()));
}

TEST_F(PosixShellTest, LeavesNoChildToReap) {
  ASSERT_TRUE(shell_.Launch("true", {}, ""));
  ASSERT_FALSE(shell_.Launch("placarim-no-such-program", {}, ""));
  // Both programs were started by a middle child that Launch already reaped.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace placarim::platform::posix
