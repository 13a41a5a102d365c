// The braille display served by the braille daemon (brltty) through its client
// library. Starting costs a thread and nothing else: the connection is made on
// that thread, retried now and then while there is no daemon or no display,
// and made again when the daemon restarts. While connected the program holds
// the display for its own terminal (or for the whole machine when no terminal
// can be told); the daemon gets it back when the display object goes.
//
// Threads: the public methods are for the main thread and never wait on the
// daemon. The connection thread alone calls the client library; it hands keys
// and size changes over under a mutex and wakes the main thread with
// PushWakeUp(kBrailleDisplayWakeUp).
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/braille_display.h"
#include "platform/platform.h"

namespace placarim::platform::brlapi {

struct BrlapiSettings {
  std::string host;  // empty: the client library's default (BRLAPI_HOST, then the local daemon)
  std::string auth;  // empty: its default (BRLAPI_AUTH, then the installed key file)
  int retry_ms = 3000;  // between attempts to connect
  // Typed chords as cells (read by the program's braille); false: as the
  // characters the daemon's own text table makes of them.
  bool typed_cells = true;
};

class BrlapiDisplay final : public BrailleDisplay {
 public:
  BrlapiDisplay(EventSource& events, BrlapiSettings settings);
  ~BrlapiDisplay() override;
  BrlapiDisplay(const BrlapiDisplay&) = delete;
  BrlapiDisplay& operator=(const BrlapiDisplay&) = delete;

  int Width() const override { return width_.load(); }
  void Show(const BrailleWindow& window) override;
  bool PollKey(BrailleKey& key) override;

 private:
  struct Connection;
  void Run();
  // Sleeps until `ms` pass or the object is going; false when it is going.
  bool Pause(int ms);
  void Serve(Connection& connection);
  void Wake() { events_.PushWakeUp(kBrailleDisplayWakeUp); }

  EventSource& events_;
  const BrlapiSettings settings_;
  std::atomic<int> width_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  BrailleWindow window_;       // the latest window asked for
  uint64_t window_serial_ = 0;  // counts Show calls
  std::deque<BrailleKey> keys_;
  int wake_pipe_[2] = {-1, -1};  // Show and the destructor wake the thread's poll
  std::thread thread_;
};

}  // namespace placarim::platform::brlapi
