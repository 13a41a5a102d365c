// A stand-in for the speech service in tests: it speaks just enough of the
// service's text protocol on a private unix socket for libspeechd, records
// every command and text it receives, and can misbehave on purpose (never
// report the end of a text, or vanish mid-text).
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace placarim::voices::testing {

struct ServiceVoice {
  std::string name, language, variant;
};

class FakeSsipServer {
 public:
  struct Options {
    std::vector<ServiceVoice> voices;
    bool report_end = true;  // report the end of each text once received
  };

  FakeSsipServer(std::string socket_path, Options options);
  ~FakeSsipServer();
  FakeSsipServer(const FakeSsipServer&) = delete;
  FakeSsipServer& operator=(const FakeSsipServer&) = delete;

  // "unix_socket:<path>", for SPEECHD_ADDRESS.
  std::string Address() const { return "unix_socket:" + path_; }
  // Commands (upper-cased first word kept as sent) and, for SPEAK, the text.
  std::vector<std::string> Commands();
  std::vector<std::string> Texts();
  // Closes the connection and the socket at once, as a crashed service would.
  void Die();

 private:
  void Serve();
  void Handle(int client);

  std::string path_;
  Options options_;
  int listener_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<int> client_{-1};
  std::mutex mutex_;
  std::vector<std::string> commands_;
  std::vector<std::string> texts_;
  std::thread thread_;
};

}  // namespace placarim::voices::testing
