// A private PulseAudio server for the benchmarks that play through a sound
// server as a desktop does: a null sink at 48 kHz stereo whose monitor tells
// what was really played, and a debug log that tells every underrun.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace placarim::bench {

// A child process with its standard output on a pipe (or /dev/null).
inline pid_t Spawn(const std::vector<std::string>& argv, int* stdout_fd) {
  int out[2] = {-1, -1};
  if (stdout_fd != nullptr && pipe(out) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(stdout_fd != nullptr ? out[1] : null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (stdout_fd != nullptr) {
    close(out[1]);
    *stdout_fd = out[0];
  }
  return pid;
}

inline void StopChild(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// A PulseAudio server of this benchmark's own: a null sink at 48 kHz stereo,
// reachable on a socket in `dir`, logging at debug level into `dir`.
class PrivatePulse {
 public:
  explicit PrivatePulse(std::filesystem::path dir) : dir_(std::move(dir)) {
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "bench.pa") << "load-module module-native-protocol-unix auth-anonymous=1 socket="
                                     << (dir_ / "native").string() << "\n"
                                     << "load-module module-null-sink sink_name=bench rate=48000 channels=2\n"
                                     << "set-default-sink bench\n";
    ::setenv("PULSE_RUNTIME_PATH", dir_.c_str(), 1);
    ::setenv("HOME", dir_.c_str(), 1);  // no user configuration, no cookie of the user's
    pid_ = Spawn({"pulseaudio", "-n", "-F", (dir_ / "bench.pa").string(), "--daemonize=no",
                  "--exit-idle-time=-1", "--use-pid-file=no", "-vvvv", "--log-target=file:" + Log().string()},
                 nullptr);
    for (int i = 0; i < 500 && !std::filesystem::exists(dir_ / "native"); ++i) usleep(10000);
  }
  ~PrivatePulse() { StopChild(pid_); }
  bool Running() const { return pid_ > 0 && std::filesystem::exists(dir_ / "native"); }
  std::string Server() const { return "unix:" + (dir_ / "native").string(); }
  std::filesystem::path Log() const { return dir_ / "pulse.log"; }
  // The server's log lines that speak of underruns, by message (the part after
  // the source location), with how often each came.
  std::map<std::string, int> UnderrunMessages() const {
    std::ifstream in(Log());
    std::map<std::string, int> messages;
    for (std::string line; std::getline(in, line);) {
      if (line.find("nderrun") == std::string::npos) continue;
      const size_t colon = line.find(": ", line.find(']'));
      messages[colon == std::string::npos ? line : line.substr(colon + 2)]++;
    }
    return messages;
  }

 private:
  std::filesystem::path dir_;
  pid_t pid_ = -1;
};

}  // namespace placarim::bench
