#include "game/class_list.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "lang/cp1252.h"
#include "platform/text_encoding.h"

namespace placarim::game {
namespace {

// Marks, in the converted text, a character that had no Windows-1252 form.
constexpr char kNoForm = '\x01';

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsLetter(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7) || c == 0x8A ||
         c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}

bool IsShowable(uint8_t c) { return c >= 0x20 && c != 0x7F && platform::Cp1252ToCodePoint(c) != 0; }

// "Ana" and "ANA" are one child.
std::string Folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = lang::UpperCase(c);
  return out;
}

std::optional<NameFault> FaultOf(std::string_view name) {
  if (name.empty()) return NameFault::kEmptyLine;
  if (!std::all_of(name.begin(), name.end(), [](char c) { return IsShowable(static_cast<uint8_t>(c)); })) {
    return NameFault::kNotShowable;
  }
  if (std::none_of(name.begin(), name.end(), [](char c) { return IsLetter(static_cast<uint8_t>(c)); })) {
    return NameFault::kNoLetter;
  }
  if (name.size() > kLongestName) return NameFault::kTooLong;
  return std::nullopt;
}

}  // namespace

ClassList ReadClassList(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  bytes = bytes.substr(0, bytes.find('\x1A'));
  const std::string text =
      platform::LooksLikeUtf8(bytes) ? platform::Utf8ToCp1252(bytes, kNoForm) : std::string(bytes);
  ClassList list;
  std::vector<std::string> seen;
  std::string_view rest = text;
  for (int number = 1; !rest.empty(); ++number) {
    const size_t lf = rest.find('\n');
    std::string_view line = rest.substr(0, lf);
    rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view name = Trimmed(line);
    std::optional<NameFault> fault = FaultOf(name);
    std::string folded = Folded(name);
    if (!fault && std::find(seen.begin(), seen.end(), folded) != seen.end()) fault = NameFault::kDuplicate;
    if (fault) {
      list.skipped.push_back({number, *fault, std::string(name)});
      continue;
    }
    seen.push_back(std::move(folded));
    list.names.emplace_back(name);
    list.lines.push_back(number);
  }
  return list;
}

std::string NameAsFileName(std::string_view name) {
  if (name.find('/') != std::string_view::npos) return {};
  return platform::Cp1252ToUtf8(name);
}

}  // namespace placarim::game
