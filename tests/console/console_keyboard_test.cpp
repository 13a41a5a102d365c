// The console's keyboard side on the fake platform: reading keys and lines,
// the message pump, keys that end the program, braille modes and their tones.
#include <gtest/gtest.h>

#include <cstring>

#include "console/braille_switch.h"
#include "console/console_stream.h"
#include "sound/tone.h"
#include "console_fixture.h"

namespace placarim::console {
namespace {

using sound::MakeToneImage;

constexpr int Key(char letter) { return vk::kA + (letter - 'A'); }

TEST_F(ConsoleTest, KeyPressedOpensTheConsoleAndPumps) {
  Console& c = Make();
  EXPECT_FALSE(c.KeyPressed());
  EXPECT_TRUE(c.Created());
  fake.events.PostAt(100, keys::Press(vk::kUp));
  EXPECT_FALSE(c.KeyPressed());  // not typed yet
  fake.clock.SleepMs(100);
  EXPECT_EQ(Keys(), (std::vector<int>{0, 72}));
}

TEST_F(ConsoleTest, ReadKeyWaitsWithTheCaretAtTheCursor) {
  Console& c = Make();
  c.Write("abc");
  fake.events.PostAt(700, keys::Type("x"));
  EXPECT_EQ(c.ReadKey(), 'x');
  EXPECT_EQ(fake.clock.NowMs(), 700);
  EXPECT_EQ(fake.screen.caret_shows, 1);
  EXPECT_EQ(fake.screen.caret.col, 3);
  EXPECT_EQ(fake.screen.caret.row, 0);
  EXPECT_FALSE(fake.screen.caret.visible);

  // Without focus there is no caret; it appears when focus comes back.
  fake.Post({keys::Focus(false)});
  c.KeyPressed();
  fake.events.PostAt(800, {keys::Focus(true)});
  fake.events.PostAt(900, keys::Type("y"));
  EXPECT_EQ(c.ReadKey(), 'y');
  EXPECT_EQ(fake.screen.caret_shows, 2);
  EXPECT_FALSE(fake.screen.caret.visible);
}

TEST_F(ConsoleTest, ReadKeyWithNothingToComeFailsInsteadOfHanging) {
  Console& c = Make();
  EXPECT_THROW(c.ReadKey(), std::runtime_error);
  EXPECT_FALSE(fake.screen.caret.visible);
}

TEST_F(ConsoleTest, SixtyFifthCharacterIsLost) {
  Console& c = Make();
  c.Write("");
  std::string typed;
  for (int i = 0; i < 65; ++i) typed += static_cast<char>('A' + i % 26);
  fake.Type(typed);
  const auto codes = Keys();
  ASSERT_EQ(codes.size(), 64u);
  EXPECT_EQ(codes[63], 'A' + 63 % 26);
}

TEST_F(ConsoleTest, ReadLineEditsEchoesAndTakesExtendedCodesAsCharacters) {
  Console& c = Make();
  struct LineCase {
    const char* name;
    std::vector<platform::Event> script;
    uint16_t size;
    std::string line;
  };
  const LineCase cases[] = {
      {"Up adds H", keys::Then(keys::Then(keys::Type("ab"), keys::Press(vk::kUp)), keys::Type("\r")), 128, "abH"},
      {"backspace", keys::Type("abc\b\bd\r"), 128, "ad"},
      {"backspace on empty line", keys::Type("\b\bz\r"), 128, "z"},
      {"cut to size - 2", keys::Type("abcdef\r"), 5, "abc"},
      {"escape and tab ignored", keys::Type("a\x1B\tb\r"), 128, "ab"},
      {"accented", keys::Type("p\xE3o\r"), 128, "p\xE3o"},
  };
  for (const auto& k : cases) {
    c.ClrScr();
    fake.Post(k.script);
    char buffer[128];
    std::memset(buffer, '#', sizeof buffer);
    const uint16_t n = c.ReadLine(buffer, k.size);
    ASSERT_EQ(n, k.line.size() + 2) << k.name;
    EXPECT_EQ(std::string(buffer, n), k.line + "\r\n") << k.name;
    EXPECT_EQ(buffer[n], '#') << k.name;
    EXPECT_EQ(fake.screen.RowText(0).substr(0, k.line.size() + 1), k.line + " ") << k.name;
    EXPECT_EQ(c.WhereY(), 2) << k.name;
  }
  fake.Type("linha\r");
  EXPECT_EQ(StdReadLn(c), "linha");
}

TEST_F(ConsoleTest, ReadLineIntoATinyBufferStoresNothingPastIt) {
  Console& c = Make();
  char buffer[2] = {'#', '#'};
  fake.Type("abc\r");
  EXPECT_EQ(c.ReadLine(buffer, 1), 0);
  EXPECT_EQ(buffer[1], '#');
  fake.Type("abc\r");
  EXPECT_EQ(c.ReadLine(buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "\r\n");
}

TEST_F(ConsoleTest, KeysThatEndTheProgram) {
  const struct {
    const char* name;
    std::vector<platform::Event> script;
    int exit_code;  // -1: the program goes on
  } cases[] = {
      {"Ctrl+C", keys::Ctrl('C'), -1},
      {"Ctrl+Break", keys::Press(vk::kCancel, {.ctrl = true}), 255},
      {"Alt+F4", keys::Alt(vk::kF1 + 3), 0},
      {"Alt+F5", keys::Alt(vk::kF1 + 4), -1},
      {"F10", keys::Press(vk::kF10), -1},
  };
  for (const auto& k : cases) {
    Console& c = Make();
    c.Write("");
    fake.Post(k.script);
    EXPECT_EQ(ExitCodeOf([&] { c.KeyPressed(); }), k.exit_code) << k.name;
    if (k.exit_code == 255) {
      EXPECT_EQ(fake.screen.title, "Programa terminado") << k.name;
    }
  }
  EXPECT_EQ(Keys(), std::vector<int>{});  // F10 typed nothing
}

TEST_F(ConsoleTest, AfterTheEndTheWindowTakesNoKeys) {
  Console& c = Make();
  c.Write("");
  fake.Post(keys::Press(vk::kCancel, {.ctrl = true}));
  EXPECT_EQ(ExitCodeOf([&] { c.KeyPressed(); }), 255);
  fake.Type("a");
  fake.Post(keys::Press(vk::kCancel, {.ctrl = true}));
  EXPECT_EQ(ExitCodeOf([&] { c.KeyPressed(); }), -1);
  EXPECT_FALSE(c.KeyPressed());
}

TEST_F(ConsoleTest, DelaySleepsThenHandlesWhatArrived) {
  Console& c = Make();
  std::vector<int> done;
  c.SetAudioBlockDoneHandler([&](int block) { done.push_back(block); });
  platform::Event block;
  block.type = platform::EventType::AudioBlockDone;
  block.block = 7;
  fake.events.PostAt(300, block);
  c.Delay(500);
  EXPECT_EQ(fake.clock.NowMs(), 500);
  EXPECT_EQ(fake.clock.slept_ms, 500);
  EXPECT_EQ(done, std::vector<int>{7});
}

TEST_F(ConsoleTest, WaitMessageSleepsUntilTheNextEvent) {
  Console& c = Make();
  int blocks = 0;
  c.SetAudioBlockDoneHandler([&](int) { ++blocks; });
  fake.audio.Open({});
  const std::vector<uint8_t> half_second(11025 / 2, 128);
  fake.audio.Write(1, half_second.data(), half_second.size());
  c.WaitMessage();
  EXPECT_EQ(fake.clock.NowMs(), 500);
  EXPECT_EQ(blocks, 1);

  c.PostWakeUp(1123);
  c.WaitMessage();
  EXPECT_EQ(fake.clock.NowMs(), 500);
  EXPECT_EQ(fake.events.Scheduled(), 0u);
  EXPECT_FALSE(c.Created());  // waiting needs no window

  c.SetAudioBlockDoneHandler(nullptr);
  fake.audio.Write(2, half_second.data(), half_second.size());
  c.WaitMessage();  // no handler: the event is just consumed
  EXPECT_EQ(blocks, 1);
}

TEST_F(ConsoleTest, HeldModifiersTellAltFromTheLastKey) {
  Console& c = Make();
  fake.Post(keys::CtrlAlt(vk::kF1 + 8));
  EXPECT_EQ(Keys(), (std::vector<int>{0, 102}));
  EXPECT_TRUE(c.HeldModifiers().alt);
  fake.Post(keys::Ctrl(vk::kF1 + 8));
  EXPECT_EQ(Keys(), (std::vector<int>{0, 102}));
  EXPECT_FALSE(c.HeldModifiers().alt);
  // Keys pressed and released before anyone reads: each keeps its own modifiers.
  fake.Post(keys::Then(keys::Press(vk::kF1 + 8, {.ctrl = true, .shift = true}), keys::Type("a")));
  fake.Post({keys::KeyUp(vk::kShift)});
  EXPECT_EQ(c.ReadKey(), 0);
  EXPECT_EQ(c.ReadKey(), 102);
  EXPECT_EQ(c.HeldModifiers(), (platform::Modifiers{.ctrl = true, .shift = true}));
  EXPECT_EQ(c.ReadKey(), 'a');
  EXPECT_EQ(c.HeldModifiers(), platform::Modifiers{});
}

TEST_F(ConsoleTest, BrailleModeKeysCycleWithTones) {
  Console& c = Make();
  c.Write("");
  const auto tones = [&](std::initializer_list<uint16_t> freqs) {
    std::vector<std::vector<uint8_t>> images;
    for (uint16_t f : freqs) images.push_back(MakeToneImage(f));
    return images;
  };
  const struct {
    std::vector<platform::Event> script;
    int mode;
    std::vector<std::vector<uint8_t>> played;
  } steps[] = {
      {keys::CtrlAlt(vk::kF11), 1, tones({800, 1600})},
      {keys::CtrlAlt(vk::kF11), 2, tones({800, 400})},
      {keys::CtrlAlt(vk::kF11), 1, tones({800, 1600})},
      {keys::CtrlAlt(vk::kF12), 0, tones({100})},
      {keys::CtrlAlt(vk::kF12), 0, tones({})},
  };
  for (const auto& step : steps) {
    fake.tones.played.clear();
    const int64_t before = fake.clock.NowMs();
    fake.Post(step.script);
    c.KeyPressed();
    EXPECT_EQ(c.Braille().Mode(), step.mode);
    EXPECT_EQ(fake.tones.played, step.played) << "mode " << step.mode;
    EXPECT_EQ(fake.clock.NowMs() - before, 200 * static_cast<int64_t>(step.played.size()));
    EXPECT_FALSE(fake.tones.playing);
  }
}

TEST_F(ConsoleTest, BrailleModeFromTheConfigurationAndChords) {
  Console& c = Make("[BRAILLE]\nMODO=2\n");
  c.Write("");
  EXPECT_EQ(c.Braille().Mode(), 2);
  ASSERT_EQ(fake.tones.played.size(), 2u);
  EXPECT_EQ(fake.tones.played[1], MakeToneImage(400));
  fake.Post(keys::Chord({Key('J'), Key('L')}));            // capital sign
  fake.Post(keys::Chord({Key('F'), Key('D')}));            // b
  fake.Post(keys::Chord({vk::kSpace}));
  fake.Post(keys::Chord({Key('S'), Key('J'), Key('K'), Key('L')}));  // number sign
  fake.Post(keys::Chord({Key('F')}));
  fake.Post(keys::Type("G"));                              // G alone: an empty cell
  EXPECT_EQ(Keys(), (std::vector<int>{'B', ' ', '1', ' '}));

  Console& d = Make("[BRAILLE]\nMODO=3\n");
  d.Write("");
  EXPECT_EQ(d.Braille().Mode(), 1);
}

TEST(ToneImage, IsASquareWaveInACompleteWaveImage) {
  const auto image = MakeToneImage(400);
  const auto u32 = [&](size_t at) {
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | static_cast<uint32_t>(image[at + 3]) << 24;
  };
  const uint32_t length = 10969;  // 398 periods start within the buffer's bound
  ASSERT_EQ(image.size(), 44 + length);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), length + 36);
  EXPECT_EQ(std::string(image.begin() + 8, image.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u32(16), 16u);
  EXPECT_EQ(u32(20), 0x00010001u);  // PCM, mono
  EXPECT_EQ(u32(24), 11025u);
  EXPECT_EQ(u32(28), 11025u);
  EXPECT_EQ(u32(32), 0x00080001u);  // block alignment 1, 8 bits
  EXPECT_EQ(std::string(image.begin() + 36, image.begin() + 40), "data");
  EXPECT_EQ(u32(40), length);
  const uint8_t* s = image.data() + 44;
  // 27 samples a period (11025 div 400): 13 low, then high until the next
  // period starts at 27, 55, 82 (n * 11025 div 400).
  EXPECT_EQ(s[0], 96);
  EXPECT_EQ(s[12], 96);
  EXPECT_EQ(s[13], 160);
  EXPECT_EQ(s[26], 160);
  EXPECT_EQ(s[27], 96);
  EXPECT_EQ(s[54], 160);
  EXPECT_EQ(s[55], 96);
  EXPECT_EQ(s[82], 96);
  EXPECT_EQ(s[length - 1], 128);

  const struct {
    uint16_t f;
    uint32_t length;
  } lengths[] = {{100, 10914}, {1600, 10976}, {0, 0}, {1, 0}};
  for (const auto& l : lengths) EXPECT_EQ(MakeToneImage(l.f).size(), 44 + l.length) << l.f;
}

}  // namespace
}  // namespace placarim::console
