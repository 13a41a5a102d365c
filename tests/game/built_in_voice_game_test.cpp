// A whole game as a child plays it with what the build ships: the program's
// own object graph on the headless platform, the built-in diphone voice, the
// recordings, letters and diphone databases of the build's data tree and its
// exercise file. Championship 1 is chosen from the menu, every sum of its
// first phase is read off the screen and answered (one wrongly, so the phase
// is replayed), and the child gives up in the second phase.
//
// Checked: the screens, that something audible reached the device before
// every wait for a key, and that the voice found units for every sentence the
// game gave it (no noise in place of a missing unit, nothing dropped).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "game/app.h"
#include "game/exercise_file.h"
#include "game/message_catalogue.h"
#include "game/message_keys.h"
#include "platform/fake/fake_platform.h"
#include "platform/text_encoding.h"
#include "voices/tradutor/voice.h"

namespace placarim::game::testing {
namespace {

namespace fs = std::filesystem;
using Step = std::vector<platform::Event>;

fs::path BinaryDir() {
  const char* bin = std::getenv("PLACARIM_BINARY_DIR");
  return bin ? fs::path(bin) : fs::current_path();
}

// Samples far enough from the 8-bit midpoint to be heard.
size_t LoudSamples(const uint8_t* samples, size_t count) {
  size_t loud = 0;
  for (size_t i = 0; i < count; ++i) loud += std::abs(int(samples[i]) - 128) >= 8 ? 1 : 0;
  return loud;
}

// One run of words the voice was given, and what it made of it.
struct Sentence {
  std::string text;  // as the speech layer handed it to the voice (Windows-1252)
  long noise_bursts = 0, names_dropped = 0, recorded_missing = 0;
  size_t samples = 0, loud = 0;
};

// The real voice, watched: each SpeakDiphoneCodes is charged with the
// database misses it caused and the sound it played.
class WatchedVoice final : public tradutor::DiphoneVoiceApi, private tradutor::WaveBufferPlayer {
 public:
  explicit WatchedVoice(const VoicePorts& ports) : player_(ports.sound, ports.loop), voice_(*this, ports.settings) {}

  tradutor::VoiceOpen OpenDiphoneVoice() override { return voice_.OpenDiphoneVoice(); }
  void CloseDiphoneVoice() override { voice_.CloseDiphoneVoice(); }
  std::string TranslateToDiphoneCodes(std::string_view text) override {
    last_text_ = text;
    return voice_.TranslateToDiphoneCodes(text);
  }
  void SpeakDiphoneCodes(std::string_view codes) override {
    const tradutor::SynthesisCounters before = voice_.counters();
    sentences.push_back({last_text_});
    voice_.SpeakDiphoneCodes(codes);
    const tradutor::SynthesisCounters& after = voice_.counters();
    Sentence& said = sentences.back();
    said.noise_bursts = after.noise_bursts - before.noise_bursts;
    said.names_dropped = after.names_dropped - before.names_dropped;
    said.recorded_missing = after.recorded_missing - before.recorded_missing;
  }
  void SetDiphoneTuning(int trim, int minimum, int gap) override { voice_.SetDiphoneTuning(trim, minimum, gap); }
  void SetDatabaseName(std::string_view name) override { voice_.SetDatabaseName(name); }
  const std::string& DatabaseName() const override { return voice_.DatabaseName(); }
  const std::string& LettersDirectory() const override { return voice_.LettersDirectory(); }

  std::vector<Sentence> sentences;

 private:
  void PlayWaveBufferWait(const std::vector<uint8_t>& image) override {
    if (!sentences.empty() && image.size() > 44) {
      sentences.back().samples += image.size() - 44;
      sentences.back().loud += LoudSamples(image.data() + 44, image.size() - 44);
    }
    player_.PlayWaveBufferWait(image);
  }

