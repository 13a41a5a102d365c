// A refreshable braille display: one line of cells the program writes, and the
// display's own keys (routing keys over the cells, panning keys, a braille
// keyboard, Enter and Escape). The display may come and go at any moment
// (its daemon restarted, a cable pulled): the program never waits for it.
//
// Threads: every method is called from the main thread and returns at once.
// An implementation that talks to a device or daemon does so on a thread of
// its own and wakes the main thread with EventSource::PushWakeUp(
// kBrailleDisplayWakeUp) when a key arrives or the display's size changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace placarim::platform {

inline constexpr int kBrailleDisplayWakeUp = 3107;

struct BrailleKey {
  enum class Kind {
    Dots,      // value: a cell typed on the braille keyboard (dot n = bit n-1)
    Char,      // value: a Windows-1252 character the display's own table made of typed dots
    Routing,   // value: the cell, 0 for the leftmost
    PanLeft,   // the window moves one display width back
    PanRight,  // and forward
    Enter,
    Escape,
    Backspace,
  };
  Kind kind = Kind::Dots;
  int value = 0;
  friend bool operator==(const BrailleKey&, const BrailleKey&) = default;
};

// What the display shows: either cells, exactly as given, or text for the
// display's own text table to turn into cells (computer braille, one cell a
// character). Cursor: the cell that shows the cursor, or -1.
struct BrailleWindow {
  std::vector<uint8_t> cells;
  std::string text;  // Windows-1252; used when `as_text`
  bool as_text = false;
  int cursor = -1;
  friend bool operator==(const BrailleWindow&, const BrailleWindow&) = default;
};

class BrailleDisplay {
 public:
  virtual ~BrailleDisplay() = default;
  // Cells across the display; 0 while none is connected.
  virtual int Width() const = 0;
  // Replaces what the display shows (cells beyond its width are not shown).
  // Kept and shown again when a display connects later.
  virtual void Show(const BrailleWindow& window) = 0;
  // Takes the next key the display sent; false when none is waiting.
  virtual bool PollKey(BrailleKey& key) = 0;
};

}  // namespace placarim::platform
