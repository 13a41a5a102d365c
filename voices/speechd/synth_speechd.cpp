#include "voices/speechd/synth_speechd.h"

#include <libspeechd.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>

#include "voices/synth_text.h"

namespace placarim::voices {
namespace {

// libspeechd's notification callbacks carry the client's id but no pointer of
// ours, so the open bridges are found through this table. Its lock also keeps
// a bridge from going away while a notification for it is being handled.
struct NotificationTable {
  std::mutex mutex;
  std::map<size_t, SpeechServiceBridge*> bridges;
};
NotificationTable& Table() {
  static NotificationTable table;
  return table;
}

// Writing to a service that has died raises SIGPIPE, which would end the
// program; it is held back on this thread while we talk to the service and
// any instance of it raised meanwhile is taken away.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigpending(&pending_before_);
    pthread_sigmask(SIG_BLOCK, &pipe, &old_);
  }
  ~SigpipeGuard() {
    if (!sigismember(&pending_before_, SIGPIPE)) {
      sigset_t pending;
      sigpending(&pending);
      if (sigismember(&pending, SIGPIPE)) {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        const timespec now{0, 0};
        sigtimedwait(&pipe, nullptr, &now);
      }
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

 private:
  sigset_t old_;
  sigset_t pending_before_;
};

SPDConnection* Spd(void* connection) { return static_cast<SPDConnection*>(connection); }

bool IsBrazilian(const char* language) {
  if (!language) return false;
  return strncasecmp(language, "pt-br", 5) == 0 || strncasecmp(language, "pt_br", 5) == 0;
}

bool IsPortuguese(const char* language) {
  if (!language || strncasecmp(language, "pt", 2) != 0) return false;
  return language[2] == '\0' || language[2] == '-' || language[2] == '_';
}

// The unix socket the service listens on: the one SPEECHD_ADDRESS names, or
// libspeechd's default; empty when it is not a unix socket.
std::string ServiceSocketPath() {
  constexpr std::string_view kPrefix = "unix_socket:";
  const char* address = std::getenv("SPEECHD_ADDRESS");
  if (address && *address) {
    const std::string_view given(address);
    return given.starts_with(kPrefix) ? std::string(given.substr(kPrefix.size())) : std::string();
  }
  char* error = nullptr;
  SPDConnectionAddress* found = spd_get_default_address(&error);
  free(error);
  std::string path;
  if (found) {
    if (found->method == SPD_METHOD_UNIX_SOCKET && found->unix_socket_name) path = found->unix_socket_name;
    SPDConnectionAddress__free(found);
  }
  return path;
}

// Whether a service on `path` answers a command within `limit_ms`. A stopped
// service still accepts the connection (the kernel queues it) but never
// answers, and libspeechd would wait for it for ever.
bool ServiceAnswers(const std::string& path, int limit_ms) {
  sockaddr_un address{};
  if (path.empty() || path.size() >= sizeof(address.sun_path)) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool answers = false;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
    constexpr std::string_view kQuit = "QUIT\r\n";
    if (send(fd, kQuit.data(), kQuit.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(kQuit.size())) {
      pollfd reply{fd, POLLIN, 0};
      char byte;
      answers = poll(&reply, 1, limit_ms) == 1 && recv(fd, &byte, 1, MSG_DONTWAIT) == 1;
    }
  }
  close(fd);
  return answers;
}

}  // namespace

// Cuts the connection of a libspeechd call that outlives its limit: shutting
// the socket down makes the library's listener see the end of the stream,
// and the call that waits for an answer returns with an error.
class AnswerWatch {
 public:
  AnswerWatch() : thread_([this] { Run(); }) {}
  ~AnswerWatch() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  AnswerWatch(const AnswerWatch&) = delete;
  AnswerWatch& operator=(const AnswerWatch&) = delete;

