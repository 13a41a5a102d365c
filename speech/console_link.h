// Serves the speech layer's console needs from the text console.
#pragma once

#include "console/console.h"
#include "speech/speech_console.h"

namespace placarim::speech {

class ConsoleLink final : public SpeechConsole {
 public:
  explicit ConsoleLink(console::Console& console) : console_(console) {}
  bool KeyPressed() override { return console_.KeyPressed(); }
  uint8_t ReadKey() override { return console_.ReadKey(); }
  void Delay(int milliseconds) override {
    console_.Delay(static_cast<uint16_t>(milliseconds < 0 ? 0 : milliseconds > 65535 ? 65535 : milliseconds));
  }
  void WaitMessage() override { console_.WaitMessage(); }
  void PostWakeUp(int code) override { console_.PostWakeUp(code); }
  void Write(std::string_view text) override {
    console_.StdWrite(text);
    console_.StdFlush();
  }
  void WriteLineBreak() override {
    console_.StdWriteLn();
    console_.StdFlush();
  }
  std::string ReadLine() override { return console_.StdReadLn(); }
  void GetDate(int& year, int& month, int& day) override {
    int weekday = 0;
    console_.GetDate(year, month, day, weekday);
  }
  void GetTime(int& hour, int& minute) override {
    int second = 0, hundredths = 0;
    console_.GetTime(hour, minute, second, hundredths);
  }
  [[noreturn]] void Done(int exit_code = 0) override { console_.Done(exit_code); }

 private:
  console::Console& console_;
};

}  // namespace placarim::speech
