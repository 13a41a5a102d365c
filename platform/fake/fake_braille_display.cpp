#include "platform/fake/fake_braille_display.h"

#include <algorithm>

namespace placarim::platform::fake {

bool FakeBrailleDisplay::PollKey(BrailleKey& key) {
  if (keys_.empty() || keys_.front().time > clock_.NowMs()) return false;
  key = keys_.front().key;
  keys_.pop_front();
  return true;
}

void FakeBrailleDisplay::PressAt(int64_t time_ms, const BrailleKey& key) {
  const auto at = std::upper_bound(keys_.begin(), keys_.end(), time_ms,
                                   [](int64_t t, const Pending& p) { return t < p.time; });
  keys_.insert(at, {time_ms, key});
  Event wake;
  wake.type = EventType::WakeUp;
  wake.code = kBrailleDisplayWakeUp;
  events_.PostAt(time_ms, wake);
}

void FakeBrailleDisplay::SetWidth(int width) {
  width_ = width;
  events_.PushWakeUp(kBrailleDisplayWakeUp);
}

}  // namespace placarim::platform::fake

namespace placarim::platform {

std::string Describe(const BrailleWindow& window) {
  if (window.as_text) return "text \"" + window.text + "\" cursor " + std::to_string(window.cursor);
  std::string out;
  for (size_t i = 0; i < window.cells.size(); ++i) {
    if (i > 0) out += '|';
    if (static_cast<int>(i) == window.cursor) out += '^';
    for (int dot = 0; dot < 8; ++dot) {
      if (window.cells[i] & (1 << dot)) out += static_cast<char>('1' + dot);
    }
  }
  if (window.cursor >= static_cast<int>(window.cells.size())) out += "|^";
  return out;
}

// GoogleTest prints a window this way when an expectation fails.
void PrintTo(const BrailleWindow& window, std::ostream* os) { *os << Describe(window); }

}  // namespace placarim::platform
