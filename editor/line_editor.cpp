#include "editor/line_editor.h"

#include "console/display_line.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "console/colours.h"
#include "console/keys.h"
#include "lang/cp1252.h"
#include "lang/sums.h"
#include "platform/clipboard_text.h"
#include "platform/text_encoding.h"
#include "speech/local_path.h"

namespace placarim::editor {

namespace {

namespace plain = console::plain;
namespace extended = console::extended;

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Letters for word moves and word reading: ASCII letters and every code from 128 on.
bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128; }

bool IsAsciiLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && lang::EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

constexpr std::string_view kStrippedAroundWord = "\"(*-.<=>[_{";

}  // namespace

struct LineEditor::Field {
  std::string text;   // always exactly `length` characters, padded with spaces
  std::string entry;  // the padded text as editing began (Ctrl+U)
  int length = 0;
  int x = 1, y = 1;
  int cursor = 1;  // 1 to length + 1
  int origin = 1;  // first visible position
  int width = 0;
  int anchor = 0;  // selection ends; 0 = unset
  int end = 0;
  bool first_key = true;
  bool editable = true;
  int last = ' ';
  int shown_prefix = 0;  // characters before the field on the braille display's line

  uint8_t At(int position) const { return static_cast<uint8_t>(text[position - 1]); }
  // Position just after the last non-space character (1 for an empty field).
  int AfterLastWord() const {
    const size_t last_char = text.find_last_not_of(' ');
    return last_char == std::string::npos ? 1 : static_cast<int>(last_char) + 2;
  }
  // An empty selection (both ends on one position, as Shift+Del leaves it)
  // counts as none for Shift+Del, which then deletes the character at the
  // cursor; copy finds nothing in it to copy.
  bool HasSelection() const { return anchor != 0 && end != 0 && anchor != end; }
  bool HasEmptySelection() const { return anchor != 0 && anchor == end; }
  void ClearSelection() { anchor = end = 0; }
  void RemoveAt(int position) {
    text.erase(static_cast<size_t>(position - 1), 1);
    text.push_back(' ');
  }
};

std::string WordToOpen(std::string_view field, int cursor) {
  const int length = static_cast<int>(field.size());
  cursor = std::clamp(cursor, 1, length + 1);
  int left = cursor;
  while (left > 1 && field[left - 2] != ' ') --left;
  int right = cursor;
  while (right <= length && field[right - 1] != ' ') ++right;
  std::string_view word = field.substr(left - 1, right - left);
  while (!word.empty() && kStrippedAroundWord.find(word.front()) != std::string_view::npos) word.remove_prefix(1);
  while (!word.empty() && kStrippedAroundWord.find(word.back()) != std::string_view::npos) word.remove_suffix(1);
  return std::string(word);
}

LineEditor::LineEditor(console::Console& console, speech::Speech& speech, sound::SoundOutput& sound,
                       platform::Shell& shell, platform::Clipboard& clipboard)
    : console_(console),
      speech_(speech),
      output_(speech.Output()),
      sounds_(speech.Sounds()),
      text_(speech.Text()),
      keys_(speech.Keys()),
      sound_(sound),
      shell_(shell),
      clipboard_(clipboard) {}

