#include "game/child_choice.h"

#include "console/keys.h"
#include "game/class_list.h"
#include "lang/cp1252.h"
#include "game/message_keys.h"
#include "game/screen.h"

namespace placarim::game {
namespace {

using console::extended::kDown;
using console::extended::kEnd;
using console::extended::kHome;
using console::extended::kLeft;
using console::extended::kRight;
using console::extended::kUp;
using console::plain::kEnter;
using console::plain::kEscape;
using console::plain::kFocusGained;
using console::plain::kFocusLost;

}  // namespace

std::string ChildChoice::Choose(const std::vector<std::string>& names) {
  const int last = static_cast<int>(names.size()) - 1;
  while (console_.KeyPressed()) console_.ReadKey();
  narrator_.SayMessage(kWhoPlays, 1);
  narrator_.SayMessage(kWhoPlaysKeys, 2);
  name_row_ = console_.WhereY();
  int current = -1;  // no name yet: ENTER alone must not choose for the child
  for (;;) {
    int key = console_.ReadKey();
    const bool extended = key == 0;
    if (extended) key = console_.ReadKey();
    if (!extended && (key == kFocusGained || key == kFocusLost)) continue;
    int next = current;
    if (!extended && key == kEscape) {
      console_.GotoXY(1, name_row_ + 1);
      narrator_.SayMessage(kNoNameChosen, 2);
      return {};
    }
    if (!extended && key == kEnter) {
      if (current >= 0) {
        console_.GotoXY(1, name_row_ + 1);
        narrator_.SayMessage(kChildChosen, 0);
        WriteLn(console_, names[current]);
        WriteLn(console_);
        speech_.SpeakText(names[current]);
        return names[current];
      }
      console_.GotoXY(1, name_row_);
      console_.ClrEol();
      narrator_.SayMessage(kWhoPlays, 0);
      continue;
    }
    if (extended && (key == kDown || key == kRight)) {
      next = current + 1;
    } else if (extended && (key == kUp || key == kLeft)) {
      next = current < 0 ? last : current - 1;
    } else if (extended && key == kHome) {
      next = 0;
    } else if (extended && key == kEnd) {
      next = last;
    } else if (!extended && key > ' ') {
      next = NextWithInitial(names, current, static_cast<uint8_t>(key));
    }
    // Past either end, or a key that moves nowhere: a beep, and the name
    // the child is on is said again.
    if (next < 0 || next > last || next == current) {
      speech_.PlayBeep();
      if (current >= 0) ShowName(names[current]);
      continue;
    }
    current = next;
    ShowName(names[current]);
  }
}

void ChildChoice::ShowName(const std::string& name) {
  console_.GotoXY(1, name_row_);
  console_.ClrEol();
  Write(console_, name);
  speech_.SpeakText(name);
}

// The first name after `from` (round the list) that begins with `key`; `from`
// itself when no other does, -1 when none does at all.
int ChildChoice::NextWithInitial(const std::vector<std::string>& names, int from, uint8_t key) const {
  const int count = static_cast<int>(names.size());
  for (int step = 1; step <= count; ++step) {
    const int index = ((from < 0 ? -1 : from) + step + count) % count;
    if (!names[index].empty() && lang::UpperCase(names[index][0]) == lang::UpperCase(static_cast<char>(key))) {
      return index;
    }
  }
  return -1;
}

}  // namespace placarim::game
