#include "console/console_stream.h"

#include <algorithm>

namespace placarim::console {

void StdWrite(Console& console, std::string_view text) {
  do {
    const size_t n = std::min(kStdBlock, text.size());
    console.Write(text.substr(0, n));
    console.KeyPressed();  // every written block also lets the window handle its messages
    text.remove_prefix(n);
  } while (!text.empty());
}

void StdWriteLn(Console& console, std::string_view text) {
  std::string line(text);
  line += "\r\n";
  StdWrite(console, line);
}

void StdFlush(Console& console) { console.KeyPressed(); }

std::string StdReadLn(Console& console) {
  char line[kStdBlock];
  const uint16_t n = console.ReadLine(line, static_cast<uint16_t>(kStdBlock));
  return std::string(line, n >= 2 ? n - 2 : 0);
}

ConsoleStreamBuf::int_type ConsoleStreamBuf::overflow(int_type ch) {
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  const char c = traits_type::to_char_type(ch);
  xsputn(&c, 1);
  return ch;
}

std::streamsize ConsoleStreamBuf::xsputn(const char* s, std::streamsize n) {
  // A C++ "\n" ends a line as the console's CR LF does.
  std::string text;
  for (std::streamsize i = 0; i < n; ++i) {
    if (s[i] == '\n') text += '\r';
    text += s[i];
  }
  StdWrite(console_, text);
  return n;
}

int ConsoleStreamBuf::sync() {
  StdFlush(console_);
  return 0;
}

ConsoleStreamBuf::int_type ConsoleStreamBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  line_ = StdReadLn(console_) + "\n";
  setg(line_.data(), line_.data(), line_.data() + line_.size());
  return traits_type::to_int_type(*gptr());
}

StandardStreamBinding::StandardStreamBinding(Console& console)
    : buffer_(console),
      old_out_(std::cout.rdbuf(&buffer_)),
      old_in_(std::cin.rdbuf(&buffer_)),
      old_flags_(std::cout.flags()) {
  std::cout.setf(std::ios::unitbuf);  // every output statement is flushed at once
}

StandardStreamBinding::~StandardStreamBinding() {
  std::cout.flags(old_flags_);
  std::cout.rdbuf(old_out_);
  std::cin.rdbuf(old_in_);
}

}  // namespace placarim::console
