// Serves the speech layer's console needs from the text console, its
// standard streams and the platform's clock.
#pragma once

#include "console/console.h"
#include "console/console_stream.h"
#include "platform/platform.h"
#include "speech/speech_console.h"

namespace placarim::speech {

class ConsoleLink final : public SpeechConsole {
 public:
  ConsoleLink(console::Console& console, platform::Clock& clock) : console_(console), clock_(clock) {}
  uint8_t ReadKey() override { return console_.ReadKey(); }
  void Write(std::string_view text) override {
    console::StdWrite(console_, text);
  }
  void WriteLineBreak() override {
    console::StdWriteLn(console_);
  }
  std::string ReadLine() override { return console::StdReadLn(console_); }
  void GetDate(int& year, int& month, int& day) override {
    const platform::DateTime now = clock_.LocalNow();
    year = now.year, month = now.month, day = now.day;
  }
  void GetTime(int& hour, int& minute) override {
    const platform::DateTime now = clock_.LocalNow();
    hour = now.hour, minute = now.minute;
  }
  [[noreturn]] void Done(int exit_code = 0) override { console_.Done(exit_code); }

 private:
  console::Console& console_;
  platform::Clock& clock_;
};

}  // namespace placarim::speech
