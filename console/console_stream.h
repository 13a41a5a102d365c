// The program's standard text streams on the console. Output goes out in
// blocks of 128 bytes; each block is written to the screen and then the
// window handles its messages, so a long text never keeps keys waiting.
// Input is one line typed with the console's ReadLine.
//
// StandardStreamBinding binds std::cout and std::cin to them for as long as
// it lives: every output statement is written and flushed at once.
//
// Threads: main thread. Writing never blocks; reading blocks until Enter.
#pragma once

#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "console/console.h"

namespace placarim::console {

inline constexpr size_t kStdBlock = 128;

// Writes `text` to the standard output (and so to the screen).
void StdWrite(Console& console, std::string_view text);
// The same, followed by CR LF.
void StdWriteLn(Console& console, std::string_view text = {});
// Lets the window handle its messages, as every block written already does
// (for the std::cout binding's flush).
void StdFlush(Console& console);
// One line from the standard input, without its CR LF.
std::string StdReadLn(Console& console);

class ConsoleStreamBuf : public std::streambuf {
 public:
  explicit ConsoleStreamBuf(Console& console) : console_(console) {}

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;
  int_type underflow() override;

 private:
  Console& console_;
  std::string line_;  // the line being read, with its '\n'
};

class StandardStreamBinding {
 public:
  explicit StandardStreamBinding(Console& console);
  ~StandardStreamBinding();
  StandardStreamBinding(const StandardStreamBinding&) = delete;
  StandardStreamBinding& operator=(const StandardStreamBinding&) = delete;

 private:
  ConsoleStreamBuf buffer_;
  std::streambuf* old_out_;
  std::streambuf* old_in_;
  std::ios_base::fmtflags old_flags_;
};

}  // namespace placarim::console
