#include "tests/support/braille_daemon.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace placarim::platform::brlapi::testing {
namespace {

// "Braille \"1245|35| |...\"" -> {"1245", "35", "", ...}
std::vector<std::string> ParseBrailleLine(const std::string& line) {
  std::vector<std::string> cells;
  const size_t open = line.find('"');
  const size_t close = line.rfind('"');
  if (open == std::string::npos || close <= open) return cells;
  std::string cell;
  for (size_t i = open + 1; i <= close; ++i) {
    if (i == close || line[i] == '|') {
      cells.push_back(cell);
      cell.clear();
    } else if (line[i] != ' ') {
      cell += line[i];
    }
  }
  return cells;
}

}  // namespace

BrailleDaemon::BrailleDaemon(int cells) : cells_(cells) {
  std::random_device seed;
  port_offset_ = 2000 + static_cast<int>((getpid() * 7 + seed()) % 20000);
  directory_ = std::filesystem::path(::testing::TempDir()) / ("placarim_brltty_" + std::to_string(getpid()) + "_" + std::to_string(port_offset_));
  std::filesystem::remove_all(directory_);
  std::filesystem::create_directories(directory_);
  std::ofstream(directory_ + "/brlapi.key") << "placarim-test-key-" << seed() << "\n";
  socket_path_ = directory_ + "/display.sock";
  listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket_path_.c_str(), sizeof address.sun_path - 1);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 2) != 0) {
    ADD_FAILURE() << "cannot serve " << socket_path_ << ": " << std::strerror(errno);
  }
  server_ = std::thread([this] { Serve(); });
}

BrailleDaemon::~BrailleDaemon() {
  Kill();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  shutdown(listener_, SHUT_RDWR);
  if (connection_ >= 0) shutdown(connection_, SHUT_RDWR);
  server_.join();
  close(listener_);
  std::filesystem::remove_all(directory_);
}

void BrailleDaemon::Start() {
  const std::string api = "host=" + Host() + ",auth=keyfile:" + directory_ + "/brlapi.key";
  const std::string device = "client:" + socket_path_;
  const std::string log = directory_ + "/brltty.log";
  pid_ = fork();
  if (pid_ == 0) {
    const std::vector<std::string> args = {
        BRLTTY_PROGRAM, "-n", "-e", "-q", "-b", "vr", "-d", device, "-x", "no", "-s", "no",
        "-f", "/dev/null", "-F", "/dev/null", "-W", directory_, "-U", directory_,
        "-P", directory_ + "/brltty.pid", "-A", api, "-L", log};
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
}

void BrailleDaemon::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

void BrailleDaemon::Serve() {
  for (;;) {
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) return;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) {
        close(connection);
        return;
      }
      connection_ = connection;
    }
    const std::string size = "cells " + std::to_string(cells_) + "\n";
    (void)!write(connection, size.data(), size.size());
    std::string pending;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(connection, buffer, sizeof buffer)) > 0) {
      pending.append(buffer, static_cast<size_t>(got));
      for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
        const std::string line = pending.substr(0, end);
        if (line.rfind("Braille ", 0) != 0) continue;
        std::lock_guard lock(mutex_);
        latest_ = ParseBrailleLine(line);
        changed_.notify_all();
      }
    }
    std::lock_guard lock(mutex_);
    connection_ = -1;
    close(connection);
  }
}

bool BrailleDaemon::WaitForCells(const std::function<bool(const std::vector<std::string>&)>& test) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return test(latest_); });
}

std::vector<std::string> BrailleDaemon::LatestCells() {
  std::lock_guard lock(mutex_);
  return latest_;
}

void BrailleDaemon::Send(const std::string& command) {
  std::lock_guard lock(mutex_);
  const std::string line = command + "\n";
  if (connection_ >= 0) (void)!write(connection_, line.data(), line.size());
}

}  // namespace placarim::platform::brlapi::testing
