// The screen review: a small screen reader for the console. A blind user moves
// a review cursor over the 80 by 25 screen and hears characters, words, lines,
// fields or the whole screen, searches for a text, jumps to a row and column,
// and copies the screen to the clipboard. Escape leaves it; the console cursor
// is put back where it was.
//
// Keys (extended keys are 0 then their code):
//   arrows, Home, End, Page Up/Down, Ctrl+Page Up/Down (first/last letter),
//   Ctrl+Left/Right (word moves), F1 (word), Ctrl+F1 (field), F5 / Ctrl+F5
//   (search / search again), F6 (row and column typed as four digits),
//   space (line), Enter (next row), Tab (next field), Ctrl+K or Ctrl+L
//   (position), Ctrl+C (copy the screen), and two-letter commands: the part
//   (I up to the cursor, T all, F from the cursor; L counts as T) then the
//   range (T screen, L line, C field).
//
// Blocking: ConsoleScreenReview returns when Escape is pressed. Main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "console/console.h"
#include "platform/platform.h"
#include "speech/output_control.h"
#include "speech/recorded_sounds.h"
#include "speech/text_speaker.h"

namespace placarim::editor {

class ScreenReview {
 public:
  // The screen is copied to `clipboard`.
  ScreenReview(console::Console& console, speech::OutputControl& output, speech::RecordedSounds& sounds,
               speech::TextSpeaker& text, platform::Clipboard& clipboard);
  ScreenReview(const ScreenReview&) = delete;
  ScreenReview& operator=(const ScreenReview&) = delete;

  // Runs the review mode until Escape.
  void ConsoleScreenReview();

  // The last search text typed; kept for the whole run so that a later review
  // can search for it again.
  const std::string& SearchText() const { return search_text_; }

 private:
  // A span of the screen read by a two-letter command, space, or a move.
  struct Range {
    int first_row, first_column, last_row, last_column;
    bool keeps_cursor;
  };
  struct Field {
    int first, last;  // columns; empty when last < first
  };

  using Key = console::Key;

  // Reads one key (both codes of an extended key) and silences the speech.
  Key ReadCommandKey();
  void RunPlain(uint8_t key);
  void RunExtended(uint8_t code);
  void RunTwoLetterCommand(uint8_t first_key);
  void Clamp();
  void Refuse();  // beep, click, beep: a key that means nothing here
  void DiscardKeys();

  uint8_t At(int row, int column) const;
  // The characters of a row from one column to another, blanks for empty cells.
  std::string RowText(int row, int first_column, int last_column) const;
  uint8_t AttrAt(int row, int column) const;
  int EndOfText(int row) const;  // just past the last non-blank column (1 for a blank row)
  Field FieldAt(int row, int column) const;

  void MoveLeft();
  void MoveRight();
  void MoveUp();
  void MoveDown();
  void PreviousWord();
  void NextWord();
  void NextField();
  void GoToLetter(bool last);
  void ReadWordCommand();
  void ReadFromRow(int row);  // from its first column
  void ReadFieldAtCursor();

  void ReadLine() { ReadRange(LineRange('T')); }
  Range LineRange(char part) const;
  void ReadRange(const Range& range);
  void ReadWordsUpTo(int last_column);
  void SpeakRowUpTo(int last_column);
  void ReadWordAtCursor(int last_column);

  void AskSearchText();
  void Search();
  void AskRowAndColumn();
  void CopyScreen();
  void ShowOnDisplay();
  // A routing key of the braille display: the review cursor goes to its cell.
  void MoveToRouted();

  console::Console& console_;
  speech::OutputControl& output_;
  speech::RecordedSounds& sounds_;
  speech::TextSpeaker& text_;
  platform::Clipboard& clipboard_;
  std::string search_text_;

  int row_ = 1;     // 1 to 25
  int column_ = 1;  // 1 to 81; 81 is just past the last column
};

}  // namespace placarim::editor