int LineEditor::ReadLineEdit(std::string& text, int x, int y, int maximum_length, bool editable) {
  Field f;
  f.length = std::clamp(maximum_length, 0, kMaxFieldLength);
  f.text = text.substr(0, static_cast<size_t>(f.length));
  f.text.resize(static_cast<size_t>(f.length), ' ');
  f.entry = f.text;
  f.x = x;
  f.y = y;
  f.width = std::clamp(79 - x, 0, f.length);
  f.editable = editable;

  for (;;) {
    Redraw(f);
    ShowOnDisplay(f);
    if (!text_.SpeechBuffer().empty()) text_.SpeakText("");
    const console::Key key = console_.ReadTypedKey();
    output_.StopSpeech();
    const platform::Modifiers held = console_.HeldModifiers();
    bool ended = false;
    const uint8_t code = key.code;
    const bool extended = key.extended;
    if (!extended) {
      if (code != plain::kCtrlC && code != plain::kCtrlV && code != plain::kFocusGained && code != plain::kFocusLost) {
        f.ClearSelection();
      }
      HandlePlain(f, code);
      ended = code == plain::kTab || code == plain::kCtrlEnter || code == plain::kEnter || code == plain::kEscape;
      if (ended) f.last = code;
    } else if (code == extended::kCtrlF9 && (held.alt || held.shift)) {
      // Ctrl+Alt+F9 opens the screen review; so does Ctrl+Shift+F9, for the
      // desktops that keep Ctrl+Alt+F9 for switching to a text console.
      if (screen_review_) screen_review_();
    } else {
      // Shift with a movement selects; the copy and paste keys keep the
      // selection they work on (paste selects what it inserted).
      const bool keeps_selection = code == extended::kShiftInsert || code == extended::kCtrlInsert;
      if (held.shift && !keeps_selection) {
        if (f.anchor == 0) f.anchor = f.cursor;
      } else if (!keeps_selection) {
        f.ClearSelection();
      }
      ended = HandleExtended(f, code, held.alt);
      if (held.shift && !keeps_selection && !ended) f.end = f.cursor;
    }
    f.first_key = false;
    if (ended) break;
  }

  console_.GotoXY(f.x, f.y);
  console_.Write(std::string_view(f.text).substr(0, static_cast<size_t>(f.width)));
  console_.GotoXY(f.x, f.y);
  const size_t last_char = f.text.find_last_not_of(' ');
  text = last_char == std::string::npos ? std::string() : f.text.substr(0, last_char + 1);
  return f.last;
}

void LineEditor::Redraw(Field& f) {
  if (f.cursor < f.origin) f.origin = f.cursor;
  if (f.origin + f.width < f.cursor) f.origin = f.cursor - f.width;
  console_.GotoXY(f.x, f.y);
  const int first = f.origin;
  const int last = std::min(f.origin + f.width - 1, f.length);
  const int select_from = f.end != 0 ? std::min(f.anchor, f.end) : 0;
  const int select_to = f.end != 0 ? std::max(f.anchor, f.end) : 0;  // exclusive
  const uint8_t attribute = console_.TextAttr();
  int position = first;
  while (position <= last) {
    const bool selected = position >= select_from && position < select_to;
    int run_end = position;
    while (run_end + 1 <= last && ((run_end + 1 >= select_from && run_end + 1 < select_to) == selected)) ++run_end;
    if (selected) console_.SetTextAttr(console::colour::Attribute(attribute & console::colour::kTextBits, console::colour::kDarkGrey));
    console_.Write(std::string_view(f.text).substr(static_cast<size_t>(position - 1),
                                                   static_cast<size_t>(run_end - position + 1)));
    if (selected) console_.SetTextAttr(attribute);
    position = run_end + 1;
  }
  console_.ClrEol();
  console_.GotoXY(f.x + f.cursor - f.origin, f.y);
}

// The display shows the field with what stands before it on its row (for an
// answer, the sum: "7+8=15"), the cursor where typing goes.
void LineEditor::ShowOnDisplay(Field& f) {
  std::string prefix;
  for (int column = 1; column < f.x && column <= console::Console::kColumns; ++column) {
    prefix += static_cast<char>(console_.ScreenChar(column, f.y));
  }
  prefix.erase(0, std::min(prefix.size(), prefix.find_first_not_of(' ')));
  const size_t last_char = f.text.find_last_not_of(' ');
  const size_t kept = std::max(last_char == std::string::npos ? 0 : last_char + 1, static_cast<size_t>(f.cursor - 1));
  f.shown_prefix = static_cast<int>(prefix.size());
  console_.Display().Show(prefix + f.text.substr(0, kept), f.shown_prefix + f.cursor - 1);
}

void LineEditor::MoveToRouted(Field& f) {
  const int routed = console_.Display().TakeRouting();
  if (routed < 0) return;
  f.cursor = std::clamp(routed - f.shown_prefix + 1, 1, std::min(f.length + 1, f.AfterLastWord()));
  if (f.cursor <= f.length && f.At(f.cursor) != ' ') {
    sounds_.SpeakChar(f.At(f.cursor));
  } else {
    sounds_.PlayClick();
  }
}

