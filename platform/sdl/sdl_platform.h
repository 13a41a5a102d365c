// The real platform: SDL2 window, events, audio and clipboard, the POSIX shell
// and clocks. Only one instance at a time; it starts SDL's event subsystem at
// once, begins opening the audio device in the background, and starts video
// when first needed, so it can be built without a display (CreateWindow then
// gives nullptr).
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/audio/audio_output.h"
#include "platform/posix/posix_shell.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_window.h"

namespace placarim::platform::sdl {

class SdlClock final : public Clock {
 public:
  explicit SdlClock(DisplayLink& display) : display_(display) {}
  int64_t NowMs() override;
  // Presents the window's pending frame first: sleeping is idle time.
  void SleepMs(int ms) override;
  DateTime LocalNow() override;

 private:
  DisplayLink& display_;
};

class SdlClipboard final : public Clipboard {
 public:
  explicit SdlClipboard(std::function<bool()> ensure_video) : ensure_video_(std::move(ensure_video)) {}
  ClipboardStatus GetText(std::string& utf8) override;
  bool SetText(const std::string& utf8) override;

 private:
  std::function<bool()> ensure_video_;
};

class SdlPlatform final : public Platform {
 public:
  SdlPlatform();
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  std::unique_ptr<Surface> CreateWindow(const WindowSettings& settings) override;
  WorkArea GetWorkArea() override;
  EventSource& Events() override { return events_; }
  Clock& GetClock() override { return clock_; }
  AudioDevice& Audio() override { return audio_; }
  TonePlayer& Tones() override { return tones_; }
  Clipboard& GetClipboard() override { return clipboard_; }
  Shell& GetShell() override { return shell_; }
  void Beep() override;
  // Throws ProgramExit{code}: the program's entry catches it, so that every
  // object on the way unwinds (the audio device, the speech service's
  // connection, open files) before the process ends with `code`.
  [[noreturn]] void Exit(int code) override;

  // Starts SDL's video; false, after saying why on standard error, when there
  // is no display to open a window on.
  bool OpenDisplay() { return EnsureVideo(); }
  // Ends SDL whole, once every platform object is gone.
  static void Shutdown();

 private:
  bool EnsureVideo();

  bool events_started_ = false;
  bool video_started_ = false;
  DisplayLink display_;
  SdlEventSource events_;
  SdlClock clock_;
  audio::AudioOutput audio_output_;
  audio::WaveOutDevice audio_;
  audio::MixedTonePlayer tones_;
  audio::MixedTonePlayer beeps_;
  SdlClipboard clipboard_;
  posix::PosixShell shell_;
};

}  // namespace placarim::platform::sdl
