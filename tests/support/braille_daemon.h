// A private braille daemon for tests: brltty with its Virtual driver, which
// connects to a Unix socket this fixture serves and so needs no hardware, and
// its client interface on a local TCP port of its own with a key file of its
// own. The fixture plays the display: it tells the driver its size, keeps
// every line of cells the daemon writes and sends the display's key commands.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace placarim::platform::brlapi::testing {

class BrailleDaemon {
 public:
  explicit BrailleDaemon(int cells = 40);
  ~BrailleDaemon();

  void Start();  // the daemon process; its driver connects to our socket
  void Kill();   // SIGKILL, as a crash would
  // The client settings that reach this daemon.
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_offset_); }
  std::string Auth() const { return "keyfile:" + directory_ + "/brlapi.key"; }

  // Waits (up to 20 s) until the latest line of cells satisfies `test`;
  // cells are written as the driver writes them ("1245|35| |...").
  bool WaitForCells(const std::function<bool(const std::vector<std::string>&)>& test);
  std::vector<std::string> LatestCells();
  // A key command of the Virtual driver ("route 3", "KEY_ENTER", "passdots 0x3c").
  void Send(const std::string& command);

 private:
  void Serve();

  std::string directory_;
  std::string socket_path_;
  int cells_;
  int port_offset_;
  int listener_ = -1;
  int connection_ = -1;
  pid_t pid_ = -1;
  std::thread server_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> latest_;
  bool stopping_ = false;
};

}  // namespace placarim::platform::brlapi::testing
