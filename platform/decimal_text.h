// Reading a decimal number written in full ("12.5", "-3", "1e3"), the whole
// text and nothing else, in every locale: std::from_chars where the C++
// library has it for floating point, else strtod on the same accepted forms
// (no leading blanks or '+', no hexadecimal) - the browser build's library
// predates floating-point from_chars.
#pragma once

#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

namespace placarim::platform {

inline bool ParseDecimal(std::string_view text, double& value) {
#if defined(__EMSCRIPTEN__)
  if (text.empty() || text.find_first_not_of("0123456789.eE-+infatyINFATY") != std::string_view::npos ||
      text.front() == '+') {
    return false;
  }
  const std::string copy(text);
  char* end = nullptr;
  value = std::strtod(copy.c_str(), &end);
  return end == copy.c_str() + copy.size();
#else
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
#endif
}

}  // namespace placarim::platform
