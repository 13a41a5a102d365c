// The console services the speech layer uses besides the main loop: reading
// keys, the output stream that mirrors speech for the teacher, line input, the
// date and time, and the program's end. ConsoleLink (console_link.h) serves
// them from the console.
//
// Errors: none of these calls fails. Blocking: ReadKey and ReadLine wait for
// the user, pumping messages; the others return at once. Threads: main thread
// only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace placarim::speech {

class SpeechConsole {
 public:
  virtual ~SpeechConsole() = default;
  // Blocks until a key code is available.
  virtual uint8_t ReadKey() = 0;
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
