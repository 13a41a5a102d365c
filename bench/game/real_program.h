// Running the real program from a benchmark: in its own process group, from
// a directory, with extra environment, stopped at the end.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace placarim::bench {

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Program {
 public:
  Program(const std::string& path, const std::filesystem::path& directory, const std::vector<std::string>& environment) {
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
