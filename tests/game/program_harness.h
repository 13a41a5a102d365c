// Runs the whole program's object graph (the App the program builds) on the
// headless platform: real console, wave playback, speech layer and line
// editor, reading a FALDEK.INI and recordings from a scratch tree.
//
// Every recording of the scratch tree holds, as its samples, its own key
// between angle brackets ("<PLMUSINI>", "<_49>"), and the stand-in voice
// plays "<voz:text>" for each run of words. So the bytes that reached the
// audio device can be read back as the list of what was heard, in order,
// whichever layer chose and played them. Generated tones (beeps, clicks)
// read as "~tone".
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/app.h"
#include "platform/fake/fake_braille_display.h"
#include "platform/fake/fake_platform.h"
#include "platform/riff_wave.h"
#include "speech/wave_image.h"
#include "voices/tradutor/port_player.h"

namespace placarim::game::testing {

namespace fs = std::filesystem;
using Step = std::vector<platform::Event>;

// A wave file of 8-bit mono 11,025 Hz samples, 44-byte header.
inline void WriteWave(const fs::path& path, const std::string& samples) {
  ASSERT_TRUE(platform::riff::WriteWaveFile(
      path, platform::AudioFormat{}, {reinterpret_cast<const uint8_t*>(samples.data()), samples.size()}))
      << path;
}

// The samples that name a sound. Wave playback makes the last sound byte of a
// block silent (128) and pads short blocks with silence, so a silent byte
// follows the name to keep it whole.
inline std::string Marker(const std::string& name) { return "<" + name + ">\x80"; }

// Stands in for the built-in voice behind its contract: it reads the letters
// directory as the voice does when it opens, and "speaks" a run of words by
// playing a buffer that names the words, through the ports as the voice does.
class MarkerVoice final : public tradutor::DiphoneVoiceApi {
 public:
  MarkerVoice(const game::VoicePorts& ports, tradutor::VoiceOpen open_result)
      : player_(ports.sound, ports.loop), settings_(ports.settings), open_result_(open_result) {}

  tradutor::VoiceOpen OpenDiphoneVoice() override {
    letters_ = settings_.Read("DIRLETRAS", "");
    ++opens;
    return open_result_;
  }
  void CloseDiphoneVoice() override { ++closes; }
  std::string TranslateToDiphoneCodes(std::string_view text) override { return std::string(text); }
  void SpeakDiphoneCodes(std::string_view codes) override {
    const std::string samples = Marker("voz:" + std::string(codes));
    player_.PlayWaveBufferWait(speech::MakeSpeechImage(reinterpret_cast<const uint8_t*>(samples.data()),
                                                       samples.size()));
  }
  void SetDiphoneTuning(int, int, int) override {}
  void SetDatabaseName(std::string_view name) override { database_ = name; }
  const std::string& DatabaseName() const override { return database_; }
  const std::string& LettersDirectory() const override { return letters_; }

  int opens = 0, closes = 0;

 private:
  tradutor::PortPlayer player_;
  tradutor::VoiceSettings& settings_;
  tradutor::VoiceOpen open_result_;
  std::string letters_, database_;
};

// Every draw gives the lowest value: no reordering, the first phrase.
class LowestRandom final : public Random {
 public:
  int Uniform(int lo, int) override { return lo; }
};

// What the screen showed and how much had been heard when the program waited.
struct Wait {
  std::vector<std::string> rows;  // rows[1] .. rows[25], trailing blanks cut
  size_t heard = 0;               // entries of Heard() at that moment
  int64_t time_ms = 0;
  platform::BrailleWindow braille;  // what the braille display showed
};

enum class VoiceKind { kNone, kOpens, kFailsToOpen };

class ProgramRun {
 public:
  // The recordings every run has: the game's cues, digits and operator words,
  // and the letters the game spells or echoes.
  static std::vector<std::string> StandardRecordings() {
    std::vector<std::string> keys = {"PLMUSINI", "PLMUSFIM", "PLTANA",  "PLTANA2", "PLTANA3",
                                     "PLCHUTE",  "PLCLOK",   "PLUAU",   "PLPALMAS", "PLINITRT",
                                     "PLMAIS",   "PLMENOS",  "PLVEZES", "PLDIVID", "PLIGUAL"};
    for (char d = '0'; d <= '9'; ++d) keys.emplace_back(1, d);
    for (int code : {27, 33, 44, 46, 58}) keys.push_back("_" + std::to_string(code));
    for (int code = '0'; code <= '9'; ++code) keys.push_back("_" + std::to_string(code));
    for (const char* word : {"_zero", "_um", "_dois", "_tres", "_quatro", "_cinco", "_dez", "_e"})
      keys.emplace_back(word);
    return keys;
  }

