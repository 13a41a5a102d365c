// The screen review on the real console over the headless platform. Keys are
// handed over one at a time, each when the review waits for it, and the
// console cursor (which the review keeps on its review cursor) is noted at
// every wait. Sounds are journaled by name: "_67" for the character C, "beep",
// "click", "voice:casa" for words of the built-in voice, "synth:..." for text
// handed to an external synthesizer.
#include "editor/screen_review.h"

#include <espeak-ng/speak_lib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "braille/braille_text.h"
#include "voices/ilvra/text_normalizer.h"
#include "voices/tradutor/translator.h"
#include "platform/fake/fake_braille_display.h"
#include "platform/fake/fake_platform.h"
#include "platform/text_encoding.h"
#include "platform/vk.h"
#include "speech/console_link.h"
#include "speech/ini_reader.h"
#include "editor/line_editor.h"
#include "speech/speech.h"
#include "speech/wave_image.h"
#include "tests/support/speech_fakes.h"

namespace placarim::editor {
namespace {

namespace fs = std::filesystem;
namespace vk = platform::vk;
namespace keys = platform::fake::keys;
using speech::testing::FakeSound;
using speech::testing::FakeSynthesizer;
using speech::testing::Journal;
using console::Console;
using Press = std::vector<platform::Event>;
using Position = std::pair<int, int>;  // column, row

// Wave playback, journaled; each sound lasts `sound_ms` of virtual time, so
// keys scheduled meanwhile arrive while it plays.
class JournalSound final : public placarim::testing::SoundOutputBase {
 public:
  JournalSound(Journal& journal, platform::fake::FakePlatform& fake, Console& console)
      : journal_(journal), fake_(fake), console_(console) {}
  int PlayFile(const std::string& path) override {
    std::string name = fs::path(path).filename().string();
    if (name.ends_with(".wav")) name.resize(name.size() - 4);
    return Played(name);
  }
  int PlayMemory(const std::vector<uint8_t>& image) override { return Played(FakeSound::Describe(image)); }
  // The speech layer and the screen review never hand over raw samples (the base throws).
  void SetCondense(bool) override {}
  void SetSpeedUp(bool) override {}
  int sound_ms = 0;

 private:
  int Played(std::string name) {
    if (console_.KeyPressed()) return 0;  // nothing starts while a key waits
    journal_.push_back(std::move(name));
    fake_.clock.Advance(sound_ms);
    return 0;
  }
  Journal& journal_;
  platform::fake::FakePlatform& fake_;
  Console& console_;
};

// The built-in voice, journaling each run of words; each run lasts `word_ms`.
class JournalVoice final : public tradutor::DiphoneVoiceApi {
 public:
  JournalVoice(Journal& journal, platform::fake::FakePlatform& fake) : journal_(journal), fake_(fake) {}
  tradutor::VoiceOpen OpenDiphoneVoice() override { return tradutor::VoiceOpen::kOpened; }
  void CloseDiphoneVoice() override {}
  std::string TranslateToDiphoneCodes(std::string_view text) override { return std::string(text); }
  void SpeakDiphoneCodes(std::string_view codes) override {
    const size_t end = codes.find_last_not_of(' ');
    journal_.push_back("voice:" + std::string(codes.substr(0, end == std::string_view::npos ? 0 : end + 1)));
    fake_.clock.Advance(word_ms);
  }
  void SetDiphoneTuning(int, int, int) override {}
  void SetDatabaseName(std::string_view) override {}
  const std::string& DatabaseName() const override { return name_; }
  const std::string& LettersDirectory() const override { return letters_directory; }
  std::string letters_directory;
  int word_ms = 0;

