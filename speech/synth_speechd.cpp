#include "speech/synth_speechd.h"

#include <libspeechd.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>

#include "speech/synth_text.h"

namespace placarim::speech {
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

// Whether a service listens on the unix socket that SPEECHD_ADDRESS names
// ("unix_socket:<path>"); other forms are left to libspeechd. Asking first
// keeps a missing service a quick, clean failure.
bool GivenSocketAnswers(const char* address) {
  constexpr std::string_view kPrefix = "unix_socket:";
  const std::string_view given(address);
  if (!given.starts_with(kPrefix) || given.size() == kPrefix.size()) return true;
  const std::string path(given.substr(kPrefix.size()));
  sockaddr_un socket_address{};
  if (path.size() >= sizeof(socket_address.sun_path)) return false;
  socket_address.sun_family = AF_UNIX;
  std::memcpy(socket_address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answers = connect(fd, reinterpret_cast<sockaddr*>(&socket_address), sizeof(socket_address)) == 0;
  close(fd);
  return answers;
}

bool IsBrazilian(const char* language) {
  if (!language) return false;
  return strncasecmp(language, "pt-br", 5) == 0 || strncasecmp(language, "pt_br", 5) == 0;
}

}  // namespace

int ServiceRate(int rate) { return std::clamp(rate, -10, 10) * 10; }

SpeechServiceBridge::SpeechServiceBridge(SynthHost& host, Limits limits)
    : host_(host), limits_(limits) {}

SpeechServiceBridge::~SpeechServiceBridge() { Close(); }

bool SpeechServiceBridge::Open(int voice, int rate, int /*pitch*/) {
  if (connection_) return true;
  SigpipeGuard guard;
  // A private address (tests, a second service) must not start the desktop's own.
  const char* address = std::getenv("SPEECHD_ADDRESS");
  const bool autospawn = !address || !*address;
  if (!autospawn && !GivenSocketAnswers(address)) return false;
  char* error = nullptr;
  SPDConnection* spd =
      spd_open2("placarim", "main", nullptr, SPD_MODE_THREADED, nullptr, autospawn, &error);
  free(error);
  if (!spd) return false;
  connection_ = spd;
  client_id_ = static_cast<size_t>(spd_get_client_id(spd));
  {
    std::lock_guard lock(Table().mutex);
    Table().bridges[client_id_] = this;
  }
  spd->callback_end = spd->callback_cancel =
      [](size_t message, size_t client, SPDNotificationType type) {
        OnNotification(message, client, static_cast<int>(type));
      };
  if (spd_set_notification_on(Spd(connection_), SPD_END) != 0 ||
      spd_set_notification_on(Spd(connection_), SPD_CANCEL) != 0) {
    Close();
    return false;
  }
  spd_set_language(Spd(connection_), "pt-BR");
  voices_.clear();
  if (SPDVoice** listed = spd_list_synthesis_voices(Spd(connection_))) {
    for (SPDVoice** v = listed; *v; ++v) {
      if ((*v)->name && IsBrazilian((*v)->language)) voices_.emplace_back((*v)->name);
    }
    free_spd_voices(listed);
  }
  chosen_voice_.clear();
  chosen_rate_ = rate;
  if (!voices_.empty()) {
    if (voice < 1 || static_cast<size_t>(voice) > voices_.size()) {
      voice = 1;
      chosen_rate_ = 0;
    }
    chosen_voice_ = voices_[static_cast<size_t>(voice) - 1];
    spd_set_synthesis_voice(Spd(connection_), chosen_voice_.c_str());
  }
  spd_set_voice_rate(Spd(connection_), ServiceRate(chosen_rate_));  // a refusal is ignored
  broken_ = false;
  return true;
}

void SpeechServiceBridge::Speak(std::string_view text) {
  if (!connection_ || broken_) return;
  const std::string utf8 = EngineUtf8(PrepareServiceText(text));
  int message;
  {
    SigpipeGuard guard;
    message = spd_say(Spd(connection_), SPD_TEXT, utf8.c_str());
  }
  if (message <= 0) {
    host_.Beep();
    if (!ConnectionAlive()) broken_ = true;
    return;
  }
  said_ = static_cast<uint64_t>(message);
  deadline_ = std::chrono::steady_clock::now() +
              std::chrono::milliseconds(limits_.speaking_floor_ms +
                                        static_cast<int64_t>(utf8.size()) * limits_.speaking_per_byte_ms);
}

bool SpeechServiceBridge::IsSpeaking(int /*mode*/) {
  if (!connection_ || finished_ >= said_) return false;
  if (!ConnectionAlive()) {
    broken_ = true;
    MarkAllFinished();
    return false;
  }
  if (std::chrono::steady_clock::now() > deadline_) {
    Stop();  // the service lost track of this text: silence it and go on
    return false;
  }
  for (int waited = 0; waited < kWaitForEndMs && finished_ < said_; ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (finished_ >= said_) return false;
  host_.PostWakeUp(kSynthWakeUp);  // keeps a waiting loop polling
  return true;
}

void SpeechServiceBridge::Stop() {
  if (!connection_) return;
  if (!broken_ && ConnectionAlive()) {
    SigpipeGuard guard;
    spd_cancel(Spd(connection_));
  }
  MarkAllFinished();
  host_.Delay(50);
}

void SpeechServiceBridge::Close() {
  if (!connection_) return;
  for (int waited = 0; IsSpeaking(1) && waited < limits_.close_ms; waited += kClosePollMs) {
    host_.Delay(kClosePollMs);
  }
  {
    std::lock_guard lock(Table().mutex);
    Table().bridges.erase(client_id_);
  }
  SigpipeGuard guard;
  if (!broken_ && ConnectionAlive()) spd_cancel(Spd(connection_));
  spd_close(Spd(connection_));
  connection_ = nullptr;
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
  self.host_.PostWakeUp(kSynthWakeUp);
}

}  // namespace placarim::speech