  bool SilenceRequested() override { return player_.SilenceRequested(); }
  tradutor::PortPlayer player_;
  tradutor::DiphoneVoice voice_;
  std::string last_text_;
};

// Every draw gives the lowest value: the sums in file order, the first phrases.
class LowestRandom final : public Random {
 public:
  int Uniform(int lo, int) override { return lo; }
};

// The screen and the device's blocks at one wait for a key.
struct Wait {
  std::vector<std::string> rows;  // rows[1] .. rows[25], trailing blanks cut
  size_t blocks = 0;              // audio blocks written so far
};

// A sum waiting for its answer on the screen: the last row of the form
// "a op b =" with nothing typed yet.
std::optional<ParsedSum> PendingSum(const Wait& wait) {
  static const std::regex sum(R"(^(\d+)([-+xX*:/])(\d+)=$)");
  for (size_t y = wait.rows.size() - 1; y >= 1; --y) {
    std::smatch m;
    if (std::regex_match(wait.rows[y], m, sum))
      return ParsedSum{std::stoi(m[1]), m[2].str()[0], std::stoi(m[3]), 0};
    if (!wait.rows[y].empty()) return std::nullopt;
  }
  return std::nullopt;
}

// The phase the screen announces ("... fase N" on row 3), 0 if none.
int AnnouncedPhase(const Wait& wait) {
  static const std::regex phase(R"(fase (\d+)$)");
  std::smatch m;
  return std::regex_search(wait.rows[3], m, phase) ? std::stoi(m[1]) : 0;
}

std::string SumText(int32_t a, char op, int32_t b) { return std::to_string(a) + op + std::to_string(b); }

int32_t Result(const ParsedSum& sum) {
  switch (sum.op) {
    case '+': return sum.a + sum.b;
    case '-': return sum.a - sum.b;
    case ':': case '/': return sum.b != 0 ? sum.a / sum.b : 0;
    default: return sum.a * sum.b;
  }
}

class BuiltInVoiceGame : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path data = BinaryDir() / "data";
    if (!fs::exists(BinaryDir() / "etc/FALDEK.INI") || !fs::exists(data / "difones/DIFONES3.IND") ||
        !fs::exists(data / "sons/PLMUSINI.wav") || !fs::exists(data / "placarim.cnf")) {
      GTEST_SKIP() << "the data tree is not built";
    }
    exercise_text_ = *ReadWholeFile((data / "placarim.cnf").string());
    fake.events.SetIdleHandler([this] { OnIdle(); });
  }

  // The build's configuration with the built-in voice speaking the words at
  // `speed` (1 to 5), in this test's configuration directory.
  static void WriteConfiguration(int speed) {
    const char* conf = std::getenv("PLACARIM_SYSCONFDIR");
    const fs::path etc = conf ? fs::path(conf) : fs::path(::testing::TempDir()) / "placarim_built_in_voice";
    fs::create_directories(etc);
    setenv("PLACARIM_SYSCONFDIR", etc.c_str(), 1);
    std::ifstream in(BinaryDir() / "etc/FALDEK.INI", std::ios::binary);
    std::ostringstream ini;
    std::string line;
    bool in_translator = false;
    while (std::getline(in, line)) {
      if (line.starts_with("[")) in_translator = line.starts_with("[TRADUTOR]");
      if (line.starts_with("SAPI=")) line = "SAPI=Nao";
      if (line.starts_with("VELOCIDADE=") && in_translator) line = "VELOCIDADE=" + std::to_string(speed);
      ini << line << "\n";
    }
    std::ofstream(etc / "FALDEK.INI", std::ios::binary) << ini.str();
  }

  // Plays until the program ends; its exit code, -1 if it never ended.
  int Play(int speed = 3) {
    WriteConfiguration(speed);
    const VoiceFactory make_voice = [this](const VoicePorts& ports) -> std::unique_ptr<tradutor::DiphoneVoiceApi> {
      auto made = std::make_unique<WatchedVoice>(ports);
      voice = made.get();
      return made;
    };
    app_ = std::make_unique<App>(fake, BinaryDir().string(), random_, make_voice);
    try {
      app_->Run();
    } catch (const platform::ProgramExit& exit) {
      return exit.code;
    } catch (const std::exception& e) {
      ADD_FAILURE() << "the program did not end: " << e.what() << "\nlast screen:\n" << LastScreen();
    }
    return -1;
  }

  std::string LastScreen() const {
    std::string text;
    if (!waits.empty())
      for (size_t y = 1; y < waits.back().rows.size(); ++y) text += waits.back().rows[y] + "\n";
    return text;
  }

  // Audible samples in blocks [from, to).
  size_t LoudBetween(size_t from, size_t to) const {
    size_t loud = 0;
    for (size_t i = from; i < to; ++i)
      loud += LoudSamples(fake.audio.written[i].bytes.data(), fake.audio.written[i].bytes.size());
    return loud;
  }

  // Something audible reached the device before every wait for a key.
  void ExpectSoundBeforeEveryWait() const {
    for (size_t i = 0; i < waits.size(); ++i) {
      const size_t from = i == 0 ? 0 : waits[i - 1].blocks;
      std::string screen;
      for (const auto& row : waits[i].rows) screen += row + "\n";
      EXPECT_GE(LoudBetween(from, waits[i].blocks), 500u) << "silent before wait " << i << ", screen:\n" << screen;
    }
  }

