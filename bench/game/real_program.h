// Running the real program from a benchmark: in its own process group, from
// a directory, with extra environment, stopped at the end.
#pragma once

#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_support.h"

namespace placarim::bench {

using game::testing::ReadFile;

class Program {
 public:
  Program(const std::string& path, const std::filesystem::path& directory, const std::vector<std::string>& environment)
      : pid_(game::testing::StartInOwnProcessGroup(path, directory, environment)) {}
  ~Program() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_t Pid() const { return pid_; }
  bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
};

}  // namespace placarim::bench
