#include "voices/ilvra/latin1.h"

#include <charconv>

#include "platform/regular_file.h"
#include "platform/text_encoding.h"

namespace placarim::ilvra {

std::optional<std::string> ReadLanguageFile(const std::string& path) {
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return platform::FileTextToCp1252(*bytes);
}

std::optional<int> ParseInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace placarim::ilvra