  // The voice spoke every sentence audibly and from units it has.
  void ExpectCleanVoice() const {
    ASSERT_NE(voice, nullptr);
    ASSERT_FALSE(voice->sentences.empty());
    for (const Sentence& said : voice->sentences) {
      const std::string text = platform::Cp1252ToUtf8(said.text);
      EXPECT_EQ(said.noise_bursts, 0) << text;
      EXPECT_EQ(said.names_dropped, 0) << text;
      EXPECT_EQ(said.recorded_missing, 0) << text;
      EXPECT_GT(said.loud, said.samples / 10) << text;
    }
  }

  // The sums of a phase of the shipped file as the screen shows them, sorted.
  std::vector<std::string> ShippedSums(int championship, int phase) const {
    const Championship shipped = ShippedChampionship(championship);
    std::vector<std::string> sums;
    for (int s = 1; s <= shipped.SumCount(phase); ++s) {
      const auto sum = ParseSum(shipped.Sum(phase, s));
      EXPECT_TRUE(sum) << shipped.Sum(phase, s);
      if (sum) sums.push_back(SumText(sum->a, sum->op, sum->b));
    }
    std::sort(sums.begin(), sums.end());
    return sums;
  }

  Championship ShippedChampionship(int number) const {
    LoadResult loaded = LoadChampionshipText(exercise_text_, number);
    EXPECT_TRUE(loaded.ok()) << number;
    return loaded.championship;
  }
  std::optional<std::string> ShippedTitle(int number) const {
    return LoadChampionshipText(exercise_text_, number).title;
  }

  // Decides the keys for the screen at a wait; nothing ends the script.
  std::function<std::optional<Step>(const Wait&)> script;
  platform::fake::FakePlatform fake;
  WatchedVoice* voice = nullptr;
  std::vector<Wait> waits;

 private:
  void OnIdle() {
    Wait wait;
    wait.rows.resize(console::Console::kRows + 1);
    for (int y = 1; y <= console::Console::kRows; ++y) {
      std::string& row = wait.rows[y];
      for (int x = 1; x <= console::Console::kColumns; ++x)
        row.push_back(static_cast<char>(app_->Console().ScreenChar(x, y)));
      while (!row.empty() && row.back() == ' ') row.pop_back();
    }
    wait.blocks = fake.audio.written.size();
    waits.push_back(wait);
    if (waits.size() > 200) return;  // a runaway script: the fake reports the hang
    if (const auto step = script(waits.back())) fake.Post(*step);
  }

  std::string exercise_text_;
  LowestRandom random_;
  std::unique_ptr<App> app_;
};