void LineEditor::HandlePlain(Field& field, uint8_t code) {
  using Action = void (*)(LineEditor&, Field&);
  static constexpr console::KeyBinding<Action> kKeys[] = {
      {plain::kCtrlC, [](LineEditor& e, Field& f) { e.Copy(f); }},
      {plain::kCtrlD, [](LineEditor& e, Field& f) { e.ClearToEnd(f); }},
      {plain::kBackspace, [](LineEditor& e, Field& f) { e.DeleteBeforeCursor(f); }},
      {plain::kCtrlK, [](LineEditor& e, Field& f) { e.text_.SpeakText(std::to_string(f.cursor)); }},
      {plain::kCtrlS, [](LineEditor& e, Field& f) { e.ClearToCursor(f); }},
      {plain::kCtrlU, [](LineEditor& e, Field& f) { e.RestoreEntry(f); }},
      {plain::kCtrlV, [](LineEditor& e, Field& f) { e.Paste(f); }},
      {plain::kCtrlY, [](LineEditor& e, Field& f) { e.ClearField(f); }},
      {plain::kCtrlBackslash, [](LineEditor& e, Field& f) { e.DialTones(f); }},
      {plain::kCtrlBackspace, [](LineEditor& e, Field& f) { e.DeleteWord(f); }},
      {plain::kFocusGained, [](LineEditor& e, Field& f) { e.SpeakField(f); }},
      // Keys that end editing (ReadLineEdit sees to it) or mean nothing here.
      {plain::kTab, nullptr},
      {plain::kCtrlEnter, nullptr},
      {plain::kEnter, nullptr},
      {plain::kEscape, nullptr},
      {plain::kFocusLost, nullptr},
  };
  if (const auto* key = console::FindBinding(kKeys, code)) {
    if (key->action != nullptr) key->action(*this, field);
    return;
  }
  Type(field, code);
}

// Each action returns whether the key ends editing (f.last then holds the result).
bool LineEditor::HandleExtended(Field& field, uint8_t code, bool alt_held) {
  using Action = bool (*)(LineEditor&, Field&, bool alt);
  static constexpr console::KeyBinding<Action> kKeys[] = {
      {extended::kF1, [](LineEditor& e, Field& f, bool alt) { return e.WordOrEnd(f, alt); }},
      {extended::kF4, [](LineEditor& e, Field&, bool) { return e.SwitchTypingEcho(); }},
      {extended::kF8, [](LineEditor& e, Field&, bool) { return e.sounds_.SpeakTime(), false; }},
      {extended::kF12, [](LineEditor& e, Field& f, bool) { return e.OpenWordAtCursor(f), false; }},
      {extended::kHome, [](LineEditor&, Field& f, bool) { return f.cursor = 1, false; }},
      {extended::kLeft, [](LineEditor& e, Field& f, bool) { return e.MoveLeft(f), false; }},
      {extended::kRight, [](LineEditor& e, Field& f, bool alt) { return e.MoveRight(f, alt), false; }},
      {extended::kEnd, [](LineEditor&, Field& f, bool) { return f.cursor = f.AfterLastWord(), false; }},
      {extended::kDelete, [](LineEditor& e, Field& f, bool) { return e.DeleteKey(f), false; }},
      {extended::kCtrlF1, [](LineEditor& e, Field& f, bool) { return e.text_.SpeakText(f.text), false; }},
      {extended::kCtrlF4, [](LineEditor& e, Field&, bool) { return e.ChangeSpeed(), false; }},
      {extended::kCtrlF8, [](LineEditor& e, Field&, bool) { return e.sounds_.SpeakDate(), false; }},
      {extended::kCtrlF9, [](LineEditor& e, Field& f, bool alt) { return e.ReviewOrEnd(f, alt); }},
      {extended::kCtrlLeft, [](LineEditor& e, Field& f, bool) { return e.PreviousWord(f), false; }},
      {extended::kCtrlRight, [](LineEditor& e, Field& f, bool) { return e.NextWord(f), false; }},
      {extended::kShiftInsert, [](LineEditor& e, Field& f, bool) { return e.Paste(f), false; }},
      {extended::kCtrlInsert, [](LineEditor& e, Field& f, bool) { return e.Copy(f), false; }},
      {extended::kBrailleRouting, [](LineEditor& e, Field& f, bool) { return e.MoveToRouted(f), false; }},
  };
  if (const auto* key = console::FindBinding(kKeys, code)) return key->action(*this, field, alt_held);
  if (code >= extended::kAlt1 && code <= extended::kAlt0) return false;  // Alt+digit
  field.last = code;
  return true;
}

