#include "platform/brlapi/brlapi_display.h"

#include <brlapi.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "platform/brlapi/brlapi_keys.h"
#include "platform/text_encoding.h"

namespace placarim::platform::brlapi {
namespace {

// The client library reports a broken connection through an exception
// handler, whose default ends the process. Ours marks the connection lost;
// it runs on the connection thread, inside a library call of that thread.
thread_local bool t_connection_failed = false;

void BRLAPI_STDCALL NoteFailure(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) {
  t_connection_failed = true;
}

// A change the daemon reports on its own: the display's size, or the display
// going off and on line (its driver started again). Runs on the connection
// thread, inside a library call of that thread; `priv` is the connection's flag.
void BRLAPI_STDCALL NoteDisplayChange(brlapi_param_t, brlapi_param_subparam_t, brlapi_param_flags_t, void* priv,
                                      const void*, size_t) {
  *static_cast<bool*>(priv) = true;
}

constexpr int kSizeCheckMs = 1000;  // how often a display still without size is asked again
constexpr size_t kKeysKept = 64;

}  // namespace

// One connection to the daemon, held by the connection thread.
struct BrlapiDisplay::Connection {
  std::unique_ptr<brlapi_handle_t, void (*)(void*)> handle{nullptr, std::free};
  int fd = -1;
  bool tty_held = false;
  std::optional<CharCells> cells;  // the daemon's text table, when typed chords come as characters
  bool display_changed = false;    // set by the daemon's notices: ask the size and write the line again
  brlapi_param_displaySize_t watched_size{};  // the watched values, as the library fills them
  brlapi_param_deviceOnline_t watched_online = 0;
  std::vector<brlapi_paramCallbackDescriptor_t> watches;  // the library keeps them until unwatched

  ~Connection() {
    if (fd < 0) return;
    for (brlapi_paramCallbackDescriptor_t watch : watches) brlapi__unwatchParameter(handle.get(), watch);
    if (tty_held) brlapi__leaveTtyMode(handle.get());
    brlapi__closeConnection(handle.get());
  }

  bool Open(const BrlapiSettings& settings) {
    handle.reset(static_cast<brlapi_handle_t*>(std::malloc(brlapi_getHandleSize())));
    if (!handle) return false;
    brlapi_connectionSettings_t wanted = {settings.auth.empty() ? nullptr : settings.auth.c_str(),
                                          settings.host.empty() ? nullptr : settings.host.c_str()};
    t_connection_failed = false;
    fd = brlapi__openConnection(handle.get(), &wanted, nullptr);
    if (fd < 0) return false;
    brlapi__setExceptionHandler(handle.get(), NoteFailure);
    // The program's own terminal when the library can tell it; otherwise the
    // whole tree, which a desktop without a terminal leaves no other way to name.
    tty_held = brlapi__enterTtyMode(handle.get(), BRLAPI_TTY_DEFAULT, nullptr) >= 0 ||
               brlapi__enterTtyModeWithPath(handle.get(), nullptr, 0, nullptr) >= 0;
    if (!tty_held) return false;
    // Without these notices a display that is resized or comes back after
    // its driver restarts would keep the daemon's own text until the next line.
    for (const auto& [parameter, value, size] :
         {std::tuple{BRLAPI_PARAM_DISPLAY_SIZE, static_cast<void*>(&watched_size), sizeof watched_size},
          std::tuple{BRLAPI_PARAM_DEVICE_ONLINE, static_cast<void*>(&watched_online), sizeof watched_online}}) {
      if (const auto watch = brlapi__watchParameter(handle.get(), parameter, 0, BRLAPI_PARAMF_GLOBAL, NoteDisplayChange,
                                                    &display_changed, value, size)) {
        watches.push_back(watch);
      }
    }
    if (settings.typed_cells) {
      const brlapi_param_retainDots_t retain = 1;
      brlapi__setParameter(handle.get(), BRLAPI_PARAM_RETAIN_DOTS, 0, BRLAPI_PARAMF_LOCAL, &retain, sizeof retain);
      brlapi_param_computerBrailleRowCells_t row{};
      if (brlapi__getParameter(handle.get(), BRLAPI_PARAM_COMPUTER_BRAILLE_ROW_CELLS, 0, BRLAPI_PARAMF_GLOBAL,
                               &row, sizeof row) == static_cast<ssize_t>(sizeof row)) {
        cells.emplace();
        for (int c = 0; c < 256; ++c) {
          if (row.defined[c / 8] & (1 << (c % 8))) (*cells)[static_cast<size_t>(c)] = row.cells[c];
        }
      }
    }
    return !t_connection_failed;
  }

  // The display's width as the daemon's parameter has it: the size call of
  // the client library can lag one change behind after a resize.
  int Width() {
    brlapi_param_displaySize_t size{};
    if (brlapi__getParameter(handle.get(), BRLAPI_PARAM_DISPLAY_SIZE, 0, BRLAPI_PARAMF_GLOBAL, &size, sizeof size) ==
        static_cast<ssize_t>(sizeof size)) {
      return static_cast<int>(size.columns);
    }
    unsigned int x = 0, y = 0;  // a daemon without parameters
    if (t_connection_failed || brlapi__getDisplaySize(handle.get(), &x, &y) < 0) return -1;
    return static_cast<int>(x);
  }

