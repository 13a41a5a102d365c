#include "mbr/phoneme_line.h"

#include <charconv>
#include <cmath>

#include "mbr/voice_database.h"
#include "platform/decimal_text.h"

namespace placarim::mbr {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

bool Number(std::string_view text, double low, double high, double& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return platform::ParseDecimal(text, value) && std::isfinite(value) && value >= low &&
         value <= high;
}

}  // namespace

LineError ParsePhonemeLine(std::string_view line, PhonemeLine& out) {
  out = PhonemeLine{};
  if (const size_t semicolon = line.find(';'); semicolon != std::string_view::npos) {
    line = line.substr(0, semicolon);
  }
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.empty()) return LineError::kNone;
  if (fields[0].front() == '#') {
    out.kind = PhonemeLine::Kind::kFlush;
    return LineError::kNone;
  }
  if (fields.size() < 2 || fields.size() % 2 != 0 || fields[0].size() > kMaxPhonemeName) {
    return LineError::kSyntax;
  }
  out.name = fields[0];
  if (!Number(fields[1], 0, kMaxPhonemeMs, out.duration_ms)) return LineError::kBadNumber;
  for (size_t i = 2; i < fields.size(); i += 2) {
    PitchPoint p;
    if (!Number(fields[i], 0, 100, p.position) || !Number(fields[i + 1], 0, kMaxPitchHz, p.hz) || p.hz <= 0) {
      return LineError::kBadNumber;
    }
    out.points.push_back(p);
  }
  out.kind = PhonemeLine::Kind::kPhoneme;
  return LineError::kNone;
}

}  // namespace placarim::mbr
