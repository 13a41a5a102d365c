#include "editor/screen_review.h"

#include "console/display_line.h"

#include <algorithm>
#include <string_view>

#include "console/keys.h"
#include "lang/cp1252.h"
#include "lang/sums.h"
#include "platform/clipboard_text.h"

namespace placarim::editor {

namespace {

constexpr int kColumns = console::Console::kColumns;
constexpr int kRows = console::Console::kRows;
constexpr int kPastEnd = kColumns + 1;

// A row is never longer than this, so a longer search text could never match.
constexpr size_t kMaxSearchText = kColumns;

// The keys the review answers.
using namespace console::extended;
namespace plain = console::plain;

bool IsBlank(uint8_t c) { return c == ' ' || c == 0; }

// Letters (with the accented letters of current Portuguese) and digits.
bool IsWordChar(uint8_t c) {
  const char ch = static_cast<char>(c);
  return lang::IsPortugueseLetter(ch, lang::Accents::kCurrent) || lang::IsDigit(ch);
}

// Runs of consonants ("CPF", "RJ") are abbreviations: spelled, not pronounced.
bool AllConsonants(std::string_view word) { return lang::IsConsonantRun(word, lang::Consonants::kPlainAndW); }

// Marks that end a field even inside one colour: punctuation of forms and the
// box-drawing characters of the console's code page.
bool IsFieldDelimiter(uint8_t c) { return c == '!' || c == ':' || c == '?' || c == '|' || (c >= 176 && c <= 223); }

uint8_t Upper(int c) { return lang::Byte(lang::UpperCase(static_cast<char>(c))); }

}  // namespace

ScreenReview::ScreenReview(console::Console& console, speech::OutputControl& output, speech::RecordedSounds& sounds,
                           speech::TextSpeaker& text, platform::Clipboard& clipboard)
    : console_(console), output_(output), sounds_(sounds), text_(text), clipboard_(clipboard) {}

void ScreenReview::ConsoleScreenReview() {
  sounds_.PlayBeep();
  const int home_x = console_.WhereX();
  const int home_y = console_.WhereY();
  row_ = home_y;
  column_ = home_x;
  for (;;) {
    console_.GotoXY(column_, row_);
    ShowOnDisplay();
    const Key key = ReadCommandKey();
    if (key.extended) {
      RunExtended(key.code);
    } else if (key.code == plain::kEscape) {
      break;
    } else {
      RunPlain(key.code);
    }
    Clamp();
  }
  sounds_.PlayBeep();
  sounds_.PlayBeep();
  console_.GotoXY(home_x, home_y);
}

// --- keys --------------------------------------------------------------------

ScreenReview::Key ScreenReview::ReadCommandKey() {
  const Key key = console_.ReadTypedKey();
  output_.StopSpeech();  // every key silences what is being read
  return key;
}

void ScreenReview::RunPlain(uint8_t key) {
  switch (key) {
    case ' ':
      ReadLine();
      return;
    case plain::kEnter:
      ++row_;
      column_ = 1;
      sounds_.PlayClick();
      return;
    case plain::kBackspace:
      MoveLeft();
      return;
    case plain::kTab:
      NextField();
      return;
    case plain::kCtrlK:
    case plain::kCtrlL:
      text_.SpeakText(std::to_string(row_) + " " + std::to_string(column_));
      return;
    case plain::kCtrlC:
      CopyScreen();
      return;
    default:
      if (lang::IsPortugueseLetter(static_cast<char>(key), lang::Accents::kCurrent)) {
        RunTwoLetterCommand(key);
      } else {
        Refuse();
      }
  }
}

void ScreenReview::RunExtended(uint8_t code) {
  using Action = void (*)(ScreenReview&);
  static constexpr console::KeyBinding<Action> kKeys[] = {
      {kLeft, [](ScreenReview& r) { r.MoveLeft(); }},
      {kRight, [](ScreenReview& r) { r.MoveRight(); }},
      {kHome, [](ScreenReview& r) { r.column_ = 1; }},
      {kEnd, [](ScreenReview& r) { r.column_ = r.EndOfText(r.row_); }},
      {kUp, [](ScreenReview& r) { r.MoveUp(); }},
      {kDown, [](ScreenReview& r) { r.MoveDown(); }},
      {kPageUp, [](ScreenReview& r) { r.ReadFromRow(1); }},
      {kPageDown, [](ScreenReview& r) { r.ReadFromRow(kRows); }},
      {kCtrlPageUp, [](ScreenReview& r) { r.GoToLetter(false); }},
      {kCtrlPageDown, [](ScreenReview& r) { r.GoToLetter(true); }},
      {kCtrlLeft, [](ScreenReview& r) { r.PreviousWord(); }},
      {kCtrlRight, [](ScreenReview& r) { r.NextWord(); }},
      {kF1, [](ScreenReview& r) { r.ReadWordCommand(); }},
      {kCtrlF1, [](ScreenReview& r) { r.ReadFieldAtCursor(); }},
      {kF5, [](ScreenReview& r) { r.AskSearchText(); }},
      {kCtrlF5, [](ScreenReview& r) { r.Search(); }},
      {kF6, [](ScreenReview& r) { r.AskRowAndColumn(); }},
      {console::extended::kBrailleRouting, [](ScreenReview& r) { r.MoveToRouted(); }},
  };
  if (const auto* key = console::FindBinding(kKeys, code)) return key->action(*this);
  Refuse();
}

// The braille display shows the row under review, the cursor on the column.
void ScreenReview::ShowOnDisplay() {
  std::string row;
  for (int column = 1; column <= kColumns; ++column) row += static_cast<char>(console_.ScreenChar(column, row_));
  const size_t last_char = row.find_last_not_of(' ');
  row.resize(std::max(last_char == std::string::npos ? 0 : last_char + 1, static_cast<size_t>(column_ - 1)));
  console_.Display().Show(row, column_ - 1);
}

void ScreenReview::MoveToRouted() {
  const int routed = console_.Display().TakeRouting();
  if (routed < 0) return;
  column_ = std::clamp(routed + 1, 1, kColumns);
  sounds_.SpeakChar(console_.ScreenChar(column_, row_));
}

void ScreenReview::ReadFromRow(int row) {
  row_ = row;
  column_ = 1;
  ReadLine();
}

void ScreenReview::ReadFieldAtCursor() {
  const Field field = FieldAt(row_, column_);
  ReadRange({row_, field.first, row_, field.last, true});
}

// The first letter names the part (I up to the cursor, T all, F from the
// cursor; L counts as T), the second the range (T screen, L line, C field).
void ScreenReview::RunTwoLetterCommand(uint8_t first_key) {
  uint8_t part = Upper(first_key);
  const Key second = ReadCommandKey();
  const uint8_t range = second.extended ? 0 : Upper(second.code);
  if (part == 'L') part = 'T';
  const bool part_ok = part == 'I' || part == 'T' || part == 'F';
  const bool range_ok = range == 'T' || range == 'L' || range == 'C';
  if (!part_ok || !range_ok) {
    Refuse();
    return;
  }
  switch (range) {
    case 'T':
      if (part == 'I') ReadRange({1, 1, row_, column_ - 1, false});
      else if (part == 'T') ReadRange({1, 1, kRows, kColumns, false});
      else ReadRange({row_, column_, kRows, kColumns, false});
      return;
    case 'L':
      ReadRange(LineRange(static_cast<char>(part)));
      return;
    default: {
      const Field field = FieldAt(row_, column_);
      if (part == 'I') ReadRange({row_, field.first, row_, column_, true});
      else if (part == 'T') ReadRange({row_, field.first, row_, field.last, true});
      else ReadRange({row_, column_, row_, field.last, true});
    }
  }
}

ScreenReview::Range ScreenReview::LineRange(char part) const {
  if (part == 'I') return {row_, 1, row_, column_ - 1, true};
  if (part == 'F') return {row_, column_, row_, kColumns, true};
  return {row_, 1, row_, kColumns, true};
}

void ScreenReview::Clamp() {
  auto correct = [&](int& value, int low, int high, int high_becomes) {
    if (value >= low && value <= high) return;
    value = value < low ? low : high_becomes;
    sounds_.PlayBeep();
    DiscardKeys();
  };
  correct(column_, 1, kPastEnd, kColumns);
  correct(row_, 1, kRows, kRows);
}

void ScreenReview::Refuse() {
  sounds_.PlayBeep();
  sounds_.PlayClick();
  sounds_.PlayBeep();
}

void ScreenReview::DiscardKeys() {
  while (console_.KeyPressed()) console_.ReadKey();
}

// --- the screen ----------------------------------------------------------------

uint8_t ScreenReview::At(int row, int column) const {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return ' ';
  return console_.ScreenChar(column, row);
}

uint8_t ScreenReview::AttrAt(int row, int column) const {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return 0;
  return console_.ScreenAttr(column, row);
}

int ScreenReview::EndOfText(int row) const {
  for (int column = kColumns; column >= 1; --column) {
    if (!IsBlank(At(row, column))) return column + 1;
  }
  return 1;
}

// The run of cells around the cursor with the cursor cell's colours and no
// delimiter. On a delimiter, or past the last column, the field is empty.
ScreenReview::Field ScreenReview::FieldAt(int row, int column) const {
  if (column < 1 || column > kColumns || IsFieldDelimiter(At(row, column))) return {column + 1, column - 1};
  const uint8_t attribute = AttrAt(row, column);
  auto inside = [&](int c) { return AttrAt(row, c) == attribute && !IsFieldDelimiter(At(row, c)); };
  Field field{column, column};
  while (field.first > 1 && inside(field.first - 1)) --field.first;
  while (field.last < kColumns && inside(field.last + 1)) ++field.last;
  return field;
}

// --- moves -------------------------------------------------------------------

void ScreenReview::MoveLeft() {
  if (column_ > 1) sounds_.SpeakChar(At(row_, column_ - 1));
  else sounds_.PlayBeep();
  --column_;
}

void ScreenReview::MoveRight() {
  if (column_ <= kPastEnd) sounds_.SpeakChar(At(row_, column_));
  else sounds_.PlayBeep();
  ++column_;
}

void ScreenReview::MoveUp() {
  --row_;
  column_ = 1;
  if (row_ < 1) {
    sounds_.PlayBeep();
    row_ = 1;
  } else {
    ReadLine();
  }
}

void ScreenReview::MoveDown() {
  ++row_;
  column_ = 1;
  sounds_.PlayClick();
  if (row_ > kRows) {
    sounds_.PlayBeep();
    row_ = kRows;
  } else {
    ReadLine();
  }
}

void ScreenReview::PreviousWord() {
  int column = column_ - 1;
  while (column >= 1 && IsBlank(At(row_, column))) --column;
  if (column < 1) {
    sounds_.PlayBeep();
    column_ = 1;
    return;
  }
  while (column >= 1 && !IsBlank(At(row_, column))) --column;
  column_ = column + 1;
  if (column < 1) sounds_.PlayBeep();  // the word starts the row
  else sounds_.PlayClick();
}

void ScreenReview::NextWord() {
  int column = column_;
  while (column <= kColumns && !IsBlank(At(row_, column))) ++column;
  while (column <= kColumns && IsBlank(At(row_, column))) ++column;
  if (column <= kColumns) {
    column_ = column;
    sounds_.PlayClick();
  } else {
    sounds_.PlayBeep();
    column_ = EndOfText(row_);
  }
}

void ScreenReview::NextField() {
  const int next = FieldAt(row_, column_).last + 2;
  if (next <= kColumns) {
    column_ = next;
    sounds_.PlayClick();
  } else {
    column_ = EndOfText(row_);
  }
}

void ScreenReview::GoToLetter(bool last) {
  for (int i = 0; i < kRows * kColumns; ++i) {
    const int index = last ? kRows * kColumns - 1 - i : i;
    const int row = index / kColumns + 1;
    const int column = index % kColumns + 1;
    if (lang::IsAsciiLetter(static_cast<char>(At(row, column)))) {
      row_ = row;
      column_ = column;
      break;
    }
  }
  ReadLine();
}

// --- reading -------------------------------------------------------------------

void ScreenReview::ReadWordCommand() {
  // An external synthesizer speaks on its own: with a key already waiting the
  // word would only be cut off, so the cursor moves on silently.
  if (!(output_.SynthActive() && console_.KeyPressed())) ReadWordAtCursor(kColumns);
  if (column_ >= kColumns) {
    sounds_.PlayClick();
    column_ = EndOfText(row_);
  }
}

// Reads from (first_row, first_column) to (last_row, last_column), row by row,
// a click marking each row's end; a waiting key stops it. The cursor ends
// where the reading stopped (at the end of that row's text when the range
// reaches the last column) unless the range keeps it.
void ScreenReview::ReadRange(const Range& range) {
  if (range.first_row == range.last_row && range.last_column < range.first_column) {
    sounds_.PlayBeep();
    return;
  }
  const int saved_row = row_, saved_column = column_;
  row_ = range.first_row;
  column_ = range.first_column;
  for (;;) {
    const int last_column = row_ == range.last_row ? range.last_column : kColumns;
    if (output_.SynthActive()) SpeakRowUpTo(last_column);
    else ReadWordsUpTo(last_column);
    if (console_.KeyPressed()) break;
    sounds_.PlayClick();
    if (row_ >= range.last_row) break;
    ++row_;
    column_ = 1;
  }
  output_.IsSpeaking();  // a waiting key stops the speech here and stays for the loop
  if (range.last_column >= kColumns) column_ = EndOfText(row_);
  if (range.keeps_cursor) {
    row_ = saved_row;
    column_ = saved_column;
  }
}

void ScreenReview::ReadWordsUpTo(int last_column) {
  while (column_ <= last_column && !console_.KeyPressed()) {
    ReadWordAtCursor(last_column);
    while (column_ <= last_column && IsBlank(At(row_, column_))) ++column_;
  }
}

std::string ScreenReview::RowText(int row, int first_column, int last_column) const {
  std::string text;
  for (int column = first_column; column <= last_column; ++column) {
    const uint8_t c = At(row, column);
    text += static_cast<char>(c == 0 ? ' ' : c);
  }
  return text;
}

// An external synthesizer reads a whole row at once, with its own prosody.
void ScreenReview::SpeakRowUpTo(int last_column) {
  const std::string text = RowText(row_, column_, last_column);
  column_ = std::max(column_, last_column + 1);
  const size_t end = text.find_last_not_of(' ');
  if (end != std::string::npos) text_.SpeakText(std::string_view(text).substr(0, end + 1));
}

// Reads the word at the cursor (up to `last_column`) and leaves the cursor
// after it. A lone symbol swallows its repetitions, said at most three times,
// so a row of dashes is heard as three dashes and skipped whole.
void ScreenReview::ReadWordAtCursor(int last_column) {
  if (last_column > kColumns) last_column = kColumns;
  while (column_ <= last_column && IsBlank(At(row_, column_))) ++column_;
  if (column_ > last_column) return;
  auto take = [&](std::string& word) {
    word += static_cast<char>(At(row_, column_));
    console_.GotoXY(column_, row_);
    ++column_;
  };
  std::string word;
  // A written sum is one word, so that every voice hears it as a sum.
  const size_t sum = lang::SumLength(RowText(row_, column_, last_column));
  if (sum > 0) {
    while (word.size() < sum) take(word);
    text_.SpeakText(word);
    return;
  }
  take(word);
  while (column_ <= last_column && IsWordChar(At(row_, column_))) take(word);
  if (word.size() == 1) {
    const char first = word[0];
    while (column_ <= last_column && static_cast<char>(At(row_, column_)) == first) {
      if (word.size() < 3) word += first;
      ++column_;
    }
    text_.SpeakText(word);
  } else if (AllConsonants(word)) {
    sounds_.SpellText(word);
  } else {
    text_.SpeakText(word);
  }
}

// --- prompts, search and copy ---------------------------------------------------------

void ScreenReview::AskSearchText() {
  text_.SpeakText("Qual texto");
  std::string typed;
  for (;;) {
    const Key pressed = ReadCommandKey();
    if (pressed.extended) continue;  // extended keys type nothing
    const uint8_t key = pressed.code;
    if (key == plain::kEnter) break;
    if (key == plain::kEscape) return;  // abandoned: the last search text stays
    if (key == plain::kBackspace) {
      if (typed.empty()) continue;
      const uint8_t removed = static_cast<uint8_t>(typed.back());
      typed.pop_back();
      sounds_.PlaySoundKey("_DEL");
      sounds_.SpeakChar(removed);
      continue;
    }
    if (typed.size() >= kMaxSearchText) {
      sounds_.PlayBeep();
      continue;
    }
    typed += static_cast<char>(key);
    sounds_.SpeakChar(key);
  }
  search_text_ = std::move(typed);
  Search();
}

// Looks from the cursor down for the search text, exactly as typed; on the
// cursor's row only matches that start after the cursor count.
void ScreenReview::Search() {
  if (!search_text_.empty()) {
    for (int row = row_; row <= kRows; ++row) {
      std::string line;
      for (int column = 1; column <= kColumns; ++column) line += static_cast<char>(At(row, column));
      const size_t from = row == row_ ? static_cast<size_t>(column_) : 0;
      if (from >= line.size()) continue;
      const size_t found = line.find(search_text_, from);
      if (found != std::string::npos) {
        row_ = row;
        column_ = static_cast<int>(found) + 1;
        sounds_.PlayClick();
        return;
      }
    }
  }
  sounds_.PlayBeep();
  sounds_.PlayBeep();
}

// Four digits: two for the row, two for the column (0507 is row 5, column 7).
// Values off the screen are corrected by the main loop's clamp.
void ScreenReview::AskRowAndColumn() {
  text_.SpeakText("Entre linha e coluna");
  int digits[4] = {};
  for (int& digit : digits) {
    const Key pressed = ReadCommandKey();
    const uint8_t key = pressed.code;
    if (pressed.extended || key < '0' || key > '9') {
      sounds_.PlayBeep();
      sounds_.PlayBeep();
      return;
    }
    digit = key - '0';
    sounds_.SpeakChar(key);
  }
  row_ = digits[0] * 10 + digits[1];
  column_ = digits[2] * 10 + digits[3];
}

// 25 lines of 80 characters, each ending in CR LF.
void ScreenReview::CopyScreen() {
  std::string text;
  text.reserve(kRows * (kColumns + 2));
  for (int row = 1; row <= kRows; ++row) {
    for (int column = 1; column <= kColumns; ++column) {
      const uint8_t c = At(row, column);
      text += static_cast<char>(c == 0 ? ' ' : c);  // a zero would end the copied text
    }
    text += "\r\n";
  }
  platform::CopyCp1252ToClipboard(clipboard_, text);
}

}  // namespace placarim::editor