 private:
  Journal& journal_;
  platform::fake::FakePlatform& fake_;
  std::string name_;
};

class ScreenReviewTest : public ::testing::Test {
 protected:
  ScreenReviewTest() {
    fs::remove_all(root_);
    fs::create_directories(root_ / "etc");
    fs::create_directories(root_ / "letras");
    fs::create_directories(root_ / "sons");
    ::setenv("PLACARIM_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    WriteConfig("");
    for (const char* key : {"_DEL", "_dois", "_sete"}) WriteWave(key);
    for (int c = 32; c < 256; ++c) WriteWave("_" + std::to_string(c));
    voice_.letters_directory = (root_ / "letras").string() + "/";
    speech_.AttachVoice(voice_);
    speech_.SpeechStart(3, (root_ / "sons").string());
    console_.ClrScr();
    journal_.clear();
  }
  ~ScreenReviewTest() override { fs::remove_all(root_); }

  static fs::path Root() {
    return fs::path(::testing::TempDir()) /
           ("screen_review_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void WriteConfig(const std::string& translator_section) {
    std::ofstream(root_ / "etc" / "FALDEK.INI")
        << "[TRADUTOR]\nDIRLETRAS=" << (root_ / "letras").string() << "\n" << translator_section;
  }
  void WriteWave(const std::string& key) {
    const std::vector<uint8_t> image = speech::MakeSpeechImage(reinterpret_cast<const uint8_t*>(key.data()), key.size());
    std::ofstream(root_ / "letras" / (key + ".wav"), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  }

  void Put(int x, int y, std::string_view text) {
    console_.GotoXY(x, y);
    console_.Write(text);
  }

  // Runs the review from the console cursor at (x, y) with `presses`, then
  // Escape. Returns the cursor at each wait for a key; the journal keeps what
  // was heard between the entry beep and the two leaving beeps.
  std::vector<Position> Review(int x, int y, std::vector<Press> presses) {
    console_.GotoXY(x, y);
    presses.push_back(keys::Type("\x1b"));
    std::vector<Position> seen;
    size_t next = 0;
    fake_.events.SetIdleHandler([&] {
      seen.emplace_back(console_.WhereX(), console_.WhereY());
      if (next < presses.size()) fake_.Post(presses[next++]);
    });
    journal_.clear();
    review_.ConsoleScreenReview();
    fake_.events.SetIdleHandler(nullptr);
    EXPECT_EQ(next, presses.size()) << "the review left before Escape";
    EXPECT_GE(journal_.size(), 3u);
    if (journal_.size() >= 3) {
      EXPECT_EQ(journal_.front(), "beep");
      EXPECT_EQ(Journal(journal_.end() - 2, journal_.end()), (Journal{"beep", "beep"}));
      journal_ = Journal(journal_.begin() + 1, journal_.end() - 2);
    }
    EXPECT_EQ(Position(console_.WhereX(), console_.WhereY()), Position(x, y)) << "console cursor not restored";
    return seen;
  }

  static Press Key(int key, platform::Modifiers mods = {}) { return keys::Press(key, mods); }
  static Press Ctrl(int key) { return keys::Press(key, {.ctrl = true}); }
  static Press Typed(std::string_view text) { return keys::Type(text); }

  fs::path root_ = Root();
  platform::fake::FakePlatform fake_;
  Console console_{fake_, root_.string()};
  Journal journal_;
  JournalSound sound_{journal_, fake_, console_};
  speech::ConsoleLink link_{console_, fake_.clock};
  speech::IniReader ini_{root_.string()};
  FakeSynthesizer synthesizer_{journal_};
  speech::Speech speech_{console_, link_, sound_, ini_, &synthesizer_, 7};
  JournalVoice voice_{journal_, fake_};
  ScreenReview review_{console_, speech_.Output(), speech_.Sounds(), speech_.Text(), fake_.clipboard};
};

TEST_F(ScreenReviewTest, CursorCorrectionsBeepOnceEach) {
  const struct {
    const char* name;
    Position start;
    std::vector<Press> presses;
    Journal heard;
    Position end;
  } cases[] = {
      // One beep from the command, one from the correction.
      {"Left in column 1", {1, 4}, {Key(vk::kLeft)}, {"beep", "beep"}, {1, 4}},
      {"Backspace in column 1", {1, 4}, {Typed("\b")}, {"beep", "beep"}, {1, 4}},
      {"Up on row 1", {9, 1}, {Key(vk::kUp)}, {"beep"}, {1, 1}},
      {"Down on row 25", {9, 25}, {Key(vk::kDown)}, {"click", "beep"}, {1, 25}},
      {"Enter on row 25", {9, 25}, {Typed("\r")}, {"click", "beep"}, {1, 25}},
      {"F6 9999", {9, 4}, {Key(vk::kF1 + 5), Typed("9"), Typed("9"), Typed("9"), Typed("9")},
       {"voice:Entre linha e coluna", "_57", "_57", "_57", "_57", "beep", "beep"}, {80, 25}},
      {"F6 0507", {9, 4}, {Key(vk::kF1 + 5), Typed("0"), Typed("5"), Typed("0"), Typed("7")},
       {"voice:Entre linha e coluna", "_48", "_53", "_48", "_55"}, {7, 5}},
      {"F6 0000", {9, 4}, {Key(vk::kF1 + 5), Typed("0"), Typed("0"), Typed("0"), Typed("0")},
       {"voice:Entre linha e coluna", "_48", "_48", "_48", "_48", "beep", "beep"}, {1, 1}},
      {"F6 stopped by a letter", {9, 4}, {Key(vk::kF1 + 5), Typed("1"), Typed("x")},
       {"voice:Entre linha e coluna", "_49", "beep", "beep"}, {9, 4}},
  };
  for (const auto& c : cases) {
    const std::vector<Position> seen = Review(c.start.first, c.start.second, c.presses);
    EXPECT_EQ(journal_, c.heard) << c.name;
    EXPECT_EQ(seen.back(), c.end) << c.name;
  }
}

TEST_F(ScreenReviewTest, RightAlongTheRowSpeaksEachCharacterThenTheSpacePastIt) {
  Put(78, 1, "xyz");
  const std::vector<Position> seen =
      Review(78, 1, {Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kRight)});
  // x y z, a space for column 81, a beep as 82 becomes 80, then z again.
  EXPECT_EQ(journal_, (Journal{"_120", "_121", "_122", "_32", "beep", "_122"}));
  EXPECT_EQ(seen[3], Position(80, 1));  // column 81 shows on the last column
  EXPECT_EQ(seen[4], Position(80, 1));
}

TEST_F(ScreenReviewTest, RangesOfTheLine) {
  Put(1, 6, "um dois");
  const struct {
    const char* name;
    int column;
    std::string keys;
    Journal heard;
  } cases[] = {
      {"space on an empty row", 5, " ", {"click"}},  // row 5 is empty
      {"IL in column 1", 1, "il", {"beep"}},
      {"IL before the cursor", 4, "il", {"voice:um", "click"}},
      {"FL from the cursor", 4, "fl", {"voice:dois", "click"}},
      {"TL, L counting as T", 6, "LL", {"voice:um", "voice:dois", "click"}},
      {"a pair that means nothing", 4, "ix", {"beep", "click", "beep"}},
      {"a key that means nothing", 4, "#", {"beep", "click", "beep"}},
  };
  for (const auto& c : cases) {
    const int row = c.keys == " " ? 5 : 6;
    const std::vector<Position> seen = Review(c.column, row, {Typed(c.keys)});
    EXPECT_EQ(journal_, c.heard) << c.name;
    EXPECT_EQ(seen.back(), Position(c.column, row)) << c.name << ": the line commands keep the cursor";
  }
}

TEST_F(ScreenReviewTest, WordsAreSpelledSpokenOrCutToThreeSymbols) {
  Put(1, 2, "CPF casa ----- fim");
  Review(1, 2, {Typed(" ")});
  EXPECT_EQ(journal_, (Journal{"_67", "_80", "_70", "voice:casa", "_45", "_45", "_45", "voice:fim", "click"}));

  // F1 reads one word at a time; past the row's text it clicks.
  const std::vector<Position> seen = Review(1, 2, {Key(vk::kF1), Key(vk::kF1), Key(vk::kF1), Key(vk::kF1),
                                                   Key(vk::kF1)});
  EXPECT_EQ(journal_, (Journal{"_67", "_80", "_70", "voice:casa", "_45", "_45", "_45", "voice:fim", "click"}));
  EXPECT_EQ(seen[1], Position(4, 2));   // after CPF
  EXPECT_EQ(seen[3], Position(15, 2));  // the dashes skipped whole
  EXPECT_EQ(seen[5], Position(19, 2));  // the end of the row's text
}

TEST_F(ScreenReviewTest, FieldsFollowColoursAndStopAtDelimiters) {
  console_.GotoXY(1, 8);
  console_.SetTextAttr(0x07);
  console_.Write("Nome: ");
  console_.SetTextAttr(0x1E);
  console_.Write("Maria Silva");
  console_.SetTextAttr(0x07);
  console_.Write(" fim");
  const struct {
    const char* name;
    int column;
    std::vector<Press> presses;
    Journal heard;
    int column_after;
  } cases[] = {
      {"Ctrl+F1 on a delimiter", 5, {Key(vk::kF1, {.ctrl = true})}, {"beep"}, 5},
      {"Ctrl+F1 in a field", 13, {Key(vk::kF1, {.ctrl = true})}, {"voice:Maria", "voice:Silva", "click"}, 13},
      {"IC through the cursor", 13, {Typed("ic")}, {"voice:Maria", "voice:S", "click"}, 13},
      {"FC from the cursor", 13, {Typed("fc")}, {"voice:Silva", "click"}, 13},
      {"Tab to the next field", 13, {Typed("\t")}, {"click"}, 19},
      {"Tab from the delimiter", 5, {Typed("\t")}, {"click"}, 6},
  };
  for (const auto& c : cases) {
    const std::vector<Position> seen = Review(c.column, 8, c.presses);
    EXPECT_EQ(journal_, c.heard) << c.name;
    EXPECT_EQ(seen.back().first, c.column_after) << c.name;
  }
}

TEST_F(ScreenReviewTest, WordMovesAndLetterJumps) {
  Put(3, 4, "um  dois");
  Put(1, 9, "  ... fim 1");
  const struct {
    const char* name;
    Position start;
    Press key;
    const char* sound;
    Position end;
  } cases[] = {
      {"Ctrl+Right to the next word", {3, 4}, Ctrl(vk::kRight), "click", {7, 4}},
      {"Ctrl+Right past the last word", {7, 4}, Ctrl(vk::kRight), "beep", {11, 4}},
      {"Ctrl+Left to the word's start", {9, 4}, Ctrl(vk::kLeft), "click", {7, 4}},
      {"Ctrl+Left to the previous word", {7, 4}, Ctrl(vk::kLeft), "click", {3, 4}},
      {"Ctrl+Left before the first word", {3, 4}, Ctrl(vk::kLeft), "beep", {1, 4}},
  };
  for (const auto& c : cases) {
    const std::vector<Position> seen = Review(c.start.first, c.start.second, {c.key});
    EXPECT_EQ(journal_, Journal{c.sound}) << c.name;
    EXPECT_EQ(seen.back(), c.end) << c.name;
  }

  // The first and last letters of the screen; their line is read.
  std::vector<Position> seen = Review(50, 20, {Ctrl(vk::kPrior)});
  EXPECT_EQ(seen.back(), Position(3, 4));
  EXPECT_EQ(journal_, (Journal{"voice:um", "voice:dois", "click"}));
  seen = Review(50, 20, {Ctrl(vk::kNext), Key(vk::kEnd), Key(vk::kHome)});
  EXPECT_EQ(seen[1], Position(9, 9));  // the m of "fim"; "1" is no letter
  EXPECT_EQ(seen[2], Position(12, 9));
  EXPECT_EQ(seen[3], Position(1, 9));
}

TEST_F(ScreenReviewTest, ScreenRangesLeaveTheCursorWhereReadingStopped) {
  Put(1, 1, "um");
  Put(1, 2, "dois tres");
  Put(1, 25, "fim");
  std::vector<Position> seen = Review(6, 2, {Typed("it")});
  EXPECT_EQ(journal_, (Journal{"voice:um", "click", "voice:dois", "click"}));
  EXPECT_EQ(seen.back(), Position(6, 2));

  seen = Review(6, 2, {Typed("ft")});
  Journal expected = {"voice:tres", "click"};
  for (int row = 3; row <= 24; ++row) expected.push_back("click");
  expected.insert(expected.end(), {"voice:fim", "click"});
  EXPECT_EQ(journal_, expected);
  EXPECT_EQ(seen.back(), Position(4, 25));  // the end of the last row's text
}

TEST_F(ScreenReviewTest, SearchTextIsTypedFoundAgainAndKeptBetweenReviews) {
  // Nothing typed yet: nothing found.
  Review(1, 1, {Ctrl(vk::kF1 + 4)});
  EXPECT_EQ(journal_, (Journal{"beep", "beep"}));

  Put(10, 3, "bola");
  Put(20, 3, "bola");
  Put(5, 7, "Bola bola");
  std::vector<Position> seen =
      Review(1, 1, {Key(vk::kF1 + 4), Typed("b"), Typed("o"), Typed("x"), Typed("\b"), Typed("l"), Typed("a"), Typed("\r")});
  EXPECT_EQ(journal_, (Journal{"voice:Qual texto", "_98", "_111", "_120", "_DEL", "_120", "_108", "_97", "click"}));
  EXPECT_EQ(seen.back(), Position(10, 3));
  EXPECT_EQ(review_.SearchText(), "bola");

  // Again from a match: only matches after the cursor count; the search is
  // case-sensitive; at the end nothing more is found.
  seen = Review(10, 3, {Ctrl(vk::kF1 + 4), Ctrl(vk::kF1 + 4), Ctrl(vk::kF1 + 4)});
  EXPECT_EQ(seen[1], Position(20, 3));
  EXPECT_EQ(seen[2], Position(10, 7));
  EXPECT_EQ(seen[3], Position(10, 7));
  EXPECT_EQ(journal_, (Journal{"click", "click", "beep", "beep"}));

  // Escape abandons a new prompt and keeps the last search text.
  Review(1, 1, {Key(vk::kF1 + 4), Typed("x"), Typed("\x1b")});
  EXPECT_EQ(review_.SearchText(), "bola");
}

TEST_F(ScreenReviewTest, DownWhileALongLineIsReadStopsItAndReadsTheNextLine) {
  Put(1, 10, "um dois tres quatro cinco seis sete oito nove dez");
  Put(1, 11, "onze doze");
  voice_.word_ms = 100;
  console_.GotoXY(1, 10);
  fake_.events.SetIdleHandler([] {});
  const int64_t start = fake_.clock.NowMs();
  // Space reads row 10; Down comes while its third word is spoken.
  fake_.events.PostAt(start + 10, Typed(" "));
  fake_.events.PostAt(start + 250, Key(vk::kDown));
  fake_.events.PostAt(start + 5000, Typed("\x1b"));
  review_.ConsoleScreenReview();
  EXPECT_EQ(journal_, (Journal{"beep", "voice:um", "voice:dois", "voice:tres", "click", "voice:onze", "voice:doze",
                               "click", "beep", "beep"}));
}

TEST_F(ScreenReviewTest, PositionAndScreenCopy) {
  Review(7, 2, {Ctrl('K')});
  EXPECT_EQ(journal_, (Journal{"buffer:_dois", "buffer:_sete"}));

  Put(1, 1, "primeira");
  Put(75, 25, "\xE7\xE3o!");
  Review(1, 1, {keys::Ctrl('C')});
  ASSERT_TRUE(fake_.clipboard.text.has_value());
  const std::string copied = platform::Utf8ToCp1252(*fake_.clipboard.text, '?');
  ASSERT_EQ(copied.size(), 25u * 82);
  EXPECT_EQ(copied.substr(0, 82), "primeira" + std::string(72, ' ') + "\r\n");
  EXPECT_EQ(copied.substr(24 * 82 + 74, 8), "\xE7\xE3o!  \r\n");
  EXPECT_EQ(copied.substr(copied.size() - 2), "\r\n");
  EXPECT_TRUE(journal_.empty());
}

TEST_F(ScreenReviewTest, EnteredFromTheLineEditorWithCtrlAltF9OrCtrlShiftF9) {
  const platform::Modifiers ctrl_shift{.ctrl = true, .shift = true};
  const std::vector<platform::Event> chords[] = {keys::CtrlAlt(vk::kF1 + 8), Key(vk::kF1 + 8, ctrl_shift)};
  Put(1, 20, "ola");
  for (const auto& chord : chords) {
    journal_.clear();
    LineEditor editor(console_, speech_, sound_, fake_.shell, fake_.clipboard);
    editor.SetScreenReview([this] { review_.ConsoleScreenReview(); });
    const int64_t at = fake_.clock.NowMs();
    fake_.events.PostAt(at + 100, chord);
    fake_.events.PostAt(at + 200, Key(vk::kUp));  // in the review: row 19, empty
    fake_.events.PostAt(at + 300, Key(vk::kDown));  // row 20
    fake_.events.PostAt(at + 400, Typed("\x1b"));
    fake_.events.PostAt(at + 500, Typed("\r"));  // back in the editor
    std::string text = "12";
    EXPECT_EQ(editor.ReadLineEdit(text, 5, 20, 10, true), kEditEnter);
    EXPECT_EQ(journal_, (Journal{"beep", "click", "click", "voice:ola", "click", "beep", "beep"}));
    EXPECT_EQ(text, "12");
  }
}

class ScreenReviewSynthTest : public ScreenReviewTest {
 protected:
  ScreenReviewSynthTest() {
    WriteConfig("SAPI=S\n");
    speech_.SpeechStart(3, (root_ / "sons").string());
  }
};

TEST_F(ScreenReviewSynthTest, ExternalSynthesizerReadsWholeRows) {
  ASSERT_TRUE(speech_.Output().SynthActive());
  auto line = [](int row) { return "linha " + std::to_string(row) + std::string(30, '.') + " fim"; };
  for (int row = 3; row <= 25; ++row) Put(1, row, line(row));
  Put(40, 3, "X fim");
  const std::vector<Position> seen = Review(40, 3, {Typed("FT")});
  Journal expected = {"synth:X fim", "click"};
  for (int row = 4; row <= 25; ++row) {
    expected.push_back("synth:" + line(row));
    expected.push_back("click");
  }
  EXPECT_EQ(journal_, expected);
  EXPECT_EQ(seen.back(), Position(static_cast<int>(line(25).size()) + 1, 25));
}

TEST_F(ScreenReviewSynthTest, F1SkipsTheWordWhenAKeyIsAlreadyWaiting) {
  Put(1, 5, "casa azul");
  // Both presses of F1 arrive at once, then Escape.
  const std::vector<Position> seen = Review(1, 5, {keys::Then(Key(vk::kF1), Key(vk::kF1))});
  // The first F1 finds the second waiting and reads nothing, so the cursor
  // stays: the second F1 reads the first word and moves past it.
  EXPECT_EQ(journal_, (Journal{"synth:casa"}));
  EXPECT_EQ(seen.back(), Position(5, 5));
}

TEST_F(ScreenReviewTest, KeysFasterThanSpeechAndOddScreensNeverBreakIt) {
  // Every byte the screen can hold, in changing colours.
  for (int row = 1; row <= 25; ++row) {
    console_.GotoXY(1, row);
    for (int column = 1; column <= 80; ++column) {
      console_.SetTextAttr(static_cast<uint8_t>(row * 7 + column / 9));
      console_.WriteChar(static_cast<uint8_t>(32 + (row * 80 + column) % 224));
    }
  }
  sound_.sound_ms = 40;
  voice_.word_ms = 40;
  const std::vector<Press> commands = {
      Typed(" "), Typed("tt"), Typed("ft"), Typed("it"), Typed("tc"), Typed("\t"), Typed("\r"), Typed("\b"),
      Key(vk::kF1), Key(vk::kF1, {.ctrl = true}), Key(vk::kDown), Key(vk::kUp), Key(vk::kNext), Key(vk::kPrior),
      Ctrl(vk::kRight), Ctrl(vk::kLeft), Ctrl(vk::kNext), Ctrl(vk::kPrior), Key(vk::kRight), Key(vk::kLeft),
      Key(vk::kEnd), Key(vk::kHome), Key(vk::kF1 + 5), Key(vk::kF1 + 4), keys::Ctrl('C'), Ctrl(vk::kF1 + 4),
      Typed("\xE7\xFF\x7F")};
  console_.GotoXY(40, 12);
  int64_t at = fake_.clock.NowMs();
  for (int round = 0; round < 6; ++round) {
    for (const Press& press : commands) fake_.events.PostAt(at += 7, press);
  }
  // Beeps throw typed-ahead keys away, Escape among them: press it whenever
  // the review waits, until it leaves.
  fake_.events.SetIdleHandler([&] {
    EXPECT_GE(console_.WhereX(), 1);
    EXPECT_LE(console_.WhereX(), 80);
    EXPECT_GE(console_.WhereY(), 1);
    EXPECT_LE(console_.WhereY(), 25);
    fake_.Post(Typed("\x1b"));
  });
  review_.ConsoleScreenReview();
  EXPECT_EQ(console_.WhereX(), 40);
  EXPECT_EQ(console_.WhereY(), 12);
  EXPECT_EQ(journal_.back(), "beep");
}

}  // namespace
}  // namespace placarim::editor

namespace placarim::editor {
namespace {

// The braille display follows the review: its row, the cursor on the column;
// a routing key moves the review cursor to the character under it.
TEST_F(ScreenReviewTest, TheBrailleDisplayShowsTheReviewedRowAndRoutesTheCursor) {
  platform::fake::FakeBrailleDisplay display(fake_.events, fake_.clock, 40);
  console_.AttachBrailleDisplay(&display);
  Put(1, 4, "Casa 12");
  Put(1, 5, "7+8=15");
  display.PressAt(fake_.clock.NowMs() + 1000, {platform::BrailleKey::Kind::Routing, 2});  // the first "a"
  Review(1, 4, {Key(vk::kDown)});
  console_.AttachBrailleDisplay(nullptr);

  const auto window = [](std::string_view text, int cursor) {
    platform::BrailleWindow w;
    w.cells = braille::ToBraille(text).cells;
    w.cursor = cursor;
    return w;
  };
  const auto shown = [&](const platform::BrailleWindow& w) {
    return std::find(display.shown.begin(), display.shown.end(), w) != display.shown.end();
  };
  EXPECT_TRUE(shown(window("Casa 12", 0)));  // capital sign and C: the cursor on the first
  EXPECT_TRUE(shown(window("Casa 12", 2)));
  EXPECT_EQ(journal_.front(), "_97");  // the character reached is said
  EXPECT_TRUE(std::any_of(display.shown.begin(), display.shown.end(), [&](const platform::BrailleWindow& w) {
    return w.cells == braille::ToBraille("7+8=15").cells;
  })) << "the row below was never shown";
}

// Which words are spelled rather than pronounced: each reader answers as its
// own letter set says, all of them asked of the language library. The line
// editor spells runs of B-D F-H J-N P-T V X Z, the review adds W, the
// translator (after turning w and y beside letters into u and i, and ç into
// ss) every ASCII consonant, and Ilvra's normaliser Ç and Ñ too.
TEST_F(ScreenReviewTest, EveryReaderSpellsConsonantRunsByItsOwnLetters) {
  const struct {
    const char* word;
    bool editor, review, translator, ilvra;
  } cases[] = {
      {"CPF", true, true, true, true},   {"wc", false, true, false, true},
      {"xyz", false, false, false, true}, {"\xC7\xC7", false, false, true, true},
      {"casa", false, false, false, false},
  };
  const tradutor::Translator translator;
  const ilvra::AbbreviationTable no_abbreviations;
  for (const auto& c : cases) {
    const std::string word = c.word;
    Journal spelled;
    for (char ch : word) spelled.push_back("_" + std::to_string(static_cast<uint8_t>(ch)));
    const Journal spoken = {"voice:" + word};

    console_.GotoXY(1, 9);
    console_.ClrEol();
    Put(1, 9, word);
    Review(1, 9, {Key(vk::kF1)});
    EXPECT_EQ(journal_, c.review ? spelled : spoken) << word << " in the review";

    journal_.clear();
    LineEditor editor(console_, speech_, sound_, fake_.shell, fake_.clipboard);
    const int64_t at = fake_.clock.NowMs();
    fake_.events.PostAt(at + 100, Key(vk::kF1));
    fake_.events.PostAt(at + 200, Typed("\r"));
    std::string text = word;
    editor.ReadLineEdit(text, 1, 10, 10, false);
    EXPECT_EQ(journal_, c.editor ? spelled : spoken) << word << " in the line editor";

    // Spelled, every letter is a unit of its own: "[ /_c][ /_p][ /_f]".
    const std::string codes = translator.TranslateToDiphoneCodes(word);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), '[') > 1, c.translator) << word << ": " << codes;
    const std::string named = ilvra::NormalizeText(word, no_abbreviations);
    EXPECT_EQ(named != word, c.ilvra) << word << " read by Ilvra as " << named;
  }
}

// Written sums as each voice hears them through the review. The built-in
// voice plays recorded number words and says the operator words itself.
TEST_F(ScreenReviewTest, SumsAreReadAsSumsByTheBuiltInVoice) {
  for (const char* key : {"_doze", "_cinco", "_oito", "_cinquen", "_e", "_seis", "_dez", "_tres", "_quatro"}) {
    WriteWave(key);
  }
  const struct {
    const char* row;
    Journal heard;
  } cases[] = {
      {"12-5=7", {"buffer:_doze", "voice: menos", "buffer:_cinco", "voice: igual a", "buffer:_sete"}},
      {"7x8=56", {"buffer:_sete", "voice: vezes", "buffer:_oito", "voice: igual a", "buffer:_cinquen_e_seis"}},
      {"10:2=", {"buffer:_dez", "voice: dividido por", "buffer:_dois", "voice: igual"}},
      {"10\xF7" "2", {"buffer:_dez", "voice: dividido por", "buffer:_dois"}},
      {"3 + 4 =", {"buffer:_tres", "voice: mais", "buffer:_quatro", "voice: igual"}},
      // A telephone is no sum: its parts are read one by one, as before
      // (the words it lacks here, mil and the tens, are not recorded).
      {"3333-4444", {"buffer:_tres_e_e_e_tres", "_MENOS", "buffer:_quatro_e_e_e_quatro"}},
  };
  for (const auto& c : cases) {
    console_.GotoXY(1, 9);
    console_.ClrEol();
    Put(1, 9, c.row);
    Review(1, 9, {Typed(" ")});
    Journal heard = c.heard;
    heard.push_back("click");
    EXPECT_EQ(journal_, heard) << c.row;
  }
}

// An external synthesizer is handed the sum in words; Ilvra's normaliser and
// espeak-ng then say the numbers. What espeak-ng makes of the handed text is
// compared with what it makes of the intended words, sound by sound: stress,
// pauses and the voicing of a final s before a vowel differ with word
// boundaries and are left out.
TEST_F(ScreenReviewSynthTest, SumsAreHandedToIlvraAndEspeakAsSums) {
  ASSERT_GE(espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, 0), 0);
  ASSERT_EQ(espeak_SetVoiceByName("pt-br"), EE_OK);
  const auto espeak_phonemes = [](const std::string& cp1252) {
    const std::string utf8 = platform::Cp1252ToUtf8(cp1252);
    const void* text = utf8.c_str();
    std::string phonemes;
    while (text != nullptr) phonemes += espeak_TextToPhonemes(&text, espeakCHARS_UTF8, 0);
    std::string sounds;
    for (char p : phonemes) {
      if (std::isalpha(static_cast<unsigned char>(p)) || p == '&' || p == '~') sounds += p == 'z' ? 's' : p == 'j' ? 'y' : p;
    }
    return sounds;
  };
  const ilvra::AbbreviationTable no_abbreviations;
  const struct {
    const char* row;
    const char* words;  // the sum as a child should hear it
  } cases[] = {
      {"12-5=7", "doze menos cinco igual a sete"},
      {"7x8=56", "sete vezes oito igual a cinquenta e seis"},
      {"10:2=", "dez dividido por dois igual"},
      {"10\xF7" "2", "dez dividido por dois"},
      {"12 - 5 =", "doze menos cinco igual"},
      {"1024+1=1025", "mil e vinte e quatro mais um igual a mil e vinte e cinco"},
  };
  int right = 0;
  for (const auto& c : cases) {
    console_.GotoXY(1, 9);
    console_.ClrEol();
    Put(1, 9, c.row);
    for (const Press& press : {Typed(" "), Key(vk::kF1)}) {
      console_.GotoXY(1, 9);
      Review(1, 9, {press});
      ASSERT_FALSE(journal_.empty()) << c.row;
      ASSERT_TRUE(journal_.front().starts_with("synth:")) << c.row;
      const std::string handed = journal_.front().substr(6);
      std::string ilvra_words = ilvra::NormalizeText(handed, no_abbreviations);
      std::erase(ilvra_words, ' ');
      std::string expected = c.words;
      std::erase(expected, ' ');
      EXPECT_EQ(ilvra_words, expected) << c.row << " handed as " << handed;
      EXPECT_EQ(espeak_phonemes(handed), espeak_phonemes(c.words)) << c.row << " handed as " << handed;
      right += ilvra_words == expected && espeak_phonemes(handed) == espeak_phonemes(c.words);
    }
  }
  std::printf("sums read right through the review by Ilvra and espeak-ng: %d of %zu\n", right,
              2 * std::size(cases));
}

}  // namespace
}  // namespace placarim::editor
