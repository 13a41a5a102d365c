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
