// The two times-table screens, walked by ear: the check table (one operand and
// operator, rows 0 to 10) and the training field (the 10 x 10 multiplication
// grid). Both draw in the play area and clear it again when they close.
#pragma once

#include <cstdint>

#include "console/console.h"
#include "game/narrator.h"
#include "game/speech_port.h"

namespace placarim::game {

class TimesTables {
 public:
  TimesTables(console::Console& console, SpeechPort& speech, Narrator& narrator);

  // Rows a op 0 to a op 10, walked with Up and Down; ENTER or ESC closes it.
  void TimesTableCheck(int64_t a, char op);
  // The multiplication grid, walked with the arrows; ESC closes it.
  void TimesTableField();

 private:
  enum class ReadingMode { Position, Result };

  // One key of the console (console::ReadTypedKey): an extended key gives its
  // extended code, a character typed with AltGr the character.
  int ReadKeyCode();

  void DrawCheckRow(int64_t a, char op, int row);
  void SayCheckRow(int64_t a, char op, int row);

  void IntroduceField();
  void DrawField();
  void ActOnFieldKey(int key);  // a table of key and action
  void SwitchReadingMode();
  void SayCellWithResult();
  void SayCellSumAndBeep();
  void MoveTo(int row, int column);  // and says the cell
  void HighlightCell(int color);
  void SayCell();
  void SayCellSum();

  console::Console& console_;
  SpeechPort& speech_;
  Narrator& narrator_;

  // Training field selection: -1 until the first key.
  int row_ = -1;
  int column_ = -1;
  ReadingMode mode_ = ReadingMode::Position;
};

}  // namespace placarim::game
