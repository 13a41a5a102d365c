// A private X server for tests and benchmarks that need a real window: starts
// Xvfb on a display number it picks itself (-displayfd), points DISPLAY at it,
// and stops it at the end.
#pragma once

#include <sys/types.h>

#include <string>

namespace placarim::testing {

class XvfbServer {
 public:
  XvfbServer() = default;
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // Starts the server and sets DISPLAY; false (with `error`) when it cannot.
  bool Start(int width, int height, std::string& error);
  void Stop();
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// Runs a shell command line; its exit status (-1 when it could not run).
int RunCommand(const std::string& command);

// A command's standard output.
std::string CommandOutput(const std::string& command);

// The X window that process `pid` shows, found by its _NET_WM_PID (never by
// its title, which may be cut short or be a property xdotool cannot read);
// waits up to `limit_seconds` for it to be mapped. The newest when there are
// several; empty when none shows.
std::string WindowOfProcess(pid_t pid, int limit_seconds = 10);

}  // namespace placarim::testing
