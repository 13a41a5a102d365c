// A window onto the console's text for tests of the real program: when the
// environment names a file in PLACARIM_SCREEN_DUMP, the program writes the
// console's 25 rows there (UTF-8, one line each, trailing blanks cut) each
// time it goes to sleep waiting for an event and the text has changed. The
// file is replaced whole (written beside it, then renamed), so a reader never
// sees half a screen. Without the variable the platform is used as it is.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "console/console.h"
#include "platform/platform.h"

namespace placarim::game {

// The console's text, rows 1 to 25, as UTF-8 lines.
std::string ScreenText(const console::Console& console);

class ScreenDumpPlatform final : public platform::Platform {
 public:
  ScreenDumpPlatform(platform::Platform& inner, std::string path);

  // The console whose text is written; set once it exists.
  void Watch(const console::Console& console) { events_.console = &console; }

  std::unique_ptr<platform::Surface> CreateWindow(const platform::WindowSettings& settings) override {
    return inner_.CreateWindow(settings);
  }
  platform::WorkArea GetWorkArea() override { return inner_.GetWorkArea(); }
  platform::EventSource& Events() override { return events_; }
  platform::Clock& GetClock() override { return inner_.GetClock(); }
  platform::AudioDevice& Audio() override { return inner_.Audio(); }
  platform::TonePlayer& Tones() override { return inner_.Tones(); }
  platform::Clipboard& GetClipboard() override { return inner_.GetClipboard(); }
  platform::Shell& GetShell() override { return inner_.GetShell(); }
  void Beep() override { inner_.Beep(); }
  [[noreturn]] void Exit(int code) override {
    inner_.Exit(code);
    std::abort();  // the inner platform never returns from Exit
  }

 private:
  class DumpingEvents final : public platform::EventSource {
   public:
    DumpingEvents(platform::EventSource& inner, std::string path) : inner_(inner), path_(std::move(path)) {}
    bool Poll(platform::Event& event) override { return inner_.Poll(event); }
    void WaitForEvent() override;
    void PushWakeUp(int code) override { inner_.PushWakeUp(code); }

    const console::Console* console = nullptr;

   private:
    platform::EventSource& inner_;
    std::string path_;
    std::string written_;
  };

  platform::Platform& inner_;
  DumpingEvents events_;
};

}  // namespace placarim::game
