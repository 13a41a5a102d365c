#include "voices/tradutor/letter_rules.h"

#include <algorithm>

#include "voices/tradutor/file_text.h"

namespace placarim::tradutor {
namespace {

constexpr size_t kPatternMax = 5;
constexpr size_t kOutputMax = 11;

// Takes the characters of `line` from `pos` up to (not including) the first
// of `stops`, keeping at most `max`; leaves `pos` on the stop character, or at
// the end of the line.
std::string TakeField(std::string_view line, size_t& pos, std::string_view stops, size_t max) {
  size_t end = line.find_first_of(stops, pos);
  if (end == std::string_view::npos) end = line.size();
  std::string field(line.substr(pos, std::min(end - pos, max)));
  pos = end;
  return field;
}

const std::vector<LetterRule>& EmptyList() {
  static const std::vector<LetterRule> empty;
  return empty;
}

}  // namespace

LetterRule ParseRuleLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  LetterRule rule;
  size_t pos = 0;
  rule.left = TakeField(line, pos, "(", kPatternMax);
  if (pos >= line.size()) return rule;
  ++pos;
  rule.centre = TakeField(line, pos, ")", kPatternMax);
  if (pos >= line.size()) return rule;
  ++pos;
  rule.right = TakeField(line, pos, "=", kPatternMax);
  if (pos >= line.size()) return rule;
  ++pos;
  rule.output = TakeField(line, pos, "|", kOutputMax);
  return rule;
}

bool LetterRules::Load(const std::string& path) {
  const auto text = ReadWholeFile(path);
  if (!text) {
    Free();
    return false;
  }
  LoadFromText(*text);
  return true;
}

void LetterRules::LoadFromText(std::string_view text) {
  Free();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    Add(ParseRuleLine(text.substr(start, end - start)));
    start = end + 1;
  }
}

void LetterRules::Add(LetterRule rule) {
  if (rule.centre.empty()) return;
  const int first = static_cast<unsigned char>(rule.centre[0]);
  if (first < kFirstListChar || first >= kFirstListChar + kListCount) return;
  // Each rule joins the end of its own character's list, so trial order is
  // file order even when a file interleaves the rules of two characters.
  lists_[first - kFirstListChar].push_back(std::move(rule));
}

void LetterRules::Free() {
  for (auto& list : lists_) {
    list.clear();
    list.shrink_to_fit();
  }
}

const std::vector<LetterRule>& LetterRules::ListFor(char c) const {
  const int code = static_cast<unsigned char>(c);
  if (code < kFirstListChar || code >= kFirstListChar + kListCount) return EmptyList();
  return lists_[code - kFirstListChar];
}

size_t LetterRules::size() const {
  size_t n = 0;
  for (const auto& list : lists_) n += list.size();
  return n;
}

}  // namespace placarim::tradutor
