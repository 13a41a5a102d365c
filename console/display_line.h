// What the braille display shows: one line of what matters now (the menu item
// being spoken, the sum with the answer being typed, the result, the line of
// the editor or the screen review), never a copy of the screen. The line is
// written in the school's literary braille with its maths signs, or handed to
// the display's daemon as text when the configuration asks for its own table.
// A line longer than the display pans with the display's panning keys, and
// follows the cursor.
//
// The display's keys come in here and go on as the console's keys: typed
// braille as characters, Enter, Escape and Backspace as those keys, and a
// routing key over a line with a cursor as the extended key kBrailleRouting,
// whose character TakeRouting then tells.
//
// Threads: main thread only. With no display attached, or none connected,
// showing a line costs a translation and nothing else.
#pragma once

#include <string>
#include <string_view>

#include "braille/braille_text.h"
#include "console/key_queue.h"
#include "platform/braille_display.h"

namespace placarim::console {

class DisplayLine {
 public:
  static constexpr int kNoCursor = -1;

  explicit DisplayLine(KeyQueue& queue) : queue_(queue) {}

  void Attach(platform::BrailleDisplay* display) {
    display_ = display;
    Render();
  }
  void SetComputerBraille(bool on);

  // Shows `text` (Windows-1252) with the cursor before character `cursor`
  // (0-based; the length for a cursor after the text), or without a cursor.
  void Show(std::string_view text, int cursor = kNoCursor);
  const std::string& Text() const { return text_; }
  int Cursor() const { return cursor_; }

  // The character a routing key chose, once; -1 when there is none.
  int TakeRouting();

  // Takes every key the display has sent (the console calls it when the
  // display wakes the main thread); also shows the line again when the
  // display's width has changed.
  void TakeDisplayKeys();

 private:
  void Render(bool follow_cursor = true);
  int CellCount() const;
  int CellOfCursor() const;
  int CharOfCell(int cell) const;
  void Pan(int direction);
  void Push(uint8_t code);

  KeyQueue& queue_;
  platform::BrailleDisplay* display_ = nullptr;
  bool computer_braille_ = false;
  braille::BrailleReader reader_;
  std::string text_;
  int cursor_ = kNoCursor;
  braille::BrailleText cells_;
  int offset_ = 0;  // first cell shown
  int width_ = 0;   // the display's width when it was written last
  int routed_ = -1;
};

}  // namespace placarim::console