// --- plain key actions --------------------------------------------------------

void LineEditor::ClearToEnd(Field& f) {
  if (!f.editable) return;
  std::fill(f.text.begin() + (f.cursor - 1), f.text.end(), ' ');
  sounds_.PlaySoundKey("_APFCPO");
}

void LineEditor::DeleteBeforeCursor(Field& f) {
  if (f.cursor == 1) {
    sounds_.PlayBeep();
    return;
  }
  --f.cursor;
  DeleteAtCursor(f, true);
}

void LineEditor::ClearToCursor(Field& f) {
  if (!f.editable) return;
  f.text = f.text.substr(static_cast<size_t>(f.cursor - 1));
  f.text.resize(static_cast<size_t>(f.length), ' ');
  f.cursor = 1;
  sounds_.PlaySoundKey("_APICPO");
}

void LineEditor::RestoreEntry(Field& f) {
  if (!f.editable) return;
  f.text = f.entry;
  f.cursor = 1;
  for (int i = 0; i < 3; ++i) sounds_.PlayBeep();
}

void LineEditor::ClearField(Field& f) {
  if (!f.editable) return;
  f.text.assign(static_cast<size_t>(f.length), ' ');
  sounds_.PlaySoundKey("_CPOAPA");
  f.cursor = 1;
}

void LineEditor::SpeakField(Field& f) {
  WaitWhileSpeaking();
  text_.SpeakText(f.text);
}

// --- extended key actions -----------------------------------------------------

bool LineEditor::WordOrEnd(Field& f, bool alt) {
  if (alt) {
    f.last = kEditAltF1;
    return true;
  }
  SpeakWordAtCursor(f);
  return false;
}

bool LineEditor::SwitchTypingEcho() {
  echo_typing = !echo_typing;
  sounds_.PlaySoundKey(echo_typing ? "_FALACI" : "_FALDLG");
  return false;
}

void LineEditor::MoveLeft(Field& f) {
  if (f.cursor == 1) {
    sounds_.PlayBeep();
    return;
  }
  --f.cursor;
  sounds_.SpeakChar(f.At(f.cursor));
}

void LineEditor::MoveRight(Field& f, bool alt) {
  if (f.cursor > f.length) {
    sounds_.PlayBeep();
    return;
  }
  const uint8_t c = f.At(f.cursor);
  if (alt && IsAsciiLetter(c)) {
    sounds_.PlaySoundKey("_FON" + std::to_string(c));
  } else {
    sounds_.SpeakChar(c);
  }
  ++f.cursor;
}

void LineEditor::DeleteKey(Field& f) {
  if (!f.editable) return;
  if (!f.HasSelection()) {
    DeleteAtCursor(f, true);
    return;
  }
  const int from = std::min(f.anchor, f.end);
  const int to = std::max(f.anchor, f.end);
  f.cursor = from;
  sounds_.PlaySoundKey("_DEL");
  for (int i = from; i < to; ++i) DeleteAtCursor(f, false);
  f.anchor = f.end = f.cursor;
}

bool LineEditor::ReviewOrEnd(Field& f, bool alt) {
  if (alt) {
    if (screen_review_) screen_review_();
    return false;
  }
  f.last = kEditCtrlF9;
  return true;
}

void LineEditor::Type(Field& f, uint8_t c) {
  if (f.first_key && first_key_clears &&
      f.text.find_first_not_of(' ', static_cast<size_t>(f.cursor - 1)) != std::string::npos) {
    sounds_.PlayClick();
    sounds_.PlayClick();
    if (c >= 32 && f.editable) f.text.assign(static_cast<size_t>(f.length), ' ');
  }
  if (c < 32 || !f.editable) return;
  if (f.cursor > f.length) {
    sounds_.PlayBeep();
    return;
  }
  f.text.insert(static_cast<size_t>(f.cursor - 1), 1, static_cast<char>(c));
  f.text.pop_back();
  console_.WriteChar(c);
  if (echo_typing) sounds_.SpeakChar(c);
  ++f.cursor;
}

void LineEditor::DeleteAtCursor(Field& f, bool announce) {
  if (!f.editable || f.cursor > f.length) return;
  const uint8_t removed = f.At(f.cursor);
  f.RemoveAt(f.cursor);
  Redraw(f);
  if (announce) sounds_.PlaySoundKey("_DEL");
  sounds_.SpeakChar(removed);
}

