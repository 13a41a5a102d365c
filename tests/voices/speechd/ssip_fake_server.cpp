#include "tests/voices/speechd/ssip_fake_server.h"

#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace placarim::voices::testing {
namespace {

void Send(int fd, const std::string& text) {
  size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

bool StartsWith(const std::string& line, const char* prefix) {
  return strncasecmp(line.c_str(), prefix, strlen(prefix)) == 0;
}

}  // namespace

FakeSsipServer::FakeSsipServer(std::string socket_path, Options options)
    : path_(std::move(socket_path)), options_(std::move(options)) {
  unlink(path_.c_str());
  listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listener_, 4) != 0) {
    throw std::runtime_error("fake speech service: cannot listen on " + path_);
  }
  thread_ = std::thread(&FakeSsipServer::Serve, this);
}

FakeSsipServer::~FakeSsipServer() { Die(); }

std::vector<std::string> FakeSsipServer::Commands() {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::vector<std::string> FakeSsipServer::Texts() {
  std::lock_guard lock(mutex_);
  return texts_;
}

void FakeSsipServer::Die() {
  stop_ = true;
  const int client = client_.exchange(-1);
  if (client >= 0) shutdown(client, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
  listener_ = -1;
  unlink(path_.c_str());
}

void FakeSsipServer::Serve() {
  while (!stop_) {
    pollfd listening{listener_, POLLIN, 0};
    if (poll(&listening, 1, 20) <= 0) continue;
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    client_ = client;
    Handle(client);
    client_ = -1;
    close(client);
  }
}

void FakeSsipServer::Handle(int client) {
  std::string buffer;
  bool in_text = false;
  std::string text;
  int next_message = 1;
  while (!stop_) {
    pollfd readable{client, POLLIN, 0};
    if (poll(&readable, 1, 20) <= 0) continue;
    char chunk[4096];
    const ssize_t n = recv(client, chunk, sizeof(chunk), 0);
    if (n <= 0) return;
    buffer.append(chunk, static_cast<size_t>(n));
    for (size_t end; (end = buffer.find("\r\n")) != std::string::npos;) {
      std::string line = buffer.substr(0, end);
      buffer.erase(0, end + 2);
      if (in_text) {
        if (line == ".") {
          in_text = false;
          const int id = next_message++;
          {
            std::lock_guard lock(mutex_);
            texts_.push_back(text);
          }
          Send(client, "225-" + std::to_string(id) + "\r\n225 OK MESSAGE QUEUED\r\n");
          if (options_.report_end) {
            Send(client, "702-" + std::to_string(id) + "\r\n702-1\r\n702 END\r\n");
          }
        } else {
          if (line.starts_with("..")) line.erase(0, 1);
          text += text.empty() ? line : "\n" + line;
        }
        continue;
      }
      {
        std::lock_guard lock(mutex_);
        commands_.push_back(line);
      }
      if (StartsWith(line, "SET SELF CLIENT_NAME")) {
        Send(client, "208 OK CLIENT NAME SET\r\n");
      } else if (StartsWith(line, "HISTORY GET CLIENT_ID")) {
        Send(client, "245-1\r\n245 OK CLIENT ID SENT\r\n");
      } else if (StartsWith(line, "LIST SYNTHESIS_VOICES")) {
        std::string reply;
        for (const auto& v : options_.voices) {
          reply += "249-" + v.name + "\t" + v.language + "\t" + v.variant + "\r\n";
        }
        Send(client, reply + "249 OK VOICE LIST SENT\r\n");
      } else if (StartsWith(line, "SPEAK")) {
        in_text = true;
        text.clear();
        Send(client, "230 OK RECEIVING DATA\r\n");
      } else if (StartsWith(line, "CANCEL")) {
        Send(client, "213 OK CANCELED\r\n");
      } else if (StartsWith(line, "QUIT")) {
        Send(client, "231 HAPPY HACKING\r\n");
        return;
      } else {
        Send(client, "200 OK\r\n");
      }
    }
  }
}

}  // namespace placarim::voices::testing
