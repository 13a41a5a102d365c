// The spoken line editor: one line of text typed and revised in a field on the
// console, every action answered by sound. Typed characters are spoken,
// movements speak the character reached or click, errors beep, deletions say
// "_DEL" and the character; the field can be copied, pasted, read word by word,
// dialled as telephone tones, opened as a link or file, and the speech speed
// changed from inside it. The game reads every answer of the child with it.
//
// Blocking: ReadLineEdit returns when a key ends editing. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/keys.h"
#include "sound/sound_output.h"
#include "speech/speech.h"

namespace placarim::editor {

// Result codes of ReadLineEdit besides the second code of unhandled extended
// keys: the plain keys that end editing, and two of the editor's own.
inline constexpr int kEditTab = console::plain::kTab;
inline constexpr int kEditCtrlEnter = console::plain::kCtrlEnter;
inline constexpr int kEditEnter = console::plain::kEnter;
inline constexpr int kEditEscape = console::plain::kEscape;
inline constexpr int kEditAltF1 = 104;
inline constexpr int kEditCtrlF9 = console::extended::kCtrlF9;
inline constexpr int kMaxFieldLength = 2048;

// The word of a field that F12 opens, with the brackets and marks around it
// stripped: the run of non-spaces around 1-based `cursor`.
std::string WordToOpen(std::string_view field, int cursor);

class LineEditor {
 public:
  // `shell` starts the programs F12 opens; copy and paste use `clipboard`.
  LineEditor(console::Console& console, speech::Speech& speech, sound::SoundOutput& sound,
             platform::Shell& shell, platform::Clipboard& clipboard);

  // Kept for the whole run, across fields and speech restarts.
  bool echo_typing = true;       // typed characters are spoken (F4 switches it)
  bool first_key_clears = true;  // the first printable key of a field clears it

  // Entered with Ctrl+Alt+F9 or Ctrl+Shift+F9: the console's screen review.
  void SetScreenReview(std::function<void()> review) { screen_review_ = std::move(review); }

  // Edits `text` in the field at 1-based column x, row y; returns the code of
  // the key that ended editing. `text` comes back without trailing spaces.
  int ReadLineEdit(std::string& text, int x, int y, int maximum_length, bool editable);

  // Starts the program configured for the word (a web address, or a file by
  // its extension), else the desktop's opener. A start that fails beeps.
  void OpenLinkOrFile(const std::string& word);

 private:
  struct Field;

  void Redraw(Field& f);
  void ShowOnDisplay(Field& f);
  // A routing key of the braille display: the cursor goes to its cell.
  void MoveToRouted(Field& f);
  // The keys are tables of code and action; an unknown plain key is typed.
  void HandlePlain(Field& f, uint8_t code);
  // Returns true when the key ends editing (f.last holds the result).
  bool HandleExtended(Field& f, uint8_t code, bool alt);
  void ClearToEnd(Field& f);
  void DeleteBeforeCursor(Field& f);
  void ClearToCursor(Field& f);
  void RestoreEntry(Field& f);
  void ClearField(Field& f);
  void SpeakField(Field& f);
  bool WordOrEnd(Field& f, bool alt);
  bool SwitchTypingEcho();
  void MoveLeft(Field& f);
  void MoveRight(Field& f, bool alt);
  void DeleteKey(Field& f);
  bool ReviewOrEnd(Field& f, bool alt);
  void Type(Field& f, uint8_t c);
  void DeleteAtCursor(Field& f, bool announce);
  void SpeakWordAtCursor(Field& f);
  void NextWord(Field& f);
  void PreviousWord(Field& f);
  // The word moves without their sounds; true when the field's end or start was passed.
  bool MoveNextWord(Field& f) const;
  bool MovePreviousWord(Field& f) const;
  void DeleteWord(Field& f);
  void Copy(const Field& f);
  void Paste(Field& f);
  void DialTones(const Field& f);
  void ChangeSpeed();
  void OpenWordAtCursor(const Field& f);
  void WaitWhileSpeaking();

  console::Console& console_;
  speech::Speech& speech_;  // the whole layer: restarted at another speed, and its configuration
  speech::OutputControl& output_;
  speech::RecordedSounds& sounds_;
  speech::TextSpeaker& text_;
  speech::KeyEcho& keys_;
  sound::SoundOutput& sound_;
  platform::Shell& shell_;
  platform::Clipboard& clipboard_;
  std::function<void()> screen_review_;
};

}  // namespace placarim::editor
