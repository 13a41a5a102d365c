// A private speech-dispatcher for tests: its own configuration in a temporary
// directory, the espeak-ng output module, ALSA's null device, a private
// socket. Once it answers, SPEECHD_ADDRESS in this process names its socket,
// so clients started from here (in-process or child programs) reach it.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

extern char** environ;

namespace placarim::testing {

class SpeechDaemon {
 public:
  using Clock = std::chrono::steady_clock;

  // `log_level` is the daemon's own (0-5); from 4 on its log records each
  // message it hands to the output module. `module` names the output module:
  // "espeak-ng" (Portuguese voices) or "dummy" (no voice of any language).
  explicit SpeechDaemon(int log_level = 3, const std::string& module = "espeak-ng") {
    using namespace std::chrono_literals;
    namespace fs = std::filesystem;
    dir_ = fs::temp_directory_path() / ("placarim-speechd-" + std::to_string(getpid()) + "-" + module);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "conf" / "modules");
    fs::create_directories(dir_ / "log");
    std::ofstream(dir_ / "conf" / "speechd.conf")
        << "LogLevel " << log_level << "\n"
        << "LogDir \"" << LogDirectory().string() << "\"\n"
        << "AudioOutputMethod \"alsa\"\n"
        << "AudioALSADevice \"null\"\n"
        << "AddModule \"" << module << "\" \"sd_" << module << "\" \"" << module << ".conf\"\n"
        << "DefaultModule " << module << "\n"
        << "DefaultLanguage \"pt-BR\"\n";
    std::ofstream(dir_ / "conf" / "modules" / "espeak-ng.conf") << "EspeakAudioChunkSize 2000\n";
    std::ofstream(dir_ / "conf" / "modules" / (module + ".conf"), std::ios::app);
    socket_ = (dir_ / "sock").string();
    Start();
    setenv("SPEECHD_ADDRESS", Address().c_str(), 1);
  }

  // Starts the daemon (again, after Kill) on the same socket and waits until
  // it accepts connections.
  void Start() {
    using namespace std::chrono_literals;
    const std::string conf = (dir_ / "conf").string(), log = LogDirectory().string(),
                      pid = (dir_ / "pid").string();
    const char* argv[] = {"speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", socket_.c_str(),
                          "-C", conf.c_str(), "-L", log.c_str(), "-P", pid.c_str(), nullptr};
    if (posix_spawnp(&pid_, "speech-dispatcher", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
      return;
    }
    const auto start = Clock::now();
    while (!Answers() && Clock::now() - start < 15s) std::this_thread::sleep_for(20ms);
  }
  // Stops the daemon without ending it (SIGSTOP): connections are still
  // accepted by the kernel, but nothing is ever answered.
  void Freeze() {
    if (pid_ > 0) kill(pid_, SIGSTOP);
  }
  void Thaw() {
    if (pid_ > 0) kill(pid_, SIGCONT);
  }
  ~SpeechDaemon() {
    Kill();
    std::filesystem::remove_all(dir_);
  }
  SpeechDaemon(const SpeechDaemon&) = delete;
  SpeechDaemon& operator=(const SpeechDaemon&) = delete;

  bool Running() const { return pid_ > 0 && Answers(); }
  // Whether the daemon accepts connections on its socket.
  bool Answers() const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket_.c_str(), sizeof(address.sun_path) - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool answers = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return answers;
  }
  void Kill() {
    using namespace std::chrono_literals;
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    kill(pid_, SIGCONT);
    int status = 0;
    const auto start = Clock::now();
    while (waitpid(pid_, &status, WNOHANG) == 0 && Clock::now() - start < 5s) std::this_thread::sleep_for(10ms);
    pid_ = -1;
  }
  // The value for SPEECHD_ADDRESS.
  std::string Address() const { return "unix_socket:" + socket_; }
  std::filesystem::path LogDirectory() const { return dir_ / "log"; }

 private:
  std::filesystem::path dir_;
  std::string socket_;
  pid_t pid_ = -1;
};

}  // namespace placarim::testing