void LineEditor::SpeakWordAtCursor(Field& f) {
  int position = f.cursor;
  while (position <= f.length && f.At(position) == ' ') ++position;
  if (position > f.length) {
    sounds_.PlayBeep();
    return;
  }
  const uint8_t c = f.At(position);
  int end = position + 1;
  const size_t sum = lang::SumLength(std::string_view(f.text).substr(static_cast<size_t>(position - 1)));
  if (sum > 0) {
    // A written sum is one word: "12-5=" is read as doze menos cinco igual.
    end = position + static_cast<int>(sum);
    text_.SpeakText(f.text.substr(static_cast<size_t>(position - 1), sum));
  } else if (IsDigit(c) || c == '-') {
    while (end <= f.length && IsDigit(f.At(end))) ++end;
    text_.SpeakText(f.text.substr(static_cast<size_t>(position - 1), static_cast<size_t>(end - position)));
  } else if (IsLetter(c)) {
    while (end <= f.length && IsLetter(f.At(end))) ++end;
    const std::string run = f.text.substr(static_cast<size_t>(position - 1), static_cast<size_t>(end - position));
    if (lang::IsConsonantRun(run, lang::Consonants::kPlain)) {
      sounds_.SpellText(run);
    } else {
      text_.SpeakText(run);
    }
  } else {
    sounds_.SpellText(std::string(1, static_cast<char>(c)));
  }
  f.cursor = end;
}

bool LineEditor::MoveNextWord(Field& f) const {
  int position = f.cursor;
  if (position <= f.length && f.At(position) != ' ') {
    if (IsDigit(f.At(position))) {
      while (position <= f.length && IsDigit(f.At(position))) ++position;
    } else {
      ++position;
      while (position <= f.length && IsLetter(f.At(position))) ++position;
    }
  }
  while (position <= f.length && f.At(position) == ' ') ++position;
  const int after_last = f.AfterLastWord();
  if (position >= after_last) {
    f.cursor = after_last;
    return true;
  }
  f.cursor = position;
  return false;
}

bool LineEditor::MovePreviousWord(Field& f) const {
  int position = std::min(f.cursor, f.length + 1);
  while (position > 1 && f.At(position - 1) == ' ') --position;
  if (position <= 1) {
    f.cursor = 1;
    return true;
  }
  int start = position - 1;  // the character reached
  if (IsDigit(f.At(start))) {
    while (start > 1 && IsDigit(f.At(start - 1))) --start;
  } else {
    while (start > 1 && IsLetter(f.At(start - 1))) --start;
  }
  f.cursor = start;
  return false;
}

void LineEditor::NextWord(Field& f) {
  if (MoveNextWord(f)) {
    sounds_.PlayBeep();
  } else {
    sounds_.PlayClick();
  }
}

void LineEditor::PreviousWord(Field& f) {
  if (MovePreviousWord(f)) {
    sounds_.PlayBeep();
  } else {
    sounds_.PlayClick();
  }
}

void LineEditor::DeleteWord(Field& f) {
  if (!f.editable) return;
  if (f.cursor > 1 && f.cursor <= f.length + 1 && f.At(f.cursor - 1) != ' ') MovePreviousWord(f);
  const int start = f.cursor;
  MoveNextWord(f);
  const int end = f.cursor;
  f.cursor = start;
  for (int i = 0; i < end - start; ++i) DeleteAtCursor(f, i == 0);
}

void LineEditor::Copy(const Field& f) {
  // Both ends set on one position select nothing: the clipboard keeps what it
  // held, and the beep says that nothing was copied.
  if (f.HasEmptySelection()) {
    sounds_.PlayBeep();
    return;
  }
  std::string text;
  if (f.HasSelection()) {
    const int from = std::min(f.anchor, f.end);
    const int to = std::max(f.anchor, f.end);
    text = f.text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from));
  } else {
    text = f.text.substr(0, static_cast<size_t>(f.AfterLastWord() - 1)) + "\r\n";
  }
  platform::CopyCp1252ToClipboard(clipboard_, text);
}

