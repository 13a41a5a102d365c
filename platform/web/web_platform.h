// The platform in a web page, for the program compiled to WebAssembly: the
// console drawn in a canvas, keys from the page's keyboard events, sound
// through an AudioWorklet, the clipboard and new tabs of the browser. The
// browser side lives in web_library.js (linked with --js-library) and the
// page's scripts; this side keeps the console's picture and the event queue.
//
// The program's main loop blocks as it does on the desktop: WaitForEvent and
// SleepMs hand control back to the browser through Asyncify and resume when
// an event arrives or the time is up. Everything runs on the page's one thread.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/web/web_audio.h"
#include "platform/platform.h"

namespace placarim::platform::web {

class WebEvents final : public EventSource {
 public:
  bool Poll(Event& event) override;
  // Yields to the browser until the page queues an event.
  void WaitForEvent() override;
  void PushWakeUp(int code) override;

 private:
  // Moves what the page has queued into pending_, translating keys.
  void TakeFromPage();
  std::deque<Event> pending_;
  std::vector<Event> scratch_;
};

class WebClock final : public Clock {
 public:
  int64_t NowMs() override;
  // Yields to the browser meanwhile; a key going down ends it early, as the
  // program's waits are polls for keys.
  void SleepMs(int ms) override;
  DateTime LocalNow() override;
};

class WebClipboard final : public Clipboard {
 public:
  ClipboardStatus GetText(std::string& utf8) override;
  bool SetText(const std::string& utf8) override;
};

class WebShell final : public Shell {
 public:
  // Opens the first argument that is a web address in a new tab.
  bool Launch(const std::string& program, const std::vector<std::string>& args,
              const std::string& directory) override;
};

class WebPlatform final : public Platform {
 public:
  std::unique_ptr<Surface> CreateWindow(const WindowSettings& settings) override;
  WorkArea GetWorkArea() override;
  EventSource& Events() override { return events_; }
  Clock& GetClock() override { return clock_; }
  AudioDevice& Audio() override { return audio_; }
  TonePlayer& Tones() override { return tones_; }
  Clipboard& GetClipboard() override { return clipboard_; }
  Shell& GetShell() override { return shell_; }
  void Beep() override;
  // Unwinds the program with ProgramExit; the page is told when main returns.
  [[noreturn]] void Exit(int code) override;

 private:
  WebEvents events_;
  WebClock clock_;
  audio::WebAudio audio_;
  audio::WebTones tones_;
  WebClipboard clipboard_;
  WebShell shell_;
};

}  // namespace placarim::platform::web
