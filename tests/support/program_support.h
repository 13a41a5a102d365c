// What the tests and benchmarks of the whole program share: starting it,
// reading files, waiting for a condition, finding a row of its screen, the
// sound the disk audio driver wrote, and the answer of a sum.
#pragma once

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <cstring>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace placarim::game::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return done();
}

// The braille daemon address the programs under test are given: a local
// socket name no daemon serves, so a braille daemon running on the
// developer's machine is never taken over by a test, and the program finds
// no display at once (no network, no wait) and goes on without one.
inline constexpr char kNoBrailleDaemon[] = "BRLAPI_HOST=:61999";

// Starts `path` in a process group of its own (so that all it starts can be
// stopped together) from `directory`, with `environment` added and standard
// error dropped; the child's id, or -1. It reaches no braille daemon unless
// `environment` names one.
inline pid_t StartInOwnProcessGroup(const std::string& path, const fs::path& directory,
                                    const std::vector<std::string>& environment) {
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    if (chdir(directory.c_str()) != 0) _exit(126);
    putenv(strdup(kNoBrailleDaemon));
    for (const std::string& entry : environment) putenv(strdup(entry.c_str()));
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDERR_FILENO);
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// The groups of the first of `rows` matching `wanted` (whole match first).
inline std::optional<std::vector<std::string>> FirstMatchingRow(const std::vector<std::string>& rows,
                                                                const std::regex& wanted) {
  for (const std::string& row : rows) {
    std::smatch match;
    if (std::regex_search(row, match, wanted)) return std::vector<std::string>(match.begin(), match.end());
  }
  return std::nullopt;
}

// Watches the disk audio driver's file. The driver starts the file afresh
// each time the program opens the device, so it is read often and what it
// held is added up: sound bytes seen, and how many of them were not silence.
class AudioWatch {
 public:
  explicit AudioWatch(fs::path file) : file_(std::move(file)), thread_([this] { Loop(); }) {}
  ~AudioWatch() {
    stop_ = true;
    thread_.join();
  }
  long long SoundBytes() const { return sound_bytes_; }

 private:
  void Loop() {
    size_t last_size = 0;
    while (!stop_) {
      const std::string bytes = ReadFile(file_);
      const size_t from = bytes.size() >= last_size ? last_size : 0;  // smaller: a new file
      long long sound = 0;
      for (size_t i = from; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        // Silence is 0 (signed samples) or 128 (8-bit); 255 and 127 are the
        // high bytes of tiny signed values.
        if (b != 0x00 && b != 0x80 && b != 0xFF && b != 0x7F) ++sound;
      }
      sound_bytes_ += sound;
      last_size = bytes.size();
      std::this_thread::sleep_for(5ms);
    }
  }
  fs::path file_;
  std::atomic<bool> stop_{false};
  std::atomic<long long> sound_bytes_{0};
  std::thread thread_;
};

inline int64_t Apply(int64_t a, char op, int64_t b) {
  switch (op) {
    case '+': return a + b;
    case '-': return a - b;
    case '/': case ':': return b == 0 ? 0 : a / b;
    default: return a * b;
  }
}

}  // namespace placarim::game::testing
