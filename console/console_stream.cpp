#include "console/console_stream.h"

namespace placarim::console {

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
  console_.StdWrite(text);
  return n;
}

int ConsoleStreamBuf::sync() {
  console_.StdFlush();
  return 0;
}

ConsoleStreamBuf::int_type ConsoleStreamBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  line_ = console_.StdReadLn() + "\n";
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
