#include "speech/synth_text.h"

#include <cstdint>

#include "platform/text_encoding.h"

namespace placarim::speech {
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
  std::string clean(text);
  for (char& c : clean) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 32 || byte == 127 || platform::Cp1252ToCodePoint(byte) == 0) c = ' ';
  }
  return platform::Cp1252ToUtf8(clean);
}

}  // namespace placarim::speech
