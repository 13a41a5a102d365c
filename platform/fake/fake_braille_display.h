// A braille display for tests: records every window the program shows and
// hands out the keys a test presses on it, each when the fake clock reaches
// its time, with the wake-up a real display's thread would send.
//
//   FakeBrailleDisplay display(fake.events, fake.clock);   // 40 cells
//   display.PressAt(1000, {BrailleKey::Kind::Routing, 5});
//   ... run the program ...
//   EXPECT_EQ(display.shown.back().cursor, 4);
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "platform/braille_display.h"
#include "platform/fake/fake_platform.h"

namespace placarim::platform::fake {

class FakeBrailleDisplay final : public BrailleDisplay {
 public:
  FakeBrailleDisplay(FakeEvents& events, FakeClock& clock, int width = 40)
      : events_(events), clock_(clock), width_(width) {}

  int Width() const override { return width_; }
  void Show(const BrailleWindow& window) override { shown.push_back(window); }
  bool PollKey(BrailleKey& key) override;

  void PressAt(int64_t time_ms, const BrailleKey& key);
  void Press(const BrailleKey& key) { PressAt(clock_.NowMs(), key); }
  // The display connects (a width) or goes away (0), as a real one may.
  void SetWidth(int width);

  std::vector<BrailleWindow> shown;

 private:
  struct Pending {
    int64_t time;
    BrailleKey key;
  };
  FakeEvents& events_;
  FakeClock& clock_;
  int width_;
  std::deque<Pending> keys_;  // in time order
};

}  // namespace placarim::platform::fake

namespace placarim::platform {
// For test failures: the cells as dot numbers, "|" between them, "^" before
// the cursor's cell.
std::string Describe(const BrailleWindow& window);
void PrintTo(const BrailleWindow& window, std::ostream* os);
}  // namespace placarim::platform
