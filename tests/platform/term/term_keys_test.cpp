// The terminal's key bytes, decoded into the key events the window platform
// gives for the same keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/term/term_keys.h"
#include "platform/vk.h"

namespace placarim::platform::term {
namespace {

namespace vk = placarim::platform::vk;

// One key event, written "vk/mods/char": mods as S, A, C letters; char -1 when none.
std::string Describe(const std::vector<Event>& events) {
  std::string out;
  for (size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    if (e.type == EventType::KeyDown) {
      std::string mods = std::string(e.mods.shift ? "S" : "") + (e.mods.alt ? "A" : "") + (e.mods.ctrl ? "C" : "");
      int ch = -1;
      if (i + 1 < events.size() && events[i + 1].type == EventType::Char) ch = events[i + 1].ch;
      if (!out.empty()) out += ' ';
      out += std::to_string(e.vk) + "/" + mods + "/" + std::to_string(ch);
    } else if (e.type == EventType::Char && (i == 0 || events[i - 1].type != EventType::KeyDown)) {
      if (!out.empty()) out += ' ';
      out += "char " + std::to_string(e.ch);
    } else if (e.type == EventType::FocusGained || e.type == EventType::FocusLost) {
      if (!out.empty()) out += ' ';
      out += e.type == EventType::FocusGained ? "focus+" : "focus-";
    }
  }
  return out;
}

std::string Decode(const std::string& bytes, bool then_timeout = true) {
  KeyDecoder decoder;
  std::vector<Event> events;
  for (const char c : bytes) decoder.Feed(static_cast<uint8_t>(c), events);
  if (then_timeout) decoder.Timeout(events);
  return Describe(events);
}

std::string Key(int code, const std::string& mods, int ch) {
  return std::to_string(code) + "/" + mods + "/" + std::to_string(ch);
}

TEST(TerminalKeys, SequencesOfCommonTerminalsGiveTheWindowsKeys) {
  const struct {
    const char* bytes;
    std::string expected;
  } kCases[] = {
      {"a", Key(vk::kA, "", 'a')},
      {"Z", Key(vk::kA + 25, "S", 'Z')},
      {"7", Key(vk::k0 + 7, "", '7')},
      {"+", Key(0xBB, "S", '+')},
      {"\r", Key(vk::kReturn, "", 13)},
      {"\t", Key(vk::kTab, "", 9)},
      {"\x7f", Key(vk::kBack, "", 8)},
      {"\x08", Key(vk::kBack, "C", 8)},
      {"\x03", Key(vk::kA + 2, "C", 3)},      // Ctrl+C copies, it does not kill
      {"\x1c", Key(0xDC, "C", 28)},           // Ctrl+\ dials tones in the editor
      {"\x1b", Key(vk::kEscape, "", 27)},     // a lone ESC, after the pause
      {"\x1b" "a", Key(vk::kA, "A", -1)},     // Alt+a types nothing
      {"\x1b[A", Key(vk::kUp, "", -1)},
      {"\x1bOD", Key(vk::kLeft, "", -1)},     // application cursor mode
      {"\x1b[1;5C", Key(vk::kRight, "C", -1)},
      {"\x1b[1;2H", Key(vk::kHome, "S", -1)},
      {"\x1b[F", Key(vk::kEnd, "", -1)},
      {"\x1b[4~", Key(vk::kEnd, "", -1)},
      {"\x1b[2~", Key(vk::kInsert, "", -1)},
      {"\x1b[2;2~", Key(vk::kInsert, "S", -1)},
      {"\x1b[2;5~", Key(vk::kInsert, "C", -1)},
      {"\x1b[3~", Key(vk::kDelete, "", -1)},
      {"\x1b[5~", Key(vk::kPrior, "", -1)},
      {"\x1b[6;5~", Key(vk::kNext, "C", -1)},
      {"\x1bOP", Key(vk::kF1, "", -1)},
      {"\x1b[11~", Key(vk::kF1, "", -1)},
      {"\x1b[[A", Key(vk::kF1, "", -1)},      // Linux console
      {"\x1b[[E", Key(vk::kF1 + 4, "", -1)},
      {"\x1b[1;5S", Key(vk::kF1 + 3, "C", -1)},
      {"\x1b[15~", Key(vk::kF1 + 4, "", -1)},
      {"\x1b[20;6~", Key(vk::kF1 + 8, "SC", -1)},  // Ctrl+Shift+F9: the review
      {"\x1b[21~", Key(vk::kF10, "", -1)},
      {"\x1b[23;7~", Key(vk::kF11, "AC", -1)},
      {"\x1b[24;6~", Key(vk::kF12, "SC", -1)},
      {"\x1b[Z", Key(vk::kTab, "S", 9)},
      {"\x1b[2^", Key(vk::kInsert, "C", -1)},  // rxvt
      {"\x1b[2$", Key(vk::kInsert, "S", -1)},
      {"\x1bOd", Key(vk::kLeft, "C", -1)},
      {"\x1b[I\x1b[O", "focus+ focus-"},
      {"\x1b[<0;3;4M", ""},  // a mouse report is no key
      {"\x1b[99~", ""},      // an unknown key is dropped whole
      {"\xc3\xa7\xc3\x81", "char 231 char 193"},  // ç Á typed in UTF-8
      {"\xe2\x82\xac", "char 128"},               // the euro sign
      {"\xc3" "a", "char 195 " + Key(vk::kA, "", 'a')},  // no UTF-8: a Latin-1 terminal's Ã
      {"\xe9", "char 233"},                       // a Latin-1 terminal's é
      {"\x1b\x1b[A", Key(vk::kEscape, "", 27) + " " + Key(vk::kUp, "", -1)},
      {"ab\x1b[Bc", Key(vk::kA, "", 'a') + " " + Key(vk::kA + 1, "", 'b') + " " + Key(vk::kDown, "", -1) + " " +
                         Key(vk::kA + 2, "", 'c')},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Decode(c.bytes), c.expected) << "bytes: " << ::testing::PrintToString(std::string(c.bytes));
  }
}

TEST(TerminalKeys, EscapeWaitsForThePauseAndEachPressIsReleased) {
  KeyDecoder decoder;
  std::vector<Event> events;
  decoder.Feed(0x1B, events);
  EXPECT_TRUE(events.empty());  // could still become an arrow
  EXPECT_TRUE(decoder.Pending());
  decoder.Timeout(events);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].type, EventType::KeyDown);
  EXPECT_EQ(events[2].type, EventType::KeyUp);
  EXPECT_EQ(events[2].vk, vk::kEscape);
  EXPECT_FALSE(decoder.Pending());

  // Alt and F10 are system keys, as the window reports them.
  events.clear();
  for (const char c : std::string("\x1b[21~\x1bx")) decoder.Feed(static_cast<uint8_t>(c), events);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_TRUE(events[0].system);
  EXPECT_TRUE(events[2].system);
}

TEST(TerminalKeys, CtrlZAsksForSuspendInsteadOfTyping) {
  KeyDecoder decoder;
  std::vector<Event> events;
  TerminalRequest request = TerminalRequest::None;
  decoder.Feed(26, events, &request);
  EXPECT_EQ(request, TerminalRequest::Suspend);
  EXPECT_TRUE(events.empty());
}

TEST(TerminalKeys, EndlessSequencesAreDroppedWithoutGrowing) {
  KeyDecoder decoder;
  std::vector<Event> events;
  decoder.Feed(0x1B, events);
  decoder.Feed('[', events);
  for (int i = 0; i < 10000; ++i) decoder.Feed('1', events);
  decoder.Feed('a', events);
  decoder.Timeout(events);
  events.clear();
  decoder.Feed('b', events);
  EXPECT_EQ(Describe(events), Key(vk::kA + 1, "", 'b'));
  EXPECT_FALSE(decoder.Pending());
}

}  // namespace
}  // namespace placarim::platform::term
