#include "platform/term/term_platform.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/audio/wave_image.h"
#include "platform/local_time.h"
#include "platform/term/term_keys.h"

namespace placarim::platform::term {
namespace {

// The write end of the reader's wake-up pipe, for the signal handlers.
std::atomic<int> g_wake_fd{-1};

// Bytes the signal handlers send down the pipe.
constexpr char kWakeResized = 'W';
constexpr char kWakeStop = 'T';
constexpr char kWakeContinued = 'C';
constexpr char kWakeQuit = 'Q';
constexpr char kWakeEnd = 'X';

void OnSignal(int sig) {
  const int saved_errno = errno;
  char byte = kWakeQuit;
  if (sig == SIGWINCH) byte = kWakeResized;
  if (sig == SIGTSTP) byte = kWakeStop;
  if (sig == SIGCONT) byte = kWakeContinued;
  const int fd = g_wake_fd.load();
  if (fd >= 0) {
    const ssize_t ignored = write(fd, &byte, 1);
    (void)ignored;
  }
  errno = saved_errno;
}

void InstallSignalHandlers() {
  for (const int sig : {SIGWINCH, SIGTSTP, SIGCONT, SIGHUP, SIGTERM, SIGINT, SIGQUIT}) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(sig, &action, nullptr);
  }
}

Event Simple(EventType type) {
  Event event;
  event.type = type;
  return event;
}

// The console seen through the terminal: cells are one character each, so
// the pixel metrics are those of a cell of one "pixel".
class TermSurface final : public Surface {
 public:
  explicit TermSurface(Terminal& terminal) : terminal_(terminal) {}
  CellMetrics Metrics() const override { return CellMetrics{1, 1, 1, 0}; }
  void DrawRun(int col, int row, const uint8_t* text, int count, Rgb fg, Rgb bg) override {
    terminal_.DrawRun(col, row, text, count, fg, bg);
  }
  void ScrollUp(Rgb) override {}
  // The console repaints instead: ncurses sends only the cells that changed.
  bool CanScrollInPlace() const override { return false; }
  void ShowCaret(int col, int row) override { terminal_.SetCaret(col, row, true); }
  void HideCaret() override { terminal_.HideCaret(); }
  void SetTitle(const std::string&) override {}
  void Present() override { terminal_.Present(); }
  // A terminal cannot magnify: the terminal's own zoom serves instead.
  void CaptureImage() override {}
  void ShowMagnified(int, int, int, int) override {}
  void ReleaseImage() override {}
  int PixelWidth() const override { return Terminal::kColumns; }
  int PixelHeight() const override { return Terminal::kRows; }

 private:
  Terminal& terminal_;
};

}  // namespace

// --- events -------------------------------------------------------------------

void TermEventSource::Push(const Event& event, TerminalAction action) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({event, action});
  }
  ready_.notify_one();
}

bool TermEventSource::Poll(Event& event) {
  Entry entry;
  {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return false;
    entry = queue_.front();
    queue_.pop_front();
  }
  if (entry.action != TerminalAction::None) act_(entry.action);
  event = entry.event;
  return true;
}

void TermEventSource::WaitForEvent() {
  std::unique_lock lock(mutex_);
  ready_.wait(lock, [&] { return !queue_.empty(); });
}

void TermEventSource::PushWakeUp(int code) {
  Event event = Simple(EventType::WakeUp);
  event.code = code;
  Push(event);
}

void TermEventSource::PushAudioBlockDone(int block) {
  Event event = Simple(EventType::AudioBlockDone);
  event.block = block;
  Push(event);
}

// --- clipboard and clock ------------------------------------------------------

ClipboardStatus TermClipboard::GetText(std::string& utf8) {
  if (!has_text_) return ClipboardStatus::NoText;
  utf8 = text_;
  return ClipboardStatus::Text;
}

bool TermClipboard::SetText(const std::string& utf8) {
  text_ = utf8;
  has_text_ = true;
  return true;
}

int64_t TermClock::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TermClock::SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

DateTime TermClock::LocalNow() { return LocalDateTime(); }

// --- the platform -------------------------------------------------------------

std::unique_ptr<TermPlatform> TermPlatform::Create(std::string& error) {
  std::unique_ptr<Terminal> terminal = Terminal::Open(error);
  if (!terminal) return nullptr;
  return std::unique_ptr<TermPlatform>(new TermPlatform(std::move(terminal)));
}

