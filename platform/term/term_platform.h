// The platform on a text terminal, for the Linux console, SSH and console
// screen readers: the 80 by 25 console is drawn with ncurses, keys are read
// from the terminal's bytes by a reader thread, and sound still goes through
// SDL's audio, which needs no window. A terminal reports no key releases, so
// braille chords cannot be typed here; the clipboard lives in the program.
//
// Threads: the reader thread only decodes bytes and queues events; Ctrl+Z,
// a change of size and continuing after a stop are acted on by the main
// thread when it takes the next event. PushWakeUp and the audio device's
// completions may come from any thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/audio/audio_output.h"
#include "platform/platform.h"
#include "platform/posix/posix_shell.h"
#include "platform/term/terminal.h"

namespace placarim::platform::term {

// What the reader thread asks of the main thread besides plain events.
enum class TerminalAction { None, Suspend, Resized, Continued };

class TermEventSource final : public EventSource {
 public:
  // `act` runs on the main thread for each action, before its Expose event is taken.
  explicit TermEventSource(std::function<void(TerminalAction)> act) : act_(std::move(act)) {}
  bool Poll(Event& event) override;
  void WaitForEvent() override;
  void PushWakeUp(int code) override;
  void PushAudioBlockDone(int block);
  // Any thread.
  void Push(const Event& event, TerminalAction action = TerminalAction::None);

 private:
  struct Entry {
    Event event;
    TerminalAction action;
  };
  std::function<void(TerminalAction)> act_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Entry> queue_;
};

class TermClipboard final : public Clipboard {
 public:
  ClipboardStatus GetText(std::string& utf8) override;
  bool SetText(const std::string& utf8) override;

 private:
  std::string text_;
  bool has_text_ = false;
};

class TermClock final : public Clock {
 public:
  int64_t NowMs() override;
  void SleepMs(int ms) override;
  DateTime LocalNow() override;
};

class TermPlatform final : public Platform {
 public:
  // nullptr, with `error` saying why, when there is no usable terminal.
  static std::unique_ptr<TermPlatform> Create(std::string& error);
  ~TermPlatform() override;
  TermPlatform(const TermPlatform&) = delete;
  TermPlatform& operator=(const TermPlatform&) = delete;

  std::unique_ptr<Surface> CreateWindow(const WindowSettings& settings) override;
  WorkArea GetWorkArea() override;
  EventSource& Events() override { return events_; }
  Clock& GetClock() override { return clock_; }
  AudioDevice& Audio() override { return audio_; }
  TonePlayer& Tones() override { return tones_; }
  Clipboard& GetClipboard() override { return clipboard_; }
  Shell& GetShell() override { return shell_; }
  void Beep() override;
  [[noreturn]] void Exit(int code) override;

 private:
  explicit TermPlatform(std::unique_ptr<Terminal> terminal);
  void ReadKeys();
  void Act(TerminalAction action);

  std::unique_ptr<Terminal> terminal_;
  TermEventSource events_;
  TermClock clock_;
  audio::AudioOutput audio_output_;
  audio::WaveOutDevice audio_;
  audio::MixedTonePlayer tones_;
  audio::MixedTonePlayer beeps_;
  TermClipboard clipboard_;
  posix::PosixShell shell_;
  int wake_pipe_[2] = {-1, -1};  // signals and the destructor wake the reader
  std::atomic<bool> stopping_{false};
  std::thread reader_;
};

}  // namespace placarim::platform::term
