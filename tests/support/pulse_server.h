// A private PulseAudio server for the tests and benchmarks that play through a
// sound server as a desktop does: a null sink at 48 kHz stereo whose monitor
// tells what was really played (MonitorRecorder), and a debug log that tells
// every underrun. Nothing of the user's own sound server is touched.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "played_sound.h"

namespace placarim::testing {

// A child process with its standard output on a pipe (or /dev/null).
inline pid_t Spawn(const std::vector<std::string>& argv, int* stdout_fd) {
  int out[2] = {-1, -1};
  if (stdout_fd != nullptr && pipe(out) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // no server left behind by a test that crashed
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

// A PulseAudio server of the caller's own: a null sink at 48 kHz stereo,
// reachable on a socket in `dir`, logging at debug level into `dir`.
class PrivatePulse {
 public:
  explicit PrivatePulse(std::filesystem::path dir) : dir_(std::move(dir)) {
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "bench.pa") << "load-module module-native-protocol-unix auth-anonymous=1 socket="
                                     << (dir_ / "native").string() << "\n"
                                     << "load-module module-null-sink sink_name=bench rate=48000 channels=2\n"
                                     << "set-default-sink bench\n";
    std::filesystem::remove(dir_ / "native");  // left by a server that was killed
    ::setenv("PULSE_RUNTIME_PATH", dir_.c_str(), 1);
    ::setenv("HOME", dir_.c_str(), 1);  // no user configuration, no cookie of the user's
    pid_ = Spawn({"pulseaudio", "-n", "-F", (dir_ / "bench.pa").string(), "--daemonize=no",
                  "--exit-idle-time=-1", "--use-pid-file=no", "-vvvv", "--log-time=1", "--log-target=file:" + Log().string()},
                 nullptr);
    for (int i = 0; i < 500 && !std::filesystem::exists(dir_ / "native"); ++i) usleep(10000);
  }
  ~PrivatePulse() { Stop(); }
  // Ends the server, as when a desktop's sound server goes away.
  void Stop() {
    StopChild(pid_);
    pid_ = -1;
  }
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

// parec on the null sink's monitor: every frame the sink played, with the time
// each piece arrived.
class MonitorRecorder {
 public:
  using Clock = std::chrono::steady_clock;

  // `latency_ms`: what the recorder asks of the sink; the sink mixes no further
  // ahead than its smallest client asks.
  explicit MonitorRecorder(const std::string& server, int latency_ms = 2) {
    pid_ = Spawn({"parec", "--server=" + server, "--device=bench.monitor", "--raw", "--format=s16le",
                  "--rate=48000", "--channels=2", "--latency-msec=" + std::to_string(latency_ms)},
                 &fd_);
    thread_ = std::thread([this] { Read(); });
  }
  ~MonitorRecorder() {
    StopChild(pid_);
    thread_.join();
    close(fd_);
  }
  MonitorRecorder(const MonitorRecorder&) = delete;
  MonitorRecorder& operator=(const MonitorRecorder&) = delete;

  size_t Frames() {
    std::lock_guard lock(mutex_);
    return left_.size();
  }
  // The left channel of every frame recorded so far.
  std::vector<int16_t> Left() {
    std::lock_guard lock(mutex_);
    return left_;
  }
  // When the sound after frame `from` last held `level`, on the steady clock:
  // the earliest arrival the reads allow, frame by frame.
  std::optional<Clock::time_point> EndOf(size_t from, int level) {
    std::lock_guard lock(mutex_);
    const std::vector<int16_t> tail(left_.begin() + static_cast<std::ptrdiff_t>(std::min(from, left_.size())),
                                    left_.end());
    const size_t end = EndOfLevel(tail, level);
    if (end == 0 || arrivals_.empty()) return std::nullopt;
    // Frame i arrived no earlier than it was played: the smallest lag over all
    // reads places frame 0 on the clock.
    double origin = 1e300;
    for (const auto& [frames, when] : arrivals_) {
      origin = std::min(origin, Ms(when.time_since_epoch()) - static_cast<double>(frames) * 1000.0 / kPlayedRate);
    }
    const double at_ms = origin + static_cast<double>(from + end) * 1000.0 / kPlayedRate;
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(at_ms)));
  }

 private:
  static double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
  void Read() {
    std::vector<uint8_t> buffer(4096);
    std::vector<uint8_t> pending;
    for (;;) {
      const ssize_t got = read(fd_, buffer.data(), buffer.size());
      if (got <= 0) return;
      const auto now = Clock::now();
      pending.insert(pending.end(), buffer.begin(), buffer.begin() + got);
      std::lock_guard lock(mutex_);
      size_t i = 0;
      for (; i + kPlayedFrameBytes <= pending.size(); i += kPlayedFrameBytes) {
        left_.push_back(static_cast<int16_t>(pending[i] | (pending[i + 1] << 8)));
      }
      pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(i));
      arrivals_.emplace_back(left_.size(), now);
    }
  }
  pid_t pid_ = -1;
  int fd_ = -1;
  std::mutex mutex_;
  std::vector<int16_t> left_;
  std::vector<std::pair<size_t, Clock::time_point>> arrivals_;
  std::thread thread_;
};

}  // namespace placarim::testing