TermPlatform::TermPlatform(std::unique_ptr<Terminal> terminal)
    : terminal_(std::move(terminal)),
      events_([this](TerminalAction action) { Act(action); }),
      audio_output_([this](int block) { events_.PushAudioBlockDone(block); }),
      audio_(audio_output_),
      tones_(audio_output_, 0),
      beeps_(audio_output_, 1) {
  audio_output_.Start();
  if (pipe2(wake_pipe_, O_CLOEXEC | O_NONBLOCK) == 0) g_wake_fd = wake_pipe_[1];
  InstallSignalHandlers();
  reader_ = std::thread([this] { ReadKeys(); });
}

TermPlatform::~TermPlatform() {
  stopping_ = true;
  if (wake_pipe_[1] >= 0) {
    const char byte = kWakeEnd;
    const ssize_t ignored = write(wake_pipe_[1], &byte, 1);
    (void)ignored;
  }
  if (reader_.joinable()) reader_.join();
  g_wake_fd = -1;
  for (const int sig : {SIGWINCH, SIGTSTP, SIGCONT, SIGHUP, SIGTERM, SIGINT, SIGQUIT}) signal(sig, SIG_DFL);
  for (const int fd : wake_pipe_) {
    if (fd >= 0) close(fd);
  }
  beeps_.Stop();
  tones_.Stop();
  audio_.Close();
  audio_output_.Shutdown();
  terminal_->Restore();
}

void TermPlatform::ReadKeys() {
  KeyDecoder decoder;
  std::vector<Event> events;
  bool input_open = true;
  while (!stopping_) {
    pollfd fds[2] = {{wake_pipe_[0], POLLIN, 0}, {input_open ? STDIN_FILENO : -1, POLLIN, 0}};
    // A lone ESC is the Escape key when nothing follows it soon.
    const int ready = poll(fds, 2, decoder.Pending() ? 40 : -1);
    if (ready < 0 && errno != EINTR) break;
    events.clear();
    if (ready == 0) decoder.Timeout(events);
    if (fds[0].revents & POLLIN) {
      char bytes[16];
      const ssize_t n = read(wake_pipe_[0], bytes, sizeof bytes);
      for (ssize_t i = 0; i < n; ++i) {
        switch (bytes[i]) {
          case kWakeEnd: return;
          case kWakeResized: events_.Push(Simple(EventType::Expose), TerminalAction::Resized); break;
          case kWakeStop: events_.Push(Simple(EventType::Expose), TerminalAction::Suspend); break;
          case kWakeContinued: events_.Push(Simple(EventType::Expose), TerminalAction::Continued); break;
          default: events_.Push(Simple(EventType::Quit)); break;
        }
      }
    }
    if (input_open && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
      uint8_t bytes[256];
      const ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
      if (n <= 0 && !(n < 0 && (errno == EINTR || errno == EAGAIN))) {
        input_open = false;  // the terminal hung up: the program ends
        events_.Push(Simple(EventType::Quit));
      }
      for (ssize_t i = 0; i < n; ++i) {
        TerminalRequest request = TerminalRequest::None;
        decoder.Feed(bytes[i], events, &request);
        if (request == TerminalRequest::Suspend) {
          for (const Event& event : events) events_.Push(event);
          events.clear();
          events_.Push(Simple(EventType::Expose), TerminalAction::Suspend);
        }
      }
    }
    for (const Event& event : events) events_.Push(event);
  }
}

void TermPlatform::Act(TerminalAction action) {
  switch (action) {
    case TerminalAction::None: break;
    case TerminalAction::Suspend: terminal_->Suspend(); break;
    case TerminalAction::Resized: terminal_->Resized(); break;
    case TerminalAction::Continued: terminal_->Resume(); break;
  }
}

std::unique_ptr<Surface> TermPlatform::CreateWindow(const WindowSettings&) {
  return std::make_unique<TermSurface>(*terminal_);
}

WorkArea TermPlatform::GetWorkArea() {
  WorkArea area;
  area.width = terminal_->Columns();
  area.height = terminal_->Rows();
  return area;
}

void TermPlatform::Beep() {
  static const std::vector<uint8_t> kBeep = audio::MakeBeepImage();
  beeps_.PlayOnce(kBeep);
}

// The terminal is given back at once; the program's entry catches the
// ProgramExit, so every object on the way unwinds before the process ends.
void TermPlatform::Exit(int code) {
  terminal_->Restore();
  throw ProgramExit{code};
}

}  // namespace placarim::platform::term
