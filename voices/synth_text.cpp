#include "voices/synth_text.h"

#include <cstdint>

#include "platform/text_encoding.h"

namespace placarim::voices {
namespace {

bool IsBlankOrControl(char c) {
  const auto byte = static_cast<uint8_t>(c);
  return byte <= 32 || byte == 127;
}

}  // namespace

std::string PrepareEngineText(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  std::string out(text.substr(begin, end - begin));
  if (out.size() == 1 && out[0] >= '0' && out[0] <= '9') out += '.';
  if (out.size() > kSynthTextLimit) out.resize(kSynthTextLimit);
  return out;
}

std::string PrepareServiceText(std::string_view text) {
  if (text.empty()) return " ";
  return std::string(text.substr(0, kSynthTextLimit));
}

std::string EngineUtf8(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 32 || byte == 127 || platform::Cp1252ToCodePoint(byte) == 0) {
      clean += ' ';
    } else if (byte == 0xDF) {
      // espeak-ng 1.51 reads freed memory on a sharp s after some letters
      // (eth, thorn, f with hook, ...); it is never Portuguese and sounds as ss.
      clean += "ss";
    } else {
      clean += c;
    }
  }
  return platform::Cp1252ToUtf8(clean);
}

}  // namespace placarim::voices
