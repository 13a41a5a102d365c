// The text terminal the program draws on: ncurses over the terminal named by
// TERM on standard input and output, put in raw mode so every key comes as
// bytes, with the cursor left where the child types so that a console screen
// reader follows it. The terminal is always given back as it was: at Restore,
// at exit, and from the handlers of the crash signals (which only use
// async-signal-safe calls and then die of the same signal).
//
// Threads: main thread only, except that the signal handlers may run anywhere.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/platform.h"

namespace placarim::platform::term {

class Terminal {
 public:
  static constexpr int kColumns = 80;
  static constexpr int kRows = 25;

  // Takes over the terminal; nullptr (with `error` set) when standard input
  // and output are not a terminal ncurses can drive.
  static std::unique_ptr<Terminal> Open(std::string& error);
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  // Draws `count` Windows-1252 bytes at (col, row) in the nearest colours
  // the terminal has. Nothing is drawn while the terminal is too small.
  void DrawRun(int col, int row, const uint8_t* text, int count, Rgb fg, Rgb bg);
  void SetCaret(int col, int row, bool visible);
  // Hides the cursor but keeps it where it was, for screen readers.
  void HideCaret() { caret_visible_ = false; }
  // Shows what was drawn, with the cursor at the caret; while the terminal is
  // smaller than 80 by 25 it shows a message saying so instead.
  void Present();
  // The terminal changed size: takes the new size; the caller repaints.
  void Resized();
  // Stops the program as Ctrl+Z asks, giving the terminal back meanwhile;
  // returns once the program is continued, with the screen to be repainted.
  void Suspend();
  // Takes the terminal again after someone else used it (SIGCONT).
  void Resume();
  // Gives the terminal back as it was found. Idempotent.
  void Restore();

  bool TooSmall() const;
  int Columns() const;
  int Rows() const;

 private:
  Terminal() = default;
  short PairOf(Rgb fg, Rgb bg);
  short ColourOf(Rgb rgb) const;

  // Standard error while it is the terminal itself: what is written there
  // meanwhile would scribble over the screen, so it goes to a file that is
  // shown once the terminal is given back.
  void CaptureErrors();
  void ReleaseErrors();

  int saved_stderr_ = -1;
  std::string errors_path_;
  bool utf8_ = false;
  bool restored_ = false;
  bool colours_ = false;
  int caret_col_ = 0, caret_row_ = 0;
  bool caret_visible_ = false;
  std::map<std::pair<short, short>, short> pairs_;
};

// The message shown while the terminal is too small: plain ASCII lines of
// at most 40 characters, so that any terminal shows it whole.
std::string TooSmallMessage(int width, int height);

// Folds a Windows-1252 byte to the ASCII character closest to it, for
// terminals that cannot show more.
char FoldToAscii(uint8_t c);

}  // namespace placarim::platform::term