  // False when the connection is gone.
  bool Write(const BrailleWindow& window, int width) {
    brlapi_writeArguments_t args = BRLAPI_WRITEARGUMENTS_INITIALIZER;
    std::string text;
    std::string dots;
    args.regionBegin = 1;
    args.regionSize = width;
    if (window.as_text) {
      std::string shown = window.text.substr(0, static_cast<size_t>(width));
      shown.resize(static_cast<size_t>(width), ' ');
      text = Cp1252ToUtf8(shown);
      args.charset = const_cast<char*>("UTF-8");
    } else {
      // Blank characters with the cells laid over them: the daemon's text
      // table has no say in what the cells are.
      text.assign(static_cast<size_t>(width), ' ');
      dots.assign(window.cells.begin(), window.cells.begin() + std::min<ptrdiff_t>(width, window.cells.size()));
      dots.resize(static_cast<size_t>(width), '\0');
      args.orMask = reinterpret_cast<unsigned char*>(dots.data());
    }
    args.text = text.c_str();
    args.textSize = static_cast<int>(text.size());
    args.cursor = window.cursor >= 0 && window.cursor < width ? window.cursor + 1 : BRLAPI_CURSOR_OFF;
    return brlapi__write(handle.get(), &args) >= 0 || (brlapi_errno != BRLAPI_ERROR_EOF && brlapi_errno != BRLAPI_ERROR_LIBCERR);
  }
};

BrlapiDisplay::BrlapiDisplay(EventSource& events, BrlapiSettings settings)
    : events_(events), settings_(std::move(settings)) {
  if (pipe2(wake_pipe_, O_CLOEXEC | O_NONBLOCK) != 0) wake_pipe_[0] = wake_pipe_[1] = -1;
  thread_ = std::thread([this] { Run(); });
}

BrlapiDisplay::~BrlapiDisplay() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (wake_pipe_[1] >= 0) (void)!write(wake_pipe_[1], "x", 1);
  thread_.join();
  for (int fd : wake_pipe_) {
    if (fd >= 0) close(fd);
  }
}

void BrlapiDisplay::Show(const BrailleWindow& window) {
  {
    std::lock_guard lock(mutex_);
    if (window == window_) return;
    window_ = window;
    ++window_serial_;
  }
  if (wake_pipe_[1] >= 0) (void)!write(wake_pipe_[1], "x", 1);
}

bool BrlapiDisplay::PollKey(BrailleKey& key) {
  std::lock_guard lock(mutex_);
  if (keys_.empty()) return false;
  key = keys_.front();
  keys_.pop_front();
  return true;
}

bool BrlapiDisplay::Pause(int ms) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
  return !stopping_;
}

void BrlapiDisplay::Run() {
  // A daemon that dies leaves a socket whose next write raises SIGPIPE, whose
  // default ends the whole program: on this thread the write fails instead,
  // and the connection is dropped and looked for again.
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
  do {
    {
      Connection connection;
      if (connection.Open(settings_)) Serve(connection);
    }  // the terminal goes back to the daemon here
    if (width_.exchange(0) != 0) Wake();
  } while (Pause(settings_.retry_ms));
}

void BrlapiDisplay::Serve(Connection& connection) {
  uint64_t written_serial = ~uint64_t{0};
  int written_width = 0;
  int width = 0;
  bool ask_size = true;
  for (;;) {
    if (ask_size || connection.display_changed) {
      if (connection.display_changed) written_width = 0;  // the display lost what it showed
      connection.display_changed = false;
      width = connection.Width();
      if (width < 0) return;
      if (width != width_.exchange(width)) Wake();
    }
    if (t_connection_failed) return;
    // Takes every key the library holds, without waiting; false when the
    // connection is gone.
    const auto take_keys = [&] {
      bool any = false;
      brlapi_keyCode_t code = 0;
      int got = 0;
      while ((got = brlapi__readKey(connection.handle.get(), 0, &code)) > 0) {
        const auto key = KeyOfCode(code, connection.cells ? &*connection.cells : nullptr);
        std::lock_guard lock(mutex_);
        // Keys beyond a queue's worth, while the main thread takes none,
        // are lost, as they are in the console's own queue.
        if (key && keys_.size() < kKeysKept) {
          keys_.push_back(*key);
          any = true;
        }
      }
      if (any) Wake();
      return got >= 0;
    };
    BrailleWindow window;
    bool write = false;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      if (width > 0 && (window_serial_ != written_serial || width != written_width)) {
        window = window_;
        written_serial = window_serial_;
        written_width = width;
        write = true;
      }
    }
    if (write && !connection.Write(window, width)) return;
    // A key that arrives while the library waits for a write's answer is
    // kept inside the library, not left on the socket: take it now, or poll
    // would sleep on a socket with nothing more to say.
    if (!take_keys()) return;

    // A notice the library took in the same way is acted on at once.
    const int idle_ms = connection.display_changed ? 0 : width > 0 ? 10 * kSizeCheckMs : kSizeCheckMs;
    pollfd fds[2] = {{connection.fd, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
    const int ready = poll(fds, wake_pipe_[0] >= 0 ? 2 : 1, idle_ms);
    if (ready < 0 && errno != EINTR) return;
    ask_size = ready == 0;
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (read(wake_pipe_[0], drain, sizeof drain) > 0) {
      }
    }
    if (fds[0].revents & (POLLHUP | POLLERR)) return;
    if (!take_keys()) return;
  }
}

}  // namespace placarim::platform::brlapi
