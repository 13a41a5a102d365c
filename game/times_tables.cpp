#include "game/times_tables.h"

#include <algorithm>
#include <string>

#include "console/colours.h"
#include "console/display_line.h"
#include "console/keys.h"
#include "game/message_keys.h"
#include "game/random.h"
#include "game/screen.h"

namespace placarim::game {
namespace {

// The times tables read plain and extended keys alike (ReadKeyCode keeps only
// a typed key's code), so both sets are named here.
using console::extended::kDown;
using console::extended::kHome;
using console::extended::kLeft;
using console::extended::kRight;
using console::extended::kUp;
using console::plain::kEnter;
using console::plain::kEscape;
using console::plain::kSpace;
using console::plain::kTab;

using console::colour::kLightGrey;
using console::colour::kYellow;

// The check table's rows, drawn from column 30, row 6.
constexpr int kCheckColumn = 30;
constexpr int kCheckTopRow = 6;
constexpr int kCheckLastRow = 10;

// The training field's grid: header row 6, rule row 7, products from row 8;
// row labels at column 16, cell (i, j) in columns 19 + 4j to 22 + 4j.
constexpr int kFieldColumn = 16;
constexpr int kFieldHeaderRow = 6;
constexpr int kFieldTopRow = 8;

int CellColumn(int column) { return kFieldColumn + 3 + 4 * column; }

std::string Digit(int d) { return std::string(1, static_cast<char>('0' + d)); }

}  // namespace

TimesTables::TimesTables(console::Console& console, SpeechPort& speech, Narrator& narrator)
    : console_(console), speech_(speech), narrator_(narrator) {}

int TimesTables::ReadKeyCode() { return console_.ReadTypedKey().code; }

// --- check table ------------------------------------------------------------

void TimesTables::DrawCheckRow(int64_t a, char op, int row) {
  if (row < 0 || row > kCheckLastRow) return;
  console_.GotoXY(kCheckColumn, kCheckTopRow + row);
  Write(console_, RightAligned(a, 2) + " " + op + " " + RightAligned(row, 2) + " = " +
                      RightAligned(CellValue(a, op, row), 2));
}

void TimesTables::SayCheckRow(int64_t a, char op, int row) {
  if (row < 0 || row > kCheckLastRow) return;
  speech_.SpeakText(std::to_string(a));
  speech_.PlaySoundKey(OperatorKey(op));
  speech_.SpeakText(std::to_string(row));
  speech_.PlaySoundKey(kEquals);
  speech_.SpeakText(std::to_string(CellValue(a, op, row)));
}

void TimesTables::TimesTableCheck(int64_t a, char op) {
  ClearPlayArea(console_);
  narrator_.SayMessage(kCheckTableOpens, 1);
  for (int row = 0; row <= kCheckLastRow; ++row) DrawCheckRow(a, op, row);
  console_.GotoXY(kCheckColumn, kCheckTopRow);
  int selected = -1;
  int key = 0;
  do {
    key = ReadKeyCode();
    console_.TextColor(kLightGrey);
    DrawCheckRow(a, op, selected);
    if (key == kUp) {
      --selected;
    } else if (key == kDown) {
      ++selected;
    } else if (key != kEnter && key != kEscape) {
      speech_.PlayBeep();
    }
    if (selected < 0) {
      speech_.PlayBeep();
      selected = -1;
    }
    if (selected > kCheckLastRow) {
      speech_.PlayBeep();
      selected = kCheckLastRow + 1;
    }
    console_.TextColor(kYellow);
    DrawCheckRow(a, op, selected);
    if (selected >= 0 && selected <= kCheckLastRow) {
      console_.Display().Show(std::to_string(a) + op + std::to_string(selected) + "=" +
                              std::to_string(CellValue(a, op, selected)));
    }
    SayCheckRow(a, op, selected);
    console_.TextColor(kLightGrey);
  } while (key != kEscape && key != kEnter);
  ClearPlayArea(console_);
}

// --- training field -----------------------------------------------------------

void TimesTables::TimesTableField() {
  ClearPlayArea(console_);
  IntroduceField();
  DrawField();
  row_ = -1;
  column_ = -1;
  mode_ = ReadingMode::Position;
  for (;;) {
    const int key = ReadKeyCode();
    if (key == kEscape) break;
    ActOnFieldKey(key);
    row_ = std::max(row_, 0);
    column_ = std::max(column_, 0);
    console_.Display().Show(Digit(row_) + "x" + Digit(column_) + "=" + std::to_string(row_ * column_));
    HighlightCell(kYellow);
    WaitForKey(console_);
    HighlightCell(kLightGrey);
  }
  ClearPlayArea(console_);
}

void TimesTables::IntroduceField() {
  speech_.PlaySoundKey(kShortFanfare);
  console_.GotoXY(1, 3);
  narrator_.SayMessage(kFieldOpens, 2);
  speech_.PlaySoundKey(kFieldMusic);
  console_.GotoXY(1, 20);
  narrator_.SayMessage(kFieldArrows, 1);
  narrator_.SayMessage(kFieldEnter, 1);
  WriteLn(console_, Cp1252("Professor: Aperte ESPAÇO para ler só a conta"));
  WriteLn(console_, Cp1252("           TAB para escolher entre ler posição ou ler resultado"));
  Write(console_, Cp1252("           HOME: volta ao início da linha"));
}

void TimesTables::DrawField() {
  console_.GotoXY(kFieldColumn, kFieldHeaderRow);
  WriteLn(console_, "*     0   1   2   3   4   5   6   7   8   9");
  console_.GotoXY(kFieldColumn, kFieldHeaderRow + 1);
  WriteLn(console_, "   " + std::string(40, '-'));
  for (int i = 0; i <= 9; ++i) {
    console_.GotoXY(kFieldColumn, kFieldTopRow + i);
    std::string line = Digit(i) + " |";
    for (int j = 0; j <= 9; ++j) line += RightAligned(i * j, 4);
    Write(console_, line);
  }
  console_.GotoXY(kFieldColumn, kFieldHeaderRow);
}

void TimesTables::ActOnFieldKey(int key) {
  using Action = void (*)(TimesTables&);
  static constexpr console::KeyBinding<Action> kKeys[] = {
      {kTab, [](TimesTables& t) { t.SwitchReadingMode(); }},
      {kEnter, [](TimesTables& t) { t.SayCellWithResult(); }},
      {kSpace, [](TimesTables& t) { t.SayCellSumAndBeep(); }},
      {kHome, [](TimesTables& t) { t.MoveTo(std::max(t.row_, 0), 0); }},
      {kUp, [](TimesTables& t) { t.MoveTo(std::max(t.row_ - 1, 0), std::max(t.column_, 0)); }},
      {kDown, [](TimesTables& t) { t.MoveTo(std::min(t.row_ + 1, 9), std::max(t.column_, 0)); }},
      {kLeft, [](TimesTables& t) { t.MoveTo(std::max(t.row_, 0), std::max(t.column_ - 1, 0)); }},
      {kRight, [](TimesTables& t) { t.MoveTo(std::max(t.row_, 0), std::min(t.column_ + 1, 9)); }},
  };
  if (const auto* binding = console::FindBinding(kKeys, key)) binding->action(*this);
}

void TimesTables::SwitchReadingMode() {
  mode_ = mode_ == ReadingMode::Position ? ReadingMode::Result : ReadingMode::Position;
  speech_.PlayBeep();
  if (mode_ == ReadingMode::Position) speech_.PlayBeep();
}

void TimesTables::SayCellWithResult() {
  if (column_ < 0) return;
  SayCellSum();
  speech_.PlaySoundKey(kEquals);
  speech_.SpeakText(std::to_string(row_ * column_));
}

void TimesTables::SayCellSumAndBeep() {
  if (column_ < 0) return;
  SayCellSum();
  speech_.PlayBeep();
}

void TimesTables::MoveTo(int row, int column) {
  row_ = row;
  column_ = column;
  SayCell();
}

void TimesTables::SayCellSum() {
  speech_.PlaySoundKey(Digit(row_));
  speech_.PlaySoundKey(kTimes);
  speech_.PlaySoundKey(Digit(column_));
}

void TimesTables::SayCell() {
  if (mode_ == ReadingMode::Position) {
    speech_.SpeakText(std::to_string(row_));
    speech_.SpellText(std::to_string(column_));
  } else {
    speech_.SpeakText(std::to_string(row_ * column_));
  }
}

void TimesTables::HighlightCell(int color) {
  console_.TextColor(color);
  console_.GotoXY(CellColumn(column_), kFieldTopRow + row_);
  Write(console_, RightAligned(row_ * column_, 4));
  console_.GotoXY(CellColumn(column_) + 3, kFieldHeaderRow);
  Write(console_, Digit(column_));
  console_.GotoXY(kFieldColumn, kFieldTopRow + row_);
  Write(console_, Digit(row_));
  console_.TextColor(kLightGrey);
}

}  // namespace placarim::game
