#include "speech/config_values.h"

#include <limits>
#include <optional>

namespace placarim::speech {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

IniInteger ParseIniInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  // Accumulated as a negative number so that the most negative int fits.
  constexpr long long kMin = std::numeric_limits<int>::min();
  long long magnitude = 0;
  size_t digits = 0;
  bool overflow = false;
  for (; i < text.size(); ++i) {
    const int d = base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (d < 0) break;
    const long long next = magnitude * base + d;
    if (-next < kMin || (!negative && next > std::numeric_limits<int>::max())) {
      overflow = true;
      break;
    }
    magnitude = next;
    ++digits;
  }
  IniInteger result;
  result.value = static_cast<int>(negative ? -magnitude : magnitude);
  result.valid = digits > 0 && !overflow && i == text.size();
  return result;
}

int IniIntOr(std::string_view text, int fallback) {
  const IniInteger parsed = ParseIniInteger(text);
  return parsed.valid ? parsed.value : fallback;
}

int IniIntPrefix(std::string_view text) { return ParseIniInteger(text).value; }

bool IniYesNo(std::string_view text) { return !text.empty() && text[0] != 'N' && text[0] != 'n'; }

std::string KeyWithNumber(std::string_view key, int n) { return std::string(key) + std::to_string(n); }

std::string ExpandProgramDirectory(std::string_view value,
                                   const std::function<std::string()>& program_directory,
                                   std::string_view start_directory) {
  std::optional<std::string> directory;
  auto directory_text = [&]() -> const std::string& {
    if (!directory) {
      std::string configured = program_directory();
      if (configured.empty() || configured[0] == '@') configured = std::string(start_directory);
      directory = std::move(configured);
    }
    return *directory;
  };

  std::string result;
  size_t pos = 0;
  if (!value.empty() && value[0] == '@') {
    result = directory_text();
    pos = 1;
  }
  while (pos < value.size()) {
    const size_t at = value.find("@\\", pos);
    if (at == std::string_view::npos) break;
    result.append(value.substr(pos, at - pos));
    result += directory_text();
    pos = at + 1;  // the backslash stays
  }
  result.append(value.substr(pos));
  return result;
}

}  // namespace placarim::speech