void LineEditor::Paste(Field& f) {
  if (!f.editable) return;
  std::vector<char> buffer(static_cast<size_t>(f.length) + 1, '\0');
  platform::PasteCp1252FromClipboard(clipboard_, buffer.data(), buffer.size());
  std::string pasted(buffer.data());
  const size_t line_end = pasted.find_first_of("\r\n");
  if (line_end != std::string::npos) pasted.resize(line_end);
  if (f.first_key && first_key_clears) {
    sounds_.PlayClick();
    sounds_.PlayClick();
    f.text.assign(static_cast<size_t>(f.length), ' ');
  }
  if (f.HasSelection()) {
    f.cursor = std::min(f.anchor, f.end);
  } else {
    f.anchor = f.end = f.cursor;
  }
  const int from = std::min(f.anchor, f.end);
  const int to = std::max(f.anchor, f.end);
  std::string text = f.text.substr(0, static_cast<size_t>(from - 1)) + pasted +
                     f.text.substr(static_cast<size_t>(std::min(to - 1, f.length)));
  text.resize(static_cast<size_t>(f.length), ' ');
  f.text = text;
  f.anchor = from;
  f.end = std::min(from + static_cast<int>(pasted.size()), f.length + 1);
  f.cursor = from;
}

void LineEditor::DialTones(const Field& f) {
  const bool fast = sound_.SpeedUp();
  sound_.SetSpeedUp(false);
  for (uint8_t c : lang::UpperCase(f.text)) {
    // Tones are heard one by one; a key ends the dialling, not only the tone.
    if (console_.KeyPressed()) break;
    if (IsDigit(c) || c == '#' || c == '*') {
      const char name = c == '*' ? 'X' : static_cast<char>(c);
      sound_.PlayFile(speech::FindFileIgnoringCase(sounds_.LettersDirectory() + "dtmf_" + name + ".wav"));
      WaitWhileSpeaking();
      console_.Delay(100);
    } else if (c == ',') {
      console_.Delay(1000);
    }
  }
  sound_.SetSpeedUp(fast);
}

void LineEditor::ChangeSpeed() {
  sounds_.PlaySoundKey("_VELOC");
  uint8_t code = 0;
  do {
    code = keys_.ReadCharSpeak();
  } while (console_.KeyPressed());
  if (code == plain::kEscape || code == plain::kEnter) return;
  const std::string directory = sounds_.ProgramSoundDirectory();
  speech_.FinishSpeech();
  speech_.SpeechStart(code - '0', directory);
}

void LineEditor::OpenWordAtCursor(const Field& f) {
  const std::string word = WordToOpen(f.text, f.cursor);
  if (word.empty()) {
    sounds_.PlayBeep();
    return;
  }
  OpenLinkOrFile(word);
}

void LineEditor::OpenLinkOrFile(const std::string& word) {
  std::string program;
  std::vector<std::string> arguments;
  const std::string current = std::filesystem::current_path().string();
  if (StartsWithIgnoringCase(word, "http://") || StartsWithIgnoringCase(word, "https://") ||
      StartsWithIgnoringCase(word, "www.")) {
    program = speech_.Ini().ReadIniString("FALDEK", "PROG.HTM");
    arguments.push_back(platform::Cp1252ToUtf8(word));
  } else {
    const size_t dot = word.find('.');
    const std::string extension = dot == std::string::npos ? "" : lang::UpperCase(word.substr(dot + 1, 3));
    if (extension != "EXE" && extension != "COM") {
      program = speech_.Ini().ReadIniString("FALDEK", "PROG." + extension);
      arguments.push_back(platform::Cp1252ToUtf8(word));
    } else {
      // A program named in the field: a drive letter or a leading backslash
      // makes it absolute; otherwise it lies in the current directory. Only
      // the typed name is converted: the directory is already this system's.
      const std::string local = speech::LocalPath(word);
      program = local.starts_with('/') ? local : speech::WithTrailingSlash(current) + local;
    }
  }
  // With no program configured the desktop opens the word by its kind.
  if (program.empty()) program = "xdg-open";
  else if (!arguments.empty()) program = speech::LocalPath(program);
  WaitWhileSpeaking();
  const bool started = shell_.Launch(program, arguments, current);
  WaitWhileSpeaking();
  if (!started) sounds_.PlayBeep();
}

void LineEditor::WaitWhileSpeaking() { output_.WaitWhileSpeaking(); }

}  // namespace placarim::editor
