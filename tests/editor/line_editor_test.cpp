// The line editor on the real console over the headless platform: keys are
// scripted one by one at the moments the editor waits for them, sounds are
// journaled by name ("_DEL", "_51" for the character 3, "beep", "click").
#include "editor/line_editor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/fake/fake_platform.h"
#include "platform/vk.h"
#include "sound/wave_player.h"
#include "speech/console_link.h"
#include "speech/ini_reader.h"
#include "speech/speech.h"
#include "speech/wave_image.h"
#include "tests/support/speech_fakes.h"

namespace placarim::editor {
namespace {

namespace fs = std::filesystem;
namespace vk = platform::vk;
using namespace speech;  // the layer the editor speaks through
namespace keys = platform::fake::keys;
using speech::testing::FakeSound;
using speech::testing::FakeVoice;
using speech::testing::Journal;

// Wave playback as the editor and the speech layer see it, journaled: files by
// their name without ".wav", images by their content.
class JournalSound final : public placarim::testing::SoundOutputBase {
 public:
  JournalSound(Journal& journal, console::Console& console, platform::Clock& clock)
      : journal_(journal), console_(console), clock_(clock) {}
  int PlayFile(const std::string& path) override {
    if (console_.KeyPressed()) return 0;
    std::string name = fs::path(path).filename().string();
    if (name.ends_with(".wav")) name.resize(name.size() - 4);
    if (!fs::exists(path)) name += "(missing)";
    journal_.push_back(name);
    file_times.push_back(clock_.NowMs());
    return 0;
  }
  int PlayMemory(const std::vector<uint8_t>& image) override {
    if (console_.KeyPressed()) return 0;
    journal_.push_back(FakeSound::Describe(image));
    return 0;
  }
  // The speech layer and the editor never hand over raw samples (the base throws).
  void SetCondense(bool) override {}
  void SetSpeedUp(bool on) override {
    speed_up = on;
    speed_changes.push_back(on);
  }
  std::vector<bool> speed_changes;
  std::vector<int64_t> file_times;  // when each file began, on the platform's clock