  explicit ProgramRun(VoiceKind kind = VoiceKind::kOpens) : root_(ScratchRoot()) {
    fs::create_directories(root_ / "etc");
    fs::create_directories(root_ / "dados/letras");
    fs::create_directories(root_ / "dados/sons");
    setenv("PLACARIM_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    for (const std::string& key : StandardRecordings()) AddRecording(key);
    WriteConfiguration("");
    voice_kind_ = kind;
    fake.events.SetIdleHandler([this] { OnIdle(); });
  }

  // A recording of `key`: "_" keys in the letters directory, others with the game's sounds.
  void AddRecording(const std::string& key) {
    const fs::path dir = root_ / (key.starts_with("_") ? "dados/letras" : "dados/sons");
    WriteWave(dir / (key + ".wav"), Marker(key));
  }
  void RemoveRecording(const std::string& key) {
    fs::remove(root_ / (key.starts_with("_") ? "dados/letras" : "dados/sons") / (key + ".wav"));
  }

  // FALDEK.INI as the build writes it, pointed at the scratch tree;
  // `extra` is appended (later sections win nothing: keys must be new).
  void WriteConfiguration(const std::string& extra) {
    std::ofstream(root_ / "etc/FALDEK.INI", std::ios::binary)
        << "[FALDEK]\r\nPGMFALDEK=" << (root_ / "dados").string() << "\r\n"
        << "[TRADUTOR]\r\nVELOCIDADE=3\r\nDIRLETRAS=" << (root_ / "dados/letras").string() << "/\r\n"
        << "SAPI=" << sapi << "\r\n"
        << "[SINTETIZADOR]\r\nDIFONES3=DIFONES3\r\nCORTAFALA3=Nao\r\nRAPIDINHO3=Nao\r\n"
        << "[PLACARIM]\r\nDIRPLACARIM=@/sons/\r\nCONFIGPLACARIM=" << configured_exercise_file_ << "\r\n"
        << extra;
  }

  void WriteExerciseFile(const std::string& bytes) {
    std::ofstream(root_ / "dados/exercicios.cnf", std::ios::binary) << bytes;
  }
  // Names the exercise file the configuration's way (`configured`, relative
  // to the data directory, Windows-1252) and writes it under `on_disk`.
  void WriteExerciseFileNamed(const std::string& configured, const std::string& on_disk, const std::string& bytes) {
    configured_exercise_file_ = "@\\" + configured;
    WriteConfiguration("");
    std::ofstream(root_ / "dados" / on_disk, std::ios::binary) << bytes;
  }

  void Keys(std::string_view typed) { Events(platform::fake::keys::Type(typed)); }
  void Press(int vk) { Events(platform::fake::keys::Press(vk)); }
  // Keys pressed on the braille display, all at one wait.
  void DisplayKeys(const std::vector<platform::BrailleKey>& keys) {
    steps_.push_back([this, keys] {
      for (const platform::BrailleKey& key : keys) braille.Press(key);
    });
  }

  // Builds the program's graph and plays until the program ends; gives the
  // exit code (-1: it never ended).
  int Play() {
    game::VoiceFactory factory;
    if (voice_kind_ != VoiceKind::kNone) {
      const tradutor::VoiceOpen open_result =
          voice_kind_ == VoiceKind::kOpens ? tradutor::VoiceOpen::kOpened : tradutor::VoiceOpen::kDatabaseFailed;
      factory = [this, open_result](const game::VoicePorts& ports) -> std::unique_ptr<tradutor::DiphoneVoiceApi> {
        auto made = std::make_unique<MarkerVoice>(ports, open_result);
        voice = made.get();
        return made;
      };
    }
    app_ = std::make_unique<App>(fake, root_.string(), random_, factory, make_synthesizer, TeacherFiles{}, &braille);
    try {
      app_->Run();
    } catch (const platform::ProgramExit& exit) {
      return exit.code;
    } catch (const std::exception& e) {
      ADD_FAILURE() << "the program did not end: " << e.what() << " (" << steps_.size()
                    << " steps left); heard:" << HeardText(0);
    }
    return -1;
  }

  // What reached the audio device, one entry per recording or voiced run.
  std::vector<std::string> Heard() const {
    std::vector<std::string> heard;
    for (const auto& block : fake.audio.written) {
      const std::string bytes(block.bytes.begin(), block.bytes.end());
      // Number words arrive glued into one buffer: "<_vinte>.<_e>.<_um>.".
      std::vector<std::string> names;
      size_t at = 0;
      while (at < bytes.size()) {
        if (bytes[at] == '\x80') {
          ++at;
          continue;
        }
        const size_t end = bytes.find('>', at);
        if (bytes[at] != '<' || end == std::string::npos) break;
        names.push_back(bytes.substr(at + 1, end - at - 1));
        at = end + 1;
      }
      if (at < bytes.size() || names.empty()) names = {"~tone"};
      heard.insert(heard.end(), names.begin(), names.end());
    }
    return heard;
  }
  std::string HeardText(size_t from) const {
    const auto heard = Heard();
    std::string text;
    for (size_t i = from; i < heard.size(); ++i) text += "\n  " + heard[i];
    return text;
  }
  // Whether `expected` was heard as one unbroken run, from entry `from` on.
  ::testing::AssertionResult HeardRun(const std::vector<std::string>& expected, size_t from = 0) const {
    const auto heard = Heard();
    if (from <= heard.size() &&
        std::search(heard.begin() + static_cast<std::ptrdiff_t>(from), heard.end(), expected.begin(),
                    expected.end()) != heard.end()) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "not heard in that order; heard:" << HeardText(from);
  }
  // Index of the first entry equal to `entry` at or after `from` (npos if none).
  size_t IndexHeard(const std::string& entry, size_t from = 0) const {
    const auto heard = Heard();
    for (size_t i = from; i < heard.size(); ++i)
      if (heard[i] == entry) return i;
    return std::string::npos;
  }
  int CountHeard(const std::string& entry) const {
    const auto heard = Heard();
    return static_cast<int>(std::count(heard.begin(), heard.end(), entry));
  }

  std::string Row(int y) const {
    std::string row;
    for (int x = 1; x <= console::Console::kColumns; ++x)
      row.push_back(static_cast<char>(app_->Console().ScreenChar(x, y)));
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
  }
  // The first wait whose screen showed `text` on some row; null if none.
  const Wait* WaitShowing(const std::string& text) const {
    for (const Wait& wait : waits)
      for (const std::string& row : wait.rows)
        if (row.find(text) != std::string::npos) return &wait;
    return nullptr;
  }

  platform::fake::FakePlatform fake;
  platform::fake::FakeBrailleDisplay braille{fake.events, fake.clock, 40};
  MarkerVoice* voice = nullptr;
  std::string sapi = "Nao";  // "SAPI" of "TRADUTOR": Sim opens the external synthesizer
  SynthesizerFactory make_synthesizer;
  std::vector<Wait> waits;
  // Called each time the program waits for a key, with the wait's index.
  std::function<void(size_t)> on_wait;

 private:
  static fs::path ScratchRoot() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path dir = fs::path(::testing::TempDir()) /
                         (std::string("placarim_program_") + std::to_string(::getpid()) + "_" +
                          info->test_suite_name() + "_" + info->name());
    fs::remove_all(dir);
    return dir;
  }

  void OnIdle() {
    Wait wait;
    wait.rows.resize(console::Console::kRows + 1);
    for (int y = 1; y <= console::Console::kRows; ++y) wait.rows[y] = Row(y);
    wait.heard = Heard().size();
    wait.time_ms = fake.clock.NowMs();
    if (!braille.shown.empty()) wait.braille = braille.shown.back();
    waits.push_back(std::move(wait));
    if (on_wait) on_wait(waits.size() - 1);
    if (steps_.empty()) return;  // nothing more to press: the fake reports the hang
    const auto step = std::move(steps_.front());
    steps_.pop_front();
    step();
  }
  void Events(const Step& events) {
    steps_.push_back([this, events] { fake.Post(events); });
  }

  fs::path root_;
  std::string configured_exercise_file_ = "@/exercicios.cnf";
  VoiceKind voice_kind_ = VoiceKind::kOpens;
  std::deque<std::function<void()>> steps_;
  LowestRandom random_;
  std::unique_ptr<App> app_;
};

}  // namespace placarim::game::testing
