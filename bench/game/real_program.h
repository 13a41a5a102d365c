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
  // Its standard error goes to `error_log`, or nowhere.
  Program(const std::string& path, const std::filesystem::path& directory, const std::vector<std::string>& environment,
          const std::filesystem::path& error_log = {})
      : pid_(game::testing::StartInOwnProcessGroup(path, directory, environment, error_log)) {}
  ~Program() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGKILL);
    if (!ended_) waitpid(pid_, nullptr, 0);
  }
  pid_t Pid() const { return pid_; }
  bool Running() {
    if (pid_ <= 0 || ended_) return false;
    ended_ = waitpid(pid_, &status_, WNOHANG) == pid_;
    return !ended_;
  }
  // How the program ended ("exit status 1", "signal 11, core dumped"), or
  // nothing while it runs.
  std::string Ended() {
    if (Running()) return {};
    if (WIFEXITED(status_)) return "exit status " + std::to_string(WEXITSTATUS(status_));
    if (!WIFSIGNALED(status_)) return "ended";
    return "signal " + std::to_string(WTERMSIG(status_)) + (WCOREDUMP(status_) ? ", core dumped" : "");
  }

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
  int status_ = 0;
};

}  // namespace placarim::bench
