// The program's main loop as the units beneath the console see it: the
// message loop that counts finished sound blocks, the key queue that cuts a
// sound short (a pending key is the universal stop), the private wake-up
// message, the clock and the beep, and someone to tell when the device
// misbehaves. The console serves it; tests serve it with fakes. Wave playback,
// the voices and the speech layer all wait through this one port.
//
// Errors: none of these calls fails; a device problem is reported through
// ReportAudioError, which returns once the user has acknowledged it.
// Blocking: WaitMessage, Delay and ReportAudioError block, pumping messages
// meanwhile; the others return at once.
// Threads: every call comes from the main thread, except PostWakeUp, which
// any thread may call (the synthesizers' workers wake the loop with it).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace placarim::sound {

class MainLoop {
 public:
  virtual ~MainLoop() = default;

  // Whether a key waits; pumps messages first and leaves the key queued.
  virtual bool KeyPressed() = 0;
  // Blocks until the next message arrives, then handles every pending one.
  virtual void WaitMessage() = 0;
  // Handles every pending message without blocking.
  virtual void PumpAllMessages() = 0;
  // Blocks for `milliseconds` while messages go on being handled.
  virtual void Delay(uint16_t milliseconds) = 0;
  // Queues a private message (1123 from the speech layer, 2980 from a voice)
  // that ends a WaitMessage. Any thread.
  virtual void PostWakeUp(int code) = 0;
  // Monotonic milliseconds of the platform's clock.
  virtual int64_t NowMs() = 0;
  // The platform's default message beep.
  virtual void Beep() = 0;
  // The message loop calls `handler` for every block (1 to 4) the device
  // reports finished; an empty handler stops the calls.
  virtual void SetAudioBlockDoneHandler(std::function<void(int block)> handler) = 0;
  // The device failed to give a block back: shows `message` and returns once
  // the user has acknowledged it. Messages go on being handled meanwhile.
  virtual void ReportAudioError(std::string_view message) = 0;
  // Tells the teacher `message` (one line, Windows-1252, on the console)
  // without waiting: a missing sound device, a voice's refused files.
  virtual void ShowNotice(std::string_view message) = 0;
};

}  // namespace placarim::sound