  void Arm(int socket, int limit_ms) {
    std::lock_guard lock(mutex_);
    socket_ = socket;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    armed_ = true;
    cut_ = false;
    wake_.notify_all();
  }
  // Whether the call had to be cut.
  bool Disarm() {
    std::lock_guard lock(mutex_);
    armed_ = false;
    return cut_;
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    while (!quit_) {
      if (!armed_) {
        wake_.wait(lock);
      } else if (std::chrono::steady_clock::now() >= deadline_) {
        shutdown(socket_, SHUT_RDWR);
        cut_ = true;
        armed_ = false;
      } else {
        wake_.wait_until(lock, deadline_);
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool quit_ = false;
  bool armed_ = false;
  bool cut_ = false;
  int socket_ = -1;
  std::chrono::steady_clock::time_point deadline_;
  std::thread thread_;
};

int ServiceRate(int rate) { return std::clamp(rate, -10, 10) * 10; }

SpeechServiceBridge::SpeechServiceBridge(sound::MainLoop& host, Limits limits)
    : host_(host), limits_(limits), call_limit_ms_(limits.call_ms) {}

SpeechServiceBridge::~SpeechServiceBridge() { Close(); }

template <class Call>
auto SpeechServiceBridge::Ask(Call call) {
  SigpipeGuard guard;
  watch_->Arm(Spd(connection_)->socket, call_limit_ms_);
  auto result = call(Spd(connection_));
  if (watch_->Disarm()) Lose(Failure::kLost);
  return result;
}

bool SpeechServiceBridge::Open(int voice, int rate, int /*pitch*/) {
  if (connection_) return true;
  // A private address (tests, a second service) must not start the desktop's own.
  const char* address = std::getenv("SPEECHD_ADDRESS");
  const bool may_start = !address || !*address;
  failure_ = Failure::kNone;
  // Starting the service and listing its voices (thousands of them, parsed by
  // libspeechd) take longer than a call in play may.
  call_limit_ms_ = std::max(limits_.open_ms, limits_.setup_ms);
  const bool connected = Connect(may_start, limits_.open_ms);
  const bool voiced = connected && ListVoices() && ChooseVoice(voice, rate);
  call_limit_ms_ = limits_.call_ms;
  if (!connected) {
    failure_ = Failure::kNotAnswering;
    return false;
  }
  if (!voiced) {
    const Failure why = Lost() ? failure_ : Failure::kNoPortuguese;
    Disconnect();
    failure_ = why;
    return false;
  }
  return true;
}

bool SpeechServiceBridge::Reopen() {
  Disconnect();
  if (voices_.empty()) return false;
  failure_ = Failure::kNone;
  if (!Connect(false, limits_.call_ms)) {
    failure_ = Failure::kLost;
    return false;
  }
  // The voices found at Open are taken again: listing them takes too long.
  if (!ChooseVoice(voice_, chosen_rate_)) {
    Disconnect();
    failure_ = Failure::kLost;
    return false;
  }
  return true;
}

bool SpeechServiceBridge::Connect(bool may_start_service, int answer_ms) {
  SigpipeGuard guard;
  const std::string path = ServiceSocketPath();
  // A service started on demand has no socket yet; libspeechd starts it.
  const bool to_start = may_start_service && (path.empty() || access(path.c_str(), F_OK) != 0);
  if (!to_start && !ServiceAnswers(path, answer_ms)) return false;
  char* error = nullptr;
  SPDConnection* spd =
      spd_open2("placarim", "main", nullptr, SPD_MODE_THREADED, nullptr, to_start, &error);
  free(error);
  if (!spd) return false;
  connection_ = spd;
  watch_ = std::make_shared<AnswerWatch>();
  client_id_ = static_cast<size_t>(spd_get_client_id(spd));
  {
    std::lock_guard lock(Table().mutex);
    Table().bridges[client_id_] = this;
  }
  spd->callback_end = spd->callback_cancel =
      [](size_t message, size_t client, SPDNotificationType type) {
        OnNotification(message, client, static_cast<int>(type));
      };
  const bool notified = Ask([](SPDConnection* c) {
    return spd_set_notification_on(c, SPD_END) == 0 && spd_set_notification_on(c, SPD_CANCEL) == 0;
  });
  if (!notified || Lost()) {
    Disconnect();
    return false;
  }
  return true;
}

bool SpeechServiceBridge::ListVoices() {
  std::vector<std::string> brazilian, portuguese;
  Ask([&](SPDConnection* c) {
    if (SPDVoice** listed = spd_list_synthesis_voices(c)) {
      for (SPDVoice** v = listed; *v; ++v) {
        if (!(*v)->name) continue;
        if (IsBrazilian((*v)->language)) brazilian.emplace_back((*v)->name);
        else if (IsPortuguese((*v)->language)) portuguese.emplace_back((*v)->name);
      }
      free_spd_voices(listed);
    }
    return 0;
  });
  voices_ = brazilian.empty() ? portuguese : brazilian;
  language_ = brazilian.empty() ? "pt" : "pt-BR";
  return !voices_.empty() && !Lost();
}

bool SpeechServiceBridge::ChooseVoice(int voice, int rate) {
  voice_ = voice;
  chosen_rate_ = rate;
  if (voice < 1 || static_cast<size_t>(voice) > voices_.size()) {
    voice = 1;
    chosen_rate_ = 0;
  }
  chosen_voice_ = voices_[static_cast<size_t>(voice) - 1];
  Ask([&](SPDConnection* c) {
    spd_set_language(c, language_.c_str());
    spd_set_synthesis_voice(c, chosen_voice_.c_str());
    // Punctuation is heard as pauses, never named ("Gol!" is not "gol exclamação").
    spd_set_punctuation(c, SPD_PUNCT_NONE);
    return spd_set_voice_rate(c, ServiceRate(chosen_rate_));  // a refusal is ignored
  });
  return !Lost();
}

void SpeechServiceBridge::Speak(std::string_view text) {
  if (!connection_ || Lost()) return;
  const std::string utf8 = EngineUtf8(PrepareServiceText(text));
  const int message = Ask([&](SPDConnection* c) { return spd_say(c, SPD_TEXT, utf8.c_str()); });
  if (message <= 0) {
    host_.Beep();
    Lose(Failure::kLost);
    return;
  }
  said_ = static_cast<uint64_t>(message);
  const auto now = std::chrono::steady_clock::now();
  next_ping_ = now + std::chrono::milliseconds(limits_.ping_ms);
  deadline_ = now + std::chrono::milliseconds(limits_.speaking_floor_ms +
                                              static_cast<int64_t>(utf8.size()) * limits_.speaking_per_byte_ms);
}

bool SpeechServiceBridge::IsSpeaking(int /*mode*/) {
  if (!connection_ || Lost() || finished_ >= said_) return false;
  if (!ConnectionAlive()) {
    Lose(Failure::kLost);
    return false;
  }
  const auto now = std::chrono::steady_clock::now();
  if (now > deadline_) {
    Stop();  // the service lost track of this text: silence it and go on
    return false;
  }
  if (now >= next_ping_) {
    // A frozen service never reports the end; it does not answer either.
    // (A setting, not a question: libspeechd reads freed answers of
    // questions on a connection that was cut.)
    Ask([](SPDConnection* c) { return spd_set_punctuation(c, SPD_PUNCT_NONE); });
    next_ping_ = now + std::chrono::milliseconds(limits_.ping_ms);
    if (Lost()) return false;
  }
  for (int waited = 0; waited < kWaitForEndMs && finished_ < said_; ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (finished_ >= said_) return false;
  host_.PostWakeUp(voices::kVoiceWakeUp);  // keeps a waiting loop polling
  return true;
}

void SpeechServiceBridge::Stop() {
  if (!connection_) return;
  if (!Lost() && ConnectionAlive()) Ask([](SPDConnection* c) { return spd_cancel(c); });
  MarkAllFinished();
  host_.Delay(50);
}

void SpeechServiceBridge::Close() {
  if (!connection_) return;
  for (int waited = 0; IsSpeaking(1) && waited < limits_.close_ms; waited += kClosePollMs) {
    host_.Delay(kClosePollMs);
  }
  Disconnect();
}

void SpeechServiceBridge::Disconnect() {
  if (!connection_) return;
  {
    std::lock_guard lock(Table().mutex);
    Table().bridges.erase(client_id_);
  }
  if (!Lost() && ConnectionAlive()) Ask([](SPDConnection* c) { return spd_cancel(c); });
  // A service that does not answer cannot hold up the goodbye either.
  if (Lost()) shutdown(Spd(connection_)->socket, SHUT_RDWR);
  {
    SigpipeGuard guard;
    spd_close(Spd(connection_));
  }
  connection_ = nullptr;
  watch_.reset();
  MarkAllFinished();
}

std::string SpeechServiceBridge::LossNotice() {
  switch (failure_) {
    case Failure::kNotAnswering:
      return "O servi\xe7o de fala n\xe3o respondeu. Sigo com outra voz.";
    case Failure::kNoPortuguese:
      return "O servi\xe7o de fala n\xe3o tem voz em portugu\xeas. Sigo com outra voz.";
    case Failure::kLost:
      return "O servi\xe7o de fala parou. Sigo com outra voz.";
    case Failure::kNone:
      break;
  }
  return {};
}

void SpeechServiceBridge::Lose(Failure why) {
  if (failure_ == Failure::kNone) failure_ = why;
  MarkAllFinished();
}

bool SpeechServiceBridge::ConnectionAlive() const {
  pollfd socket{Spd(connection_)->socket, POLLRDHUP, 0};
  if (poll(&socket, 1, 0) < 0) return false;
  return (socket.revents & (POLLHUP | POLLRDHUP | POLLERR | POLLNVAL)) == 0;
}

void SpeechServiceBridge::MarkAllFinished() {
  uint64_t said = said_;
  uint64_t finished = finished_;
  while (finished < said && !finished_.compare_exchange_weak(finished, said)) {
  }
}

// Runs on libspeechd's listener thread.
void SpeechServiceBridge::OnNotification(size_t message, size_t client, int /*type*/) {
  std::lock_guard lock(Table().mutex);
  auto it = Table().bridges.find(client);
  if (it == Table().bridges.end()) return;
  SpeechServiceBridge& self = *it->second;
  uint64_t finished = self.finished_;
  while (finished < message && !self.finished_.compare_exchange_weak(finished, message)) {
  }
  self.host_.PostWakeUp(voices::kVoiceWakeUp);
}

}  // namespace placarim::voices