 private:
  Journal& journal_;
  console::Console& console_;
  platform::Clock& clock_;
};

class LineEditorTest : public ::testing::Test {
 protected:
  LineEditorTest() {
    fs::remove_all(root_);
    fs::create_directories(root_ / "etc");
    fs::create_directories(root_ / "letras");
    fs::create_directories(root_ / "sons");
    ::setenv("PLACARIM_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    WriteConfig("");
    for (const char* key : {"_DEL", "_APFCPO", "_APICPO", "_CPOAPA", "_FALACI", "_FALDLG", "_VELOC", "_quatro",
                            "_quarent", "_e", "_dois", "dtmf_1", "dtmf_2", "dtmf_X", "dtmf_#"}) {
      WriteWave(key, key);
    }
    for (int c = 32; c < 127; ++c) WriteWave("_" + std::to_string(c), std::string(1, static_cast<char>(c)));
    voice_.letters_directory = (root_ / "letras").string() + "/";
    speech_.AttachVoice(voice_);
    speech_.SpeechStart(3, (root_ / "sons").string());
    journal_.clear();
  }
  ~LineEditorTest() override { fs::remove_all(root_); }

  static fs::path Root() {
    return fs::path(::testing::TempDir()) /
           ("line_editor_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  void WriteConfig(const std::string& faldek_section) {
    std::ofstream(root_ / "etc" / "FALDEK.INI")
        << "[TRADUTOR]\nDIRLETRAS=" << (root_ / "letras").string() << "\n[FALDEK]\n"
        << faldek_section;
  }
  void WriteWave(const std::string& key, const std::string& samples) {
    const std::vector<uint8_t> image =
        MakeSpeechImage(reinterpret_cast<const uint8_t*>(samples.data()), samples.size());
    std::ofstream(root_ / "letras" / (key + ".wav"), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  }

  // Each press arrives 100 ms after the previous one, so the editor meets
  // them one at a time, as a child types.
  void Keys(std::initializer_list<std::vector<platform::Event>> presses) {
    int64_t at = fake_.clock.NowMs();
    for (const auto& press : presses) fake_.events.PostAt(at += 100, press);
  }
  static std::vector<platform::Event> Typed(std::string_view text) { return keys::Type(text); }
  static std::vector<platform::Event> Key(int key, platform::Modifiers mods = {}) { return keys::Press(key, mods); }
  static std::vector<platform::Event> Shift(int key) { return keys::Press(key, {.shift = true}); }

  int Edit(std::string& text, int length = 10, bool editable = true, int x = 5, int y = 3) {
    return editor_.ReadLineEdit(text, x, y, length, editable);
  }
  std::string Row(int y) const { return fake_.screen.RowText(y - 1); }

  fs::path root_ = Root();
  platform::fake::FakePlatform fake_;
  console::Console console_{fake_, root_.string()};
  Journal journal_;
  JournalSound sound_{journal_, console_, fake_.clock};
  ConsoleLink link_{console_, fake_.clock};
  IniReader ini_{root_.string()};
  Speech speech_{console_, link_, sound_, ini_, nullptr, 7};
  FakeVoice voice_{journal_};
  LineEditor editor_{console_, speech_, sound_, fake_.shell, fake_.clipboard};
};

TEST_F(LineEditorTest, FirstKeyReplacesOldContentsWithTwoClicks) {
  std::string text = "12";
  Keys({Typed("3"), Typed("\r")});
  EXPECT_EQ(Edit(text), kEditEnter);
  EXPECT_EQ(text, "3");
  EXPECT_EQ(journal_, (Journal{"click", "click", "_51"}));
}

TEST_F(LineEditorTest, MovingFirstKeepsContents) {
  std::string text = "12";
  Keys({Key(vk::kEnd), Typed("3"), Typed("\r")});
  EXPECT_EQ(Edit(text), kEditEnter);
  EXPECT_EQ(text, "123");
  EXPECT_EQ(journal_, (Journal{"_51"}));
  EXPECT_EQ(Row(3).substr(4, 10), "123       ");
}

TEST_F(LineEditorTest, TypingIntoAFullFieldDropsTheLastCharacter) {
  editor_.first_key_clears = false;
  std::string text = "abcdefghij";
  Keys({Typed("x"), Typed("\r")});
  Edit(text);
  EXPECT_EQ(text, "xabcdefghi");
}

TEST_F(LineEditorTest, EndsOfTheFieldBeep) {
  std::string text = "abcdefghij";
  std::initializer_list<std::vector<platform::Event>> rights = {
      Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kRight),
      Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kRight),
      Key(vk::kRight), Typed("\r")};
  Keys(rights);
  Edit(text);
  ASSERT_EQ(journal_.size(), 11u);
  EXPECT_EQ(journal_[9], "_106");  // j, the tenth character, spoken on the way to 11
  EXPECT_EQ(journal_[10], "beep");
  EXPECT_EQ(fake_.screen.caret.col + 1, 0 + 5 + 10);  // column x + 10: just past the field

  journal_.clear();
  Keys({Key(vk::kBack), Key(vk::kLeft), Typed("\r")});
  Edit(text);
  EXPECT_EQ(journal_, (Journal{"beep", "beep"}));
  EXPECT_EQ(text, "abcdefghij");
}

TEST_F(LineEditorTest, CtrlURestoresTheEntryTextWithThreeBeeps) {
  std::string text = "12";
  Keys({Key(vk::kEnd), Typed("34"), keys::Ctrl('U'), Typed("\r")});
  Edit(text);
  EXPECT_EQ(text, "12");
  const Journal tail(journal_.end() - 3, journal_.end());
  EXPECT_EQ(tail, (Journal{"beep", "beep", "beep"}));
}

TEST_F(LineEditorTest, WholeFieldCommands) {
  struct Case {
    const char* name;
    std::vector<platform::Event> key;
    const char* expected;
    const char* sound;
  };
  const Case cases[] = {
      {"Ctrl+D clears from the cursor", keys::Ctrl('D'), "ab", "_APFCPO"},
      {"Ctrl+S clears before the cursor", keys::Ctrl('S'), "cdef", "_APICPO"},
      {"Ctrl+Y clears the field", keys::Ctrl('Y'), "", "_CPOAPA"},
  };
  for (const Case& c : cases) {
    journal_.clear();
    std::string text = "abcdef";
    Keys({Key(vk::kRight), Key(vk::kRight), c.key, Typed("\r")});
    Edit(text);
    EXPECT_EQ(text, c.expected) << c.name;
    EXPECT_EQ(journal_.back(), c.sound) << c.name;
  }
}

TEST_F(LineEditorTest, CtrlKSpeaksTheCursorPosition) {
  std::string text = "abcdef";
  Keys({Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), keys::Ctrl('K'), Typed("\r")});
  Edit(text);
  EXPECT_EQ(journal_.back(), "buffer:_quatro");
}

TEST_F(LineEditorTest, ShiftRightSelectsAndShiftDelDeletesTheSelection) {
  std::string text = "abcdef";
  Keys({Shift(vk::kRight), Shift(vk::kRight), Shift(vk::kRight), Shift(vk::kDelete), Typed("\r")});
  Edit(text);
  EXPECT_EQ(text, "def");
  EXPECT_EQ(journal_, (Journal{"_97", "_98", "_99", "_DEL", "_97", "_98", "_99"}));
}

TEST_F(LineEditorTest, ShiftDelOnAnEmptySelectionDeletesTheCharacterAtTheCursor) {
  std::string text = "abcdef";
  // The first Shift+Del deletes "ab" and leaves an empty selection at 1; the
  // second deletes "c" like a plain Del instead of doing nothing.
  Keys({Shift(vk::kRight), Shift(vk::kRight), Shift(vk::kDelete), Shift(vk::kDelete), Typed("\r")});
  Edit(text);
  EXPECT_EQ(text, "def");
  EXPECT_EQ(journal_, (Journal{"_97", "_98", "_DEL", "_97", "_98", "_DEL", "_99"}));
}

TEST_F(LineEditorTest, SelectionIsDrawnOnBackgroundEight) {
  std::string text = "abcdef";
  bool checked = false;
  Keys({Shift(vk::kRight), Shift(vk::kRight)});
  fake_.events.SetIdleHandler([&] {
    if (checked) return;
    checked = true;
    // Waiting for the third key: the field shows "ab" selected.
    const auto& selected = fake_.screen.At(4, 2);
    const auto& plain = fake_.screen.At(6, 2);
    EXPECT_EQ(selected.ch, 'a');
    EXPECT_EQ(selected.bg, (platform::Rgb{128, 128, 128}));
    EXPECT_EQ(plain.ch, 'c');
    EXPECT_EQ(plain.bg, (platform::Rgb{0, 0, 0}));
    fake_.Post(keys::Type("\r"));
  });
  Edit(text);
  EXPECT_TRUE(checked);
}

TEST_F(LineEditorTest, CopyAndPaste) {
  std::string text = "ab c";
  Keys({keys::Ctrl('C'), Typed("\r")});
  Edit(text);
  EXPECT_EQ(fake_.clipboard.text, std::optional<std::string>("ab c\r\n"));

  // Paste as the first key replaces the field; the pasted text is cut at its
  // line end and to the field's length.
  fake_.clipboard.text = "12345678901234\r\nsecond line";
  text = "old";
  Keys({keys::Ctrl('V'), Typed("\r")});
  Edit(text);
  EXPECT_EQ(text, "1234567890");

  fake_.clipboard.text = "XY";
  text = "abcd";
  Keys({Key(vk::kRight), Key(vk::kRight), keys::Ctrl('V'), Typed("\r")});
  Edit(text);
  EXPECT_EQ(text, "abXYcd");
}

// After "ab" of "abcd" is selected, which keys keep the selection: Ctrl+Ins
// then copies either the selection or, without one, the whole field; an
// empty selection (both ends on one position) copies nothing and beeps.
TEST_F(LineEditorTest, WhichKeysKeepTheSelection) {
  const struct {
    const char* name;
    std::vector<platform::Event> key;
    const char* copied;
  } cases[] = {
      {"Ctrl+C keeps it", keys::Ctrl('C'), "ab"},
      {"focus lost keeps it", {keys::Char(223)}, "ab"},
      {"Shift+Right widens it", Shift(vk::kRight), "abc"},
      {"typing clears it", Typed("x"), "abxcd\r\n"},
      {"Home clears it", Key(vk::kHome), "abcd\r\n"},
      // Alt alone makes a system key; the digit codes come with Ctrl+Alt.
      {"Alt+digit clears it", keys::CtrlAlt('1'), "abcd\r\n"},
      {"Shift+Home back to the anchor empties it", Shift(vk::kHome), nullptr},
  };
  editor_.echo_typing = false;
  for (const auto& c : cases) {
    fake_.clipboard.text.reset();
    std::string text = "abcd";
    Keys({Shift(vk::kRight), Shift(vk::kRight), c.key, Key(vk::kInsert, {.ctrl = true}), Typed("\r")});
    journal_.clear();
    Edit(text);
    const auto copied = c.copied ? std::optional<std::string>(c.copied) : std::nullopt;
    EXPECT_EQ(fake_.clipboard.text, copied) << c.name;
    EXPECT_EQ(std::count(journal_.begin(), journal_.end(), "beep"), c.copied ? 0 : 1) << c.name;
  }
}

TEST_F(LineEditorTest, HostileClipboardNeverOverflowsTheField) {
  const std::string huge(3 * 1024 * 1024, 'z');
  const std::vector<std::string> clips = {huge, std::string("\x01\x02\x1b[2J", 7), "\xE4\xB8\xAD\xE6\x96\x87"};
  for (const std::string& clip : clips) {
    fake_.clipboard.text = clip;
    std::string text;
    Keys({Key(vk::kInsert, {.shift = true}), Typed("\r")});
    Edit(text, 10);
    EXPECT_LE(text.size(), 10u);
  }
  fake_.clipboard.text = huge;
  std::string text;
  Keys({keys::Ctrl('V'), Typed("\r")});
  Edit(text, 100000);
  EXPECT_EQ(text.size(), static_cast<size_t>(kMaxFieldLength));
}

TEST_F(LineEditorTest, F12OpensTheWordWithTheProgramOfItsExtension) {
  WriteConfig("PROG.TXT=c:\\bin\\leitor\n");
  std::string text = "ver (notas.txt) hoje";
  Keys({Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kRight), Key(vk::kF12),
        Typed("\r")});
  Edit(text, 30);
  ASSERT_EQ(fake_.shell.launches.size(), 1u);
  EXPECT_EQ(fake_.shell.launches[0].program, "/bin/leitor");
  EXPECT_EQ(fake_.shell.launches[0].args, (std::vector<std::string>{"notas.txt)"}));
  EXPECT_EQ(fake_.shell.launches[0].directory, fs::current_path().string());
}

TEST_F(LineEditorTest, OpeningWithoutAConfiguredProgramUsesTheDesktopAndAFailedStartBeeps) {
  editor_.OpenLinkOrFile("www.exemplo.org");
  ASSERT_EQ(fake_.shell.launches.size(), 1u);
  EXPECT_EQ(fake_.shell.launches[0].program, "xdg-open");
  EXPECT_EQ(fake_.shell.launches[0].args, (std::vector<std::string>{"www.exemplo.org"}));
  EXPECT_TRUE(journal_.empty());

  fake_.shell.fail = true;
  editor_.OpenLinkOrFile("jogo.exe");
  ASSERT_EQ(fake_.shell.launches.size(), 2u);
  EXPECT_EQ(fake_.shell.launches[1].program, (fs::current_path() / "jogo.exe").string());
  EXPECT_TRUE(fake_.shell.launches[1].args.empty());
  EXPECT_EQ(journal_, (Journal{"beep"}));
}

TEST_F(LineEditorTest, ProgramsNamedInTheFieldStartFromTheirWindowsPathOrTheCurrentDirectory) {
  // A current directory with an accent, as a pupil's home often has.
  const fs::path start = fs::current_path();
  const fs::path directory = root_ / "Jo\xC3\xA3o";
  fs::create_directories(directory);
  fs::current_path(directory);
  editor_.OpenLinkOrFile("c:\\jogos\\corrida.exe");
  editor_.OpenLinkOrFile("\\jogos\\corrida.com");
  editor_.OpenLinkOrFile("\xE1gua.exe");  // a Windows-1252 name
  fs::current_path(start);
  ASSERT_EQ(fake_.shell.launches.size(), 3u);
  EXPECT_EQ(fake_.shell.launches[0].program, "/jogos/corrida.exe");
  EXPECT_EQ(fake_.shell.launches[1].program, "/jogos/corrida.com");
  EXPECT_EQ(fake_.shell.launches[2].program, (directory / "\xC3\xA1gua.exe").string());
  for (const auto& launch : fake_.shell.launches) {
    EXPECT_TRUE(launch.args.empty());
    EXPECT_EQ(launch.directory, directory.string());
  }
}

TEST_F(LineEditorTest, WordToOpenStripsMarksButKeepsClosingBrackets) {
  const struct {
    const char* field;
    int cursor;
    const char* word;
  } cases[] = {
      {"ver (notas.txt) hoje", 6, "notas.txt)"},
      {"\"www.a.com.\"", 1, "www.a.com"},
      {"a  b", 3, ""},  // on a space there is no word
      {"ab cd", 5, "cd"},
      {"<<>>", 2, ""},
      {"", 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WordToOpen(c.field, c.cursor), c.word) << c.field;
}

TEST_F(LineEditorTest, AltF1EndsSilentlyAndF1AtTheEndBeeps) {
  // The desktop keeps Alt+F1 as a system key; the code pair reaches the editor
  // from a key-down that the console does pass, with Alt held.
  std::string text = "abc";
  platform::Event alt_f1 = keys::KeyDown(vk::kF1, {.alt = true});
  alt_f1.system = false;
  Keys({{alt_f1, keys::KeyUp(vk::kF1, {.alt = true})}});
  EXPECT_EQ(Edit(text), kEditAltF1);
  EXPECT_TRUE(journal_.empty());

  Keys({Key(vk::kEnd), Key(vk::kF1), Typed("\r")});
  Edit(text);
  EXPECT_EQ(journal_, (Journal{"beep"}));
}

TEST_F(LineEditorTest, F1ReadsWordsAndSpellsConsonantRuns) {
  std::string text = "CPF casa 42";
  Keys({Key(vk::kF1), Key(vk::kF1), Key(vk::kF1), Typed("\r")});
  Edit(text, 20);
  EXPECT_EQ(journal_, (Journal{"_67", "_80", "_70", "voice:<casa >", "buffer:_quarent_e_dois"}));
}

TEST_F(LineEditorTest, UnhandledExtendedKeysEndEditingWithTheirCode) {
  const struct {
    int key;
    platform::Modifiers mods;
    int result;
  } cases[] = {{vk::kUp, {}, 72}, {vk::kDown, {}, 80}, {vk::kPrior, {}, 73}, {vk::kF1 + 1, {}, 60},
               {vk::kF1 + 8, {.ctrl = true}, kEditCtrlF9}};
  for (const auto& c : cases) {
    std::string text = "x";
    Keys({Key(c.key, c.mods)});
    EXPECT_EQ(Edit(text), c.result) << c.key;
  }
  for (const char* ending : {"\t", "\x1b"}) {
    std::string text;
    Keys({Typed(ending)});
    EXPECT_EQ(Edit(text), ending[0]);
  }
}

TEST_F(LineEditorTest, WordMovesClickAndBeepAtTheEnds) {
  std::string text = "um dois 33";
  Keys({keys::Press(vk::kRight, {.ctrl = true}), keys::Press(vk::kRight, {.ctrl = true}),
        keys::Press(vk::kRight, {.ctrl = true}), keys::Press(vk::kLeft, {.ctrl = true}),
        keys::Ctrl(vk::kBack), Typed("\r")});
  Edit(text);
  // to "dois", to "33", past the end (beep, cursor after 33), back to "33",
  // then Ctrl+Backspace deletes "33" with one "_DEL".
  EXPECT_EQ(journal_, (Journal{"click", "click", "beep", "click", "_DEL", "_51", "_51"}));
  EXPECT_EQ(text, "um dois");
}

TEST_F(LineEditorTest, NonEditableFieldsMoveButNeverChange) {
  std::string text = "abc";
  Keys({Key(vk::kEnd), keys::Ctrl('Y'), Key(vk::kBack), Key(vk::kDelete), Typed("z"), Typed("\r")});
  Edit(text, 10, false);
  EXPECT_EQ(text, "abc");
  EXPECT_TRUE(journal_.empty());
}

TEST_F(LineEditorTest, TelephoneTonesPlayWithoutSpeedUpAndWithTheirGaps) {
  sound_.speed_up = true;
  std::string text = "1*,#";
  const int64_t before = fake_.clock.NowMs();
  sound_.speed_changes.clear();
  const platform::Modifiers ctrl{.ctrl = true};
  const std::vector<platform::Event> dial = {keys::KeyDown(0xDC, ctrl), keys::Char(28, ctrl),
                                             keys::KeyUp(0xDC, ctrl)};
  fake_.events.PostAt(before + 100, dial);
  fake_.events.PostAt(before + 5000, Typed("\r"));
  sound_.file_times.clear();
  Edit(text);
  EXPECT_EQ(journal_, (Journal{"dtmf_1", "dtmf_X", "dtmf_#"}));
  // 100 ms after each tone; the comma adds a second of silence.
  ASSERT_EQ(sound_.file_times.size(), 3u);
  EXPECT_EQ(sound_.file_times[1] - sound_.file_times[0], 100);
  EXPECT_EQ(sound_.file_times[2] - sound_.file_times[1], 1100);
  EXPECT_EQ(sound_.speed_changes, (std::vector<bool>{false, true}));

  // A key during the dialling ends it: the Enter at 300 ms comes during the
  // comma's second of silence, so "#" is never dialled.
  journal_.clear();
  const int64_t now = fake_.clock.NowMs();
  fake_.events.PostAt(now + 100, dial);
  fake_.events.PostAt(now + 300, Typed("\r"));
  Edit(text);
  EXPECT_EQ(journal_, (Journal{"dtmf_1", "dtmf_X"}));
}

// Keys that speak or play something and leave the field as it was: each is
// checked against what the speech layer says when asked directly.
TEST_F(LineEditorTest, SpeakingKeysSayWhatTheSpeechLayerSays) {
  const std::string padded = "ab 12     ";
  speech_.Sounds().SpeakTime();
  const Journal time(journal_);
  journal_.clear();
  speech_.Sounds().SpeakDate();
  const Journal date(journal_);
  journal_.clear();
  speech_.Text().SpeakText(padded);
  const Journal field(journal_);
  const struct {
    const char* name;
    std::vector<platform::Event> key;
    Journal expected;
  } cases[] = {
      {"F8 the time", Key(vk::kF1 + 7), time},
      {"Ctrl+F8 the date", Key(vk::kF1 + 7, {.ctrl = true}), date},
      {"Ctrl+F1 the whole field", Key(vk::kF1, {.ctrl = true}), field},
      {"focus gained: the whole field", {keys::Char(222)}, field},
      {"focus lost: nothing", {keys::Char(223)}, {}},
      {"Alt+digit: nothing", keys::CtrlAlt('5'), {}},
      {"Alt+Right on a letter: its second recording", keys::Alt(vk::kRight), {"_FON97(missing)"}},
  };
  for (const auto& c : cases) {
    journal_.clear();
    std::string text = "ab 12";
    Keys({c.key, Typed("\r")});
    EXPECT_EQ(Edit(text), kEditEnter) << c.name;
    EXPECT_EQ(text, "ab 12") << c.name;
    EXPECT_EQ(journal_, c.expected) << c.name;
  }
  // Alt+Right on anything but an ASCII letter speaks the character.
  journal_.clear();
  std::string text = "1";
  Keys({keys::Alt(vk::kRight), Typed("\r")});
  Edit(text);
  EXPECT_EQ(journal_, (Journal{"_49"}));
}

TEST_F(LineEditorTest, F4SwitchesTheTypingEchoForLaterFieldsToo) {
  std::string text;
  Keys({Key(vk::kF1 + 3), Typed("a"), Typed("\r")});
  Edit(text);
  EXPECT_EQ(journal_, (Journal{"_FALDLG"}));
  EXPECT_EQ(text, "a");

  journal_.clear();
  text.clear();
  Keys({Typed("b"), Key(vk::kF1 + 3), Typed("c"), Typed("\r")});
  Edit(text);
  EXPECT_EQ(journal_, (Journal{"_FALACI", "_99"}));
  EXPECT_EQ(text, "bc");
}

TEST_F(LineEditorTest, HomeGoesToTheStart) {
  std::string text = "ab";
  Keys({Key(vk::kEnd), Key(vk::kHome), Typed("x"), Typed("\r")});
  Edit(text);
  EXPECT_EQ(text, "xab");
}

TEST_F(LineEditorTest, CtrlF4RestartsTheSpeechAtTheLastKeysSpeed) {
  const std::string directory = speech_.Sounds().ProgramSoundDirectory();
  editor_.echo_typing = false;
  const struct {
    const char* name;
    std::vector<platform::Event> answer;  // typed all at once after Ctrl+F4
    int speed;
    Journal heard;
  } cases[] = {
      {"a digit chooses the speed", Typed("2"), 2, {"_VELOC", "_50"}},
      // The 1 is cut short by the 4 already waiting.
      {"the last of keys typed together counts", Typed("14"), 4, {"_VELOC", "_52"}},
      {"Esc keeps the speed", Typed("\x1b"), 4, {"_VELOC", "_27(missing)"}},
      {"Enter keeps the speed", Typed("\r"), 4, {"_VELOC", "_13(missing)"}},
      {"another letter gives speed 3", Typed("x"), 3, {"_VELOC", "_120"}},
  };
  for (const auto& c : cases) {
    journal_.clear();
    std::string text = "5";
    const int64_t at = fake_.clock.NowMs();
    fake_.events.PostAt(at + 100, Key(vk::kF1 + 3, {.ctrl = true}));
    fake_.events.PostAt(at + 200, c.answer);
    fake_.events.PostAt(at + 300, Typed("\r"));
    EXPECT_EQ(Edit(text), kEditEnter) << c.name;
    EXPECT_EQ(speech_.Output().Speed(), c.speed) << c.name;
    EXPECT_EQ(speech_.Sounds().ProgramSoundDirectory(), directory) << c.name;
    EXPECT_EQ(journal_, c.heard) << c.name;
  }
  EXPECT_FALSE(editor_.echo_typing);  // the echo setting outlives the restart
}

TEST_F(LineEditorTest, PasteReplacesTheSelectionAndSelectsWhatItInserted) {
  editor_.echo_typing = false;
  fake_.clipboard.text = "XYZ";
  std::string text = "ab cd";
  // Select "ab", paste over it, copy the selection (the pasted text), then
  // delete it again with Shift+Del.
  Keys({Shift(vk::kRight), Shift(vk::kRight), keys::Ctrl('V'), Key(vk::kInsert, {.ctrl = true}),
        Shift(vk::kDelete), Typed("\r")});
  Edit(text);
  EXPECT_EQ(fake_.clipboard.text, std::optional<std::string>("XYZ"));
  EXPECT_EQ(text, " cd");
  const Journal tail(journal_.end() - 4, journal_.end());
  EXPECT_EQ(tail, (Journal{"_DEL", "_88", "_89", "_90"}));
}

TEST_F(LineEditorTest, CtrlBackspaceDeletesTheWordAroundTheCursor) {
  const struct {
    const char* field;
    int rights;  // Right presses before Ctrl+Backspace
    const char* result;
  } cases[] = {
      {"um dois tres", 5, "um tres"},  // inside "dois": the word and its space
      {"um dois tres", 3, "um tres"},  // on its first letter
      {"um  dois", 3, "um dois"},      // on the second of two spaces: that space
      {"123 ab", 0, "ab"},
      {"ab", 2, ""},                   // after the last word
  };
  for (const auto& c : cases) {
    std::string text = c.field;
    Keys({});
    int64_t at = fake_.clock.NowMs();
    for (int i = 0; i < c.rights; ++i) fake_.events.PostAt(at += 100, Key(vk::kRight));
    fake_.events.PostAt(at += 100, keys::Ctrl(vk::kBack));
    fake_.events.PostAt(at += 100, Typed("\r"));
    Edit(text, 20);
    EXPECT_EQ(text, c.result) << c.field << " after " << c.rights;
  }
}

// Keys typed faster than anything can be said, a hostile clipboard, fields
// beyond the longest allowed and at the screen's edge: the editor always
// returns, and the field never grows past its maximum.
TEST_F(LineEditorTest, RandomKeysFasterThanSpeechNeverBreakTheField) {
  const platform::Modifiers none{}, shift{.shift = true}, ctrl{.ctrl = true};
  const std::vector<std::vector<platform::Event>> pool = {
      Typed("a"), Typed("7"), Typed(" "), Typed("\xE9"), Typed("-"), Typed("\b"), Typed("\r"), Typed("\t"),
      keys::Ctrl('D'), keys::Ctrl('K'), keys::Ctrl('S'), keys::Ctrl('U'), keys::Ctrl('Y'), keys::Ctrl('C'),
      keys::Ctrl('V'), keys::Ctrl(vk::kBack), {keys::Char(28, ctrl)}, {keys::Char(222)},
      Key(vk::kLeft, none), Key(vk::kRight, none), Key(vk::kLeft, shift), Key(vk::kRight, shift),
      Key(vk::kLeft, ctrl), Key(vk::kRight, ctrl), Key(vk::kHome, shift), Key(vk::kEnd, shift),
      Key(vk::kHome), Key(vk::kEnd), Key(vk::kDelete), Key(vk::kDelete, shift), Key(vk::kInsert, shift),
      Key(vk::kInsert, ctrl), Key(vk::kF1), Key(vk::kF1, ctrl), Key(vk::kF1 + 3), Key(vk::kF1 + 3, ctrl),
      Key(vk::kF12), Key(vk::kUp), keys::Alt(vk::kRight), keys::CtrlAlt('3'), keys::AltGr('Q', '/'),
      keys::CtrlAlt(vk::kA + ('W' - 'A'))};
  fake_.clipboard.text = std::string(200000, 'z') + "\x01\x02\xE4\xB8\xAD";
  fake_.shell.fail = true;
  std::mt19937 random(1234);
  const struct {
    int length, x;
  } fields[] = {{10, 5}, {1, 1}, {0, 3}, {5000, 2}, {30, 79}, {30, 85}};
  for (const auto& field : fields) {
    for (int round = 0; round < 8; ++round) {
      std::string text(static_cast<size_t>(random() % 40), 'q');
      const int64_t at = fake_.clock.NowMs() + 10;
      for (int i = 0; i < 60; ++i) fake_.events.PostAt(at, pool[random() % pool.size()]);
      bool drained = false;
      fake_.events.SetIdleHandler([&] {
        drained = true;
        fake_.Post(keys::Type("\r"));
      });
      for (int calls = 0; calls < 100; ++calls) {
        Edit(text, field.length, round % 4 != 3, field.x, 20);
        ASSERT_LE(text.size(), static_cast<size_t>(std::clamp(field.length, 0, kMaxFieldLength)));
        if (drained) break;
      }
      ASSERT_TRUE(drained) << field.length;
    }
  }
}

TEST_F(LineEditorTest, LongFieldsScrollToKeepTheCursorVisible) {
  std::string text(60, 'a');
  text += "XYZ";
  bool checked = false;
  fake_.events.SetIdleHandler([&] {
    if (checked) return;
    checked = true;
    // x = 70 leaves 9 visible columns; at the end (64) the last 9 are shown.
    EXPECT_EQ(Row(1).substr(69, 9), "aaaaaaXYZ");
    fake_.Post(keys::Type("\r"));
  });
  Keys({Key(vk::kEnd)});
  EXPECT_EQ(editor_.ReadLineEdit(text, 70, 1, 100, true), kEditEnter);
  EXPECT_TRUE(checked);
}

}  // namespace
}  // namespace placarim::editor
