// Binds the program's standard text streams (std::cout, std::cin) to the
// console for as long as the binding lives: every output statement is written
// through the console's 128-byte standard output block and flushed (which also
// lets the window handle its messages); reading takes one edited line.
#pragma once

#include <iostream>
#include <streambuf>
#include <string>

#include "console/console.h"

namespace placarim::console {

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
