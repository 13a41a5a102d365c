// What wave playback needs from the program around it: the message loop that
// counts finished blocks, the key queue that cuts a sound short, and someone
// to tell when the device misbehaves. The console serves it; tests may serve
// it with a fake.
//
// Threads: every call comes from the main thread. WaitMessage, Delay and
// ReportAudioError block, pumping messages meanwhile; the rest return at once.
// Errors: none; the host is what wave playback reports its own errors to.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace placarim::sound {

class PlaybackHost {
 public:
  virtual ~PlaybackHost() = default;

  // Whether a key waits; pumps messages first and leaves the key queued.
  virtual bool KeyPressed() = 0;
  // Blocks until the next message arrives, then handles every pending one.
  virtual void WaitMessage() = 0;
  // Handles every pending message without blocking.
  virtual void PumpAllMessages() = 0;
  // Blocks for `milliseconds` while messages go on being handled.
  virtual void Delay(uint16_t milliseconds) = 0;
  // The message loop calls `handler` for every block (1 to 4) the device
  // reports finished; an empty handler stops the calls.
  virtual void SetAudioBlockDoneHandler(std::function<void(int block)> handler) = 0;
  // The device failed to give a block back: shows `message` and returns once
  // the user has acknowledged it. Messages go on being handled meanwhile.
  virtual void ReportAudioError(std::string_view message) = 0;
  // Tells the user `message` (one line, Windows-1252) without waiting.
  virtual void ShowAudioNotice(std::string_view message) = 0;
};

}  // namespace placarim::sound