TEST_F(BuiltInVoiceGame, FirstPhaseOfChampionshipOnePlayedThroughWithAMissAndAReplay) {
  ASSERT_GE(ShippedChampionship(1).phase_count, 2);
  const std::vector<std::string> phase_one = ShippedSums(1, 1);

  // What the child did, by the phase on the screen: the sums asked in each
  // pass through a phase, the one missed, the screens after answering.
  std::vector<std::pair<int, std::vector<std::string>>> passes;
  std::string missed;
  size_t missed_at = 0;  // the wait at which the wrong answer was typed
  int phase = 0;         // the last phase announced on the screen
  bool answered = false, gave_up = false;
  script = [&](const Wait& wait) -> std::optional<Step> {
    namespace keys = platform::fake::keys;
    if (waits.size() == 1) return keys::Type("1");  // the menu
    if (gave_up) return keys::Type(" ");             // the credits
    if (answered) {
      answered = false;
      return keys::Type("\r");
    }
    const auto sum = PendingSum(wait);
    if (!sum) return std::nullopt;
    // The announcement scrolls away in a long phase; it is on the screen at
    // each phase's first sum.
    if (AnnouncedPhase(wait) != 0) phase = AnnouncedPhase(wait);
    if (passes.empty() || passes.back().first != phase || passes.back().second.size() == phase_one.size())
      passes.push_back({phase, {}});
    if (phase != 1) {
      gave_up = true;
      return keys::Type("\x1b");
    }
    passes.back().second.push_back(SumText(sum->a, sum->op, sum->b));
    answered = true;
    int32_t answer = Result(*sum);
    if (missed.empty()) {
      missed = SumText(sum->a, sum->op, sum->b);
      missed_at = waits.size() - 1;
      answer += 1;
    }
    return keys::Type(std::to_string(answer));
  };
  EXPECT_EQ(Play(), 0);

  // The menu names the nine championships of the shipped file.
  ASSERT_GE(waits.size(), 2u);
  const Wait& menu = waits[0];
  for (int n = 1; n <= 9; ++n) {
    const auto title = ShippedTitle(n);
    ASSERT_TRUE(title) << n;
    EXPECT_EQ(menu.rows[7 + n], std::to_string(n) + " - " + *title) << LastScreen();
  }
  // Phase 1 twice, every sum of it each time; then phase 2, given up.
  ASSERT_EQ(passes.size(), 3u);
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(passes[pass].first, 1);
    auto asked = passes[pass].second;
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, phase_one) << "pass " << pass + 1;
  }
  EXPECT_EQ(passes[2].first, 2);
  EXPECT_TRUE(passes[2].second.empty());

  // The wrong answer stays on its row and the sum is counted out before the
  // next one is asked.
  ASSERT_LT(missed_at + 2, waits.size());
  const ParsedSum missed_sum = *ParseSum(missed + "=0");
  const std::string right = missed + "=" + std::to_string(Result(missed_sum));
  const std::string wrong = missed + "=" + std::to_string(Result(missed_sum) + 1);
  const auto shows = [](const Wait& w, const std::string& text) {
    return std::any_of(w.rows.begin(), w.rows.end(),
                       [&](const std::string& row) { return row.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(shows(waits[missed_at + 1], wrong));
  EXPECT_TRUE(shows(waits[missed_at + 2], wrong));
  EXPECT_TRUE(shows(waits[missed_at + 2], right)) << "not counted out";
  EXPECT_NE(LastScreen().find("O PLACARIM"), std::string::npos) << LastScreen();

  ExpectSoundBeforeEveryWait();
  ExpectCleanVoice();
  const MessageCatalogue catalogue;
  for (std::string_view key : {kGameStarts, kWhichChampionship, kPhaseStarts, kCounting, kPhaseLost,
                               kPhaseReplay, kGivesUp}) {
    const std::string message = *catalogue.Find(key);
    const bool spoken = std::any_of(voice->sentences.begin(), voice->sentences.end(), [&](const Sentence& s) {
      // The message's whole leading run of words.
      const auto end = s.text.find_last_not_of(' ');
      if (end == std::string::npos || !message.starts_with(s.text.substr(0, end + 1))) return false;
      return end + 1 == message.size() || !std::isalpha(static_cast<unsigned char>(message[end + 1]));
    });
    EXPECT_TRUE(spoken) << key << ": " << platform::Cp1252ToUtf8(message);
  }
}

// Every championship of the shipped file at every speed of the voice: its
// first phase answered right, then the child gives up (or, in a one-phase
// championship, wins it).
class EveryChampionshipAndSpeed : public BuiltInVoiceGame,
                                  public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(EveryChampionshipAndSpeed, FirstPhaseAnsweredRight) {
  const int championship = std::get<0>(GetParam());
  const int speed = std::get<1>(GetParam());
  std::vector<std::string> asked;
  int phase = 0;
  bool answered = false, ending = false;
  script = [&](const Wait& wait) -> std::optional<Step> {
    namespace keys = platform::fake::keys;
    if (waits.size() == 1) return keys::Type(std::to_string(championship));
    if (ending) return keys::Type(" ");
    if (answered) {
      answered = false;
      return keys::Type("\r");
    }
    for (const std::string& row : wait.rows)
      if (row.find("GANHOU O CAMPEONATO") != std::string::npos) {
        ending = true;
        return keys::Type("\r");
      }
    const auto sum = PendingSum(wait);
    if (!sum) return std::nullopt;
    if (AnnouncedPhase(wait) != 0) phase = AnnouncedPhase(wait);
    if (phase != 1) {
      ending = true;
      return keys::Type("\x1b");
    }
    asked.push_back(SumText(sum->a, sum->op, sum->b));
    answered = true;
    return keys::Type(std::to_string(Result(*sum)));
  };
  EXPECT_EQ(Play(speed), 0);

  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, ShippedSums(championship, 1));
  EXPECT_NE(LastScreen().find("O PLACARIM"), std::string::npos) << LastScreen();
  ExpectSoundBeforeEveryWait();
  ExpectCleanVoice();
  ASSERT_NE(voice, nullptr);
  EXPECT_EQ(voice->DatabaseName(), "DIFONES" + std::to_string(speed));
}

INSTANTIATE_TEST_SUITE_P(Shipped, EveryChampionshipAndSpeed,
                         ::testing::Combine(::testing::Range(1, 10), ::testing::Range(1, 6)));

}  // namespace
}  // namespace placarim::game::testing
