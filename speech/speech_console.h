// The console services the speech layer uses: the key queue (a pending key is
// the universal stop), waiting for window messages, the private wake-up
// message, the output stream that mirrors speech for the teacher, line input
// and the clock. ConsoleLink (console_link.h) serves them from the console.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace placarim::speech {

class SpeechConsole {
 public:
  virtual ~SpeechConsole() = default;
  virtual bool KeyPressed() = 0;
  // Blocks until a key code is available.
  virtual uint8_t ReadKey() = 0;
  // Sleeps while pumping window messages.
  virtual void Delay(int milliseconds) = 0;
  // Sleeps until the next window message has arrived and been handled.
  virtual void WaitMessage() = 0;
  // Posts a private message that ends a WaitMessage (1123 from the speech layer).
  virtual void PostWakeUp(int code) = 0;
  // Writes to the standard output stream and flushes it.
  virtual void Write(std::string_view text) = 0;
  virtual void WriteLineBreak() = 0;
  // Reads one line from the standard input (the user presses Enter).
  virtual std::string ReadLine() = 0;
  virtual void GetDate(int& year, int& month, int& day) = 0;
  virtual void GetTime(int& hour, int& minute) = 0;
  // Ends the program through the console's normal exit.
  [[noreturn]] virtual void Done(int exit_code = 0) = 0;
};

}  // namespace placarim::speech
