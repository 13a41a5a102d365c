#include "speech/text_stages.h"

#include <algorithm>

#include "lang/cp1252.h"

namespace placarim::speech {
namespace {

bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128; }
bool IsWordChar(uint8_t c) { return IsLetter(c) || c == ' '; }
bool IsNumberChar(uint8_t c) { return (c >= '0' && c <= '9') || c == '-'; }

size_t PrefixLength(std::string_view text, bool (*belongs)(uint8_t)) {
  size_t n = 0;
  while (n < text.size() && belongs(static_cast<uint8_t>(text[n]))) ++n;
  return n;
}

}  // namespace

std::string EndWithBlank(std::string_view text) { return std::string(text) + ' '; }

std::string PrepareText(std::string_view text, std::span<const TextStage> stages) {
  std::string result(text);
  for (TextStage stage : stages) result = stage(result);
  return result;
}

Segment NextSegment(std::string_view text, size_t max_words) {
  const uint8_t first = static_cast<uint8_t>(text[0]);
  if (first == '0') {
    const size_t zeros = std::min(text.find_first_not_of('0'), text.size());
    return {SegmentKind::kZeros, zeros, zeros};
  }
  if (first >= '1' && first <= '9') {
    const size_t n = PrefixLength(text, IsNumberChar);
    return {SegmentKind::kNumber, n, n};
  }
  if (IsWordChar(first)) {
    const size_t n = std::min(PrefixLength(text, IsWordChar), max_words);
    // A hyphenated word is said without a pause.
    const bool joined = text.size() >= n + 2 && text[n] == '-' && IsLetter(static_cast<uint8_t>(text[n + 1]));
    return {SegmentKind::kWords, n, joined ? n + 1 : n};
  }
  return {SegmentKind::kSymbol, 1, 1};
}

bool NumberIsSpelled(std::string_view number) {
  return number.find('-') != std::string_view::npos || number.size() >= 7;
}

WordsAction WordsToSay(std::string_view run) {
  const size_t end = run.find_last_not_of(' ');
  if (end == std::string_view::npos) return WordsAction::kNothing;
  return lang::EqualIgnoringCase(run.substr(0, end + 1), "WWW") ? WordsAction::kSpell : WordsAction::kSpeak;
}

}  // namespace placarim::speech
