// Key translation and braille chords, fed with events directly (no window).
#include "console/keyboard.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/vk.h"

namespace placarim::console {
namespace {

namespace vk = platform::vk;
namespace keys = platform::fake::keys;
using platform::EventType;
using platform::Modifiers;

constexpr int Key(char letter) { return vk::kA + (letter - 'A'); }

// Runs a script through the keyboard the way the console's window does.
std::vector<KeyAction> Feed(Keyboard& kb, const std::vector<platform::Event>& script) {
  std::vector<KeyAction> actions;
  for (const auto& e : script) {
    if (e.type == EventType::Char) kb.OnChar(e.ch, e.mods);
    if (e.type == EventType::KeyDown) actions.push_back(kb.OnKeyDown(e.vk, e.mods, e.system));
    if (e.type == EventType::KeyUp) kb.OnKeyUp(e.vk, e.mods);
    if (e.type == EventType::FocusLost) kb.OnFocusLost();
  }
  return actions;
}

std::vector<int> Drain(Keyboard& kb) {
  std::vector<int> codes;
  while (!kb.Queue().Empty()) codes.push_back(kb.Queue().Pop());
  return codes;
}

struct KeyCase {
  const char* name;
  std::vector<platform::Event> script;
  std::vector<int> codes;
};

TEST(Keyboard, TranslatesKeysToQueueCodes) {
  const Modifiers ctrl{.ctrl = true}, shift{.shift = true}, alt{.alt = true};
  const KeyCase cases[] = {
      {"Up", keys::Press(vk::kUp), {0, 72}},
      {"Ctrl+Up", keys::Press(vk::kUp, ctrl), {0, 113}},
      {"Shift+Insert", keys::Press(vk::kInsert, shift), {0, 254}},
      {"Ctrl+Insert", keys::Press(vk::kInsert, ctrl), {0, 255}},
      {"Ctrl+Shift+Insert", keys::Press(vk::kInsert, {.ctrl = true, .shift = true}), {0, 255}},
      {"Shift+Delete", keys::Press(vk::kDelete, shift), {0, 83}},
      {"F1", keys::Press(vk::kF1), {0, 59}},
      {"F12", keys::Press(vk::kF12), {0, 70}},
      {"Ctrl+F9", keys::Press(vk::kF1 + 8, ctrl), {0, 102}},
      {"Ctrl+Shift+F9", keys::Press(vk::kF1 + 8, {.ctrl = true, .shift = true}), {0, 102}},
      {"Shift+F11 is F11", keys::Press(vk::kF11, shift), {0, 69}},
      {"Ctrl+F12", keys::Press(vk::kF12, ctrl), {0, 105}},
      {"Ctrl+Page Up", keys::Press(vk::kPrior, ctrl), {0, 132}},
      {"Ctrl+Left", keys::Press(vk::kLeft, ctrl), {0, 115}},
      {"Home End", keys::Then(keys::Press(vk::kHome), keys::Press(vk::kEnd)), {0, 71, 0, 79}},
      {"Ctrl+Enter", keys::Press(vk::kReturn, ctrl), {10}},
      {"Ctrl+Backspace", keys::Press(vk::kBack, ctrl), {127}},
      {"Enter Backspace Tab Escape", keys::Type("\r\b\t\x1B"), {13, 8, 9, 27}},
      {"Ctrl+C", keys::Ctrl('C'), {3}},
      {"letters and accents", keys::Type("aZ\xE7"), {'a', 'Z', 0xE7}},
      {"F10 is a system key", keys::Press(vk::kF10), {}},
      {"Alt+letter is the desktop's", keys::Alt(Key('X')), {}},
      {"Alt+Left passes", keys::Press(vk::kLeft, alt), {0, 75}},
      {"Alt+Right passes", keys::Press(vk::kRight, alt), {0, 77}},
      {"AltGr+Q", keys::AltGr(Key('Q'), '/'), {0, 16, '/'}},
      {"AltGr+W", keys::AltGr(Key('W'), '?'), {0, 17, '?'}},
      {"AltGr+E", keys::AltGr(Key('E'), 0x80), {0, 18, 0x80}},
      {"Ctrl+Alt+M", keys::CtrlAlt(Key('M')), {0, 50}},
      {"Ctrl+Alt+1", keys::CtrlAlt(vk::k0 + 1), {0, 120}},
      {"Ctrl+Alt+9", keys::CtrlAlt(vk::k0 + 9), {0, 128}},
      {"Ctrl+Alt+0", keys::CtrlAlt(vk::k0), {0, 129}},
      {"Ctrl+Alt+Up", keys::CtrlAlt(vk::kUp), {0, 113}},
      {"Shift alone", keys::Press(vk::kShift, shift), {}},
  };
  for (const auto& c : cases) {
    Keyboard kb;
    const auto actions = Feed(kb, c.script);
    EXPECT_EQ(Drain(kb), c.codes) << c.name;
    for (KeyAction a : actions) EXPECT_EQ(a, KeyAction::None) << c.name;
  }
}

TEST(Keyboard, KeysThatEndTheProgramOrChangeModes) {
  struct ActionCase {
    const char* name;
    std::vector<platform::Event> script;
    KeyAction action;
  };
  const ActionCase cases[] = {
      {"Ctrl+Break", keys::Press(vk::kCancel, {.ctrl = true}), KeyAction::Terminate},
      {"Alt+F4", keys::Alt(vk::kF1 + 3), KeyAction::Close},
      {"Ctrl+Alt+F11", keys::CtrlAlt(vk::kF11), KeyAction::BrailleNext},
      {"Ctrl+Alt+F12", keys::CtrlAlt(vk::kF12), KeyAction::BrailleOff},
      {"Ctrl+Shift+F11", keys::Press(vk::kF11, {.ctrl = true, .shift = true}), KeyAction::BrailleNext},
      {"Ctrl+Shift+F12", keys::Press(vk::kF12, {.ctrl = true, .shift = true}), KeyAction::BrailleOff},
  };
  for (const auto& c : cases) {
    Keyboard kb;
    const auto actions = Feed(kb, c.script);
    ASSERT_EQ(actions.size(), 1u) << c.name;
    EXPECT_EQ(actions[0], c.action) << c.name;
    EXPECT_TRUE(kb.Queue().Empty()) << c.name;
  }
  Keyboard ended;
  ended.break_checking = false;
  EXPECT_EQ(ended.OnKeyDown(vk::kCancel, {.ctrl = true}, false), KeyAction::None);
}

TEST(Keyboard, FullQueueDropsNewKeys) {
  Keyboard kb;
  for (int i = 0; i < 65; ++i) kb.OnChar(static_cast<uint8_t>('0' + i % 10), {});
  EXPECT_EQ(kb.Queue().Count(), 64);

  Keyboard ext;  // an extended key needs room for both of its entries
  for (int i = 0; i < 63; ++i) ext.OnChar('x', {});
  Feed(ext, keys::Press(vk::kUp));
  EXPECT_EQ(ext.Queue().Count(), 63);
  ext.Queue().Pop();
  Feed(ext, keys::Press(vk::kUp));
  EXPECT_EQ(ext.Queue().Count(), 64);
  Feed(ext, keys::CtrlAlt(Key('A')));
  EXPECT_EQ(ext.Queue().Count(), 64);
  for (int i = 0; i < 62; ++i) ext.Queue().Pop();
  EXPECT_EQ(Drain(ext), (std::vector<int>{0, 72}));
}

TEST(KeyQueue, IsFirstInFirstOutAcrossWrapAround) {
  KeyQueue q;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(q.Push(static_cast<uint8_t>(i + round)));
    for (int i = 0; i < 50; ++i) ASSERT_EQ(q.Pop(), i + round);
  }
  EXPECT_TRUE(q.Empty());
}

Keyboard InMode(int mode) {
  Keyboard kb;
  kb.Braille().SetMode(mode);
  return kb;
}

TEST(BrailleChords, Mode1TypesCells) {
  const KeyCase cases[] = {
      {"F+D gives b", keys::Chord({Key('F'), Key('D')}), {'b'}},
      {"released in any order", keys::Then(keys::Chord({Key('F')}), keys::Chord({Key('J'), Key('F')})), {'a', 'c'}},
      {"space bar alone", keys::Chord({vk::kSpace}), {' '}},
      {"G alone", keys::Press(Key('G')), {' '}},
      {"six dots", keys::Chord({Key('F'), Key('D'), Key('S'), Key('J'), Key('K'), Key('L')}), {0xE9}},
      {"dots 1 2 4 6: accent", keys::Chord({Key('F'), Key('D'), Key('J'), Key('L')}), {0xE0}},
      {"space + dot 1 is Ctrl+A", keys::Chord({vk::kSpace, Key('F')}), {1}},
      {"typed letters are ignored", keys::Type("x"), {' '}},
      {"digits still type", keys::Type("7"), {'7'}},
      {"extended keys still work", keys::Press(vk::kUp), {0, 72}},
      {"Ctrl+F is a control key", keys::Ctrl('F'), {6}},
      {"no capitals in mode 1", keys::Then(keys::Chord({Key('J'), Key('L')}), keys::Chord({Key('F')})),
       {'{', 'a'}},
      {"focus lost mid-chord drops it",
       {keys::KeyDown(Key('F')), keys::KeyDown(Key('D')), keys::Focus(false), keys::KeyUp(Key('F')),
        keys::KeyUp(Key('G')), keys::KeyUp(Key('D')), keys::KeyDown(Key('F')), keys::KeyUp(Key('F'))},
       {'a'}},
  };
  for (const auto& c : cases) {
    Keyboard kb = InMode(1);
    Feed(kb, c.script);
    EXPECT_EQ(Drain(kb), c.codes) << c.name;
  }
}

std::vector<platform::Event> Cells(std::initializer_list<std::vector<int>> chords) {
  std::vector<platform::Event> script;
  for (const auto& chord : chords) {
    for (int k : chord) script.push_back(keys::KeyDown(k));
    for (int k : chord) script.push_back(keys::KeyUp(k));
  }
  return script;
}

TEST(BrailleChords, Mode2HonoursCapitalAndNumberSigns) {
  const std::vector<int> a{Key('F')}, b{Key('F'), Key('D')}, j{Key('D'), Key('J'), Key('K')};
  const std::vector<int> capital{Key('J'), Key('L')};                             // dots 4 6: "{"
  const std::vector<int> number{Key('S'), Key('J'), Key('K'), Key('L')};          // dots 3 4 5 6: "#"
  const std::vector<int> apostrophe{Key('S')}, tilde{Key('K')}, space{vk::kSpace};
  const KeyCase cases[] = {
      {"capital a", Cells({capital, a}), {'A'}},
      {"one capital only", Cells({capital, a, b}), {'A', 'b'}},
      {"capital lock", Cells({capital, capital, a, b}), {'A', 'B'}},
      {"space ends capital lock", Cells({capital, capital, a, space, b}), {'A', ' ', 'b'}},
      {"digits", Cells({number, a, b, j}), {'1', '2', '0'}},
      {"decimal point", Cells({number, a, apostrophe, b}), {'1', '.', '2'}},
      {"space chord ends number mode", Cells({number, a, space, a}), {'1', ' ', 'a'}},
      {"tilde ends number mode", Cells({number, a, tilde, a}), {'1', '~', 'a'}},
      {"letters past j in number mode", Cells({number, a, {Key('F'), Key('S')}}), {'1', 'k'}},
  };
  for (const auto& c : cases) {
    Keyboard kb = InMode(2);
    Feed(kb, c.script);
    EXPECT_EQ(Drain(kb), c.codes) << c.name;
  }
}

TEST(BrailleChords, SignsEndOnCtrlOrANonLetterKeyUp) {
  Keyboard kb = InMode(2);
  const std::vector<int> number{Key('S'), Key('J'), Key('K'), Key('L')};
  Feed(kb, Cells({number}));
  EXPECT_TRUE(kb.Braille().NumberMode());
  Feed(kb, {keys::KeyUp(vk::kShift)});
  EXPECT_FALSE(kb.Braille().NumberMode());
  Feed(kb, Cells({number, {Key('F')}}));
  Feed(kb, keys::Ctrl('X'));
  Feed(kb, Cells({{Key('F')}}));
  EXPECT_EQ(Drain(kb), (std::vector<int>{'1', 24, 'a'}));
}

TEST(BrailleChords, LeavingBrailleDropsAHalfFormedChord) {
  Keyboard kb = InMode(1);
  Feed(kb, {keys::KeyDown(Key('F'))});
  EXPECT_EQ(kb.Braille().Held(), 1);
  kb.Braille().SetMode(0);
  EXPECT_EQ(kb.Braille().Held(), 0);
  Feed(kb, {keys::Char('f'), keys::KeyUp(Key('F'))});
  EXPECT_EQ(Drain(kb), (std::vector<int>{'f'}));
}

TEST(BrailleChords, CellTableSpotChecks) {
  // Letters of the standard alphabet by their dots.
  const std::pair<int, char> letters[] = {{1, 'a'},  {3, 'b'},  {9, 'c'},  {25, 'd'}, {17, 'e'}, {11, 'f'},
                                          {27, 'g'}, {19, 'h'}, {10, 'i'}, {26, 'j'}, {5, 'k'},  {7, 'l'},
                                          {13, 'm'}, {29, 'n'}, {21, 'o'}, {15, 'p'}, {31, 'q'}, {23, 'r'},
                                          {14, 's'}, {30, 't'}, {37, 'u'}, {39, 'v'}, {58, 'w'}, {45, 'x'},
                                          {61, 'y'}, {53, 'z'}};
  for (auto [dots, letter] : letters) EXPECT_EQ(BrailleChords::Cell(dots), letter) << dots;
  EXPECT_EQ(BrailleChords::Cell(47), 0xE7);  // ç
  EXPECT_EQ(BrailleChords::Cell(28), 0xE3);  // ã
  EXPECT_EQ(BrailleChords::Cell(60), '#');
  EXPECT_EQ(BrailleChords::Cell(40), '{');
}

}  // namespace
}  // namespace placarim::console
