// The built-in voice end to end, as the program builds it: the build tree's
// FALDEK.INI, the speech layer on the headless platform, the diphone voice
// opened by SpeechStart from the built databases, and what reaches the audio
// device measured as sound: long enough, loud enough, no long silence inside
// a word, no clipping.
//
// PLACARIM_SPEECH_WAV_DIR=dir also writes each sentence as a wave file there,
// to be measured with sox or heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/fake/fake_platform.h"
#include "platform/riff_wave.h"
#include "platform/text_encoding.h"
#include "speech/speech_layer.h"
#include "voices/tradutor/voice.h"

namespace placarim::tradutor {
namespace {

namespace fs = std::filesystem;

fs::path BinaryDir() {
  const char* bin = std::getenv("PLACARIM_BINARY_DIR");
  return bin ? fs::path(bin) : fs::current_path();
}

// Figures of 8-bit unsigned mono sound at 11,025 Hz.
struct Measure {
  double seconds = 0;
  double rms = 0;                 // of the whole, full scale 1.0
  double longest_quiet = 0;       // seconds, the longest run of near-silent 10 ms frames
  size_t clipped = 0;             // samples at 0 or 255
};

Measure MeasureSound(const std::vector<uint8_t>& s) {
  Measure m;
  m.seconds = double(s.size()) / 11025.0;
  double sum = 0;
  for (uint8_t b : s) {
    const double v = (double(b) - 128.0) / 128.0;
    sum += v * v;
    if (b == 0 || b == 255) ++m.clipped;
  }
  m.rms = s.empty() ? 0 : std::sqrt(sum / double(s.size()));
  constexpr size_t kFrame = 110;
  size_t run = 0, longest = 0;
  for (size_t f = 0; f + kFrame <= s.size(); f += kFrame) {
    double e = 0;
    for (size_t i = f; i < f + kFrame; ++i) e += std::abs(double(s[i]) - 128.0);
    run = e / kFrame < 1.5 ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  m.longest_quiet = double(longest * kFrame) / 11025.0;
  return m;
}

class SpokenSentencesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path ini = BinaryDir() / "etc" / "FALDEK.INI";
    if (!fs::exists(ini) || !fs::exists(BinaryDir() / "data" / "difones" / "DIFONES3.IND")) {
      GTEST_SKIP() << "the data tree is not built";
    }
    // The test's own configuration directory gets the build tree's file as it is.
    const char* conf = std::getenv("PLACARIM_SYSCONFDIR");
    ASSERT_NE(conf, nullptr);
    fs::create_directories(conf);
    fs::copy_file(ini, fs::path(conf) / "FALDEK.INI", fs::copy_options::overwrite_existing);
    layer.speech.AttachVoice(voice);
    // As in the game, punctuation is heard as pauses, not read out.
    layer.speech.Text().speak_punctuation = false;
  }

  // Everything written to the audio device while `say` runs.
  template <typename Say>
  std::vector<uint8_t> Capture(Say say) {
    fake.audio.written.clear();
    say();
    std::vector<uint8_t> all;
    for (const auto& block : fake.audio.written) {
      EXPECT_EQ(block.format, (platform::AudioFormat{11025, 8, 1}));
      all.insert(all.end(), block.bytes.begin(), block.bytes.end());
    }
    return all;
  }

  std::vector<uint8_t> Say(const std::string& utf8) {
    return Capture([&] { layer.speech.Text().SpeakText(platform::Utf8ToCp1252(utf8)); });
  }

  void Keep(const std::string& name, const std::vector<uint8_t>& samples) {
    if (const char* dir = std::getenv("PLACARIM_SPEECH_WAV_DIR")) {
      fs::create_directories(dir);
      ASSERT_TRUE(platform::riff::WriteWaveFile(fs::path(dir) / (name + ".wav"), platform::AudioFormat{}, samples));
    }
  }

  platform::fake::FakePlatform fake;
  console::Console console{fake, (BinaryDir() / "etc").string()};
  sound::WavePlayer wave{console, fake.audio};
  speech::SpeechLayer layer{console, fake.clock, wave};
  DiphoneVoice voice{layer.wave_link, console, layer.speech.VoiceConfig()};
};

TEST_F(SpokenSentencesTest, EverySpeedOpensFromTheShippedConfiguration) {
  for (int speed = 1; speed <= 5; ++speed) {
    layer.speech.SpeechStart(speed, layer.ini.ReadIniString("PLACARIM", "DIRPLACARIM"));
    EXPECT_TRUE(voice.is_open()) << speed;
    EXPECT_EQ(voice.DatabaseName(), "DIFONES" + std::to_string(speed));
    EXPECT_EQ(fs::canonical(voice.LettersDirectory()), fs::canonical(BinaryDir() / "data" / "letras"));
    EXPECT_EQ(fs::canonical(voice.DiphoneDirectory()), fs::canonical(BinaryDir() / "data" / "difones"));
    EXPECT_EQ(fs::canonical(layer.speech.Sounds().ProgramSoundDirectory()), fs::canonical(BinaryDir() / "data" / "sons"));
    voice.CloseDiphoneVoice();
  }
}

// Each speed a little faster than the one before: no step halves the sound.
TEST_F(SpokenSentencesTest, SpeedsStepEvenly) {
  double previous = 0;
  for (int speed = 1; speed <= 5; ++speed) {
    layer.speech.SpeechStart(speed, layer.ini.ReadIniString("PLACARIM", "DIRPLACARIM"));
    ASSERT_TRUE(voice.is_open()) << speed;
    const double seconds = MeasureSound(Say("Bem-vindo ao Placarim, escolha o campeonato")).seconds;
    std::printf("  speed %d: %.2f s\n", speed, seconds);
    if (speed > 1) {
      EXPECT_LT(seconds, previous) << speed;
      EXPECT_GT(seconds, previous / 1.6) << speed;
    }
    previous = seconds;
    voice.CloseDiphoneVoice();
  }
}

struct Sentence {
  const char* name;
  const char* text;   // UTF-8
  double min_seconds, max_seconds;
};

TEST_F(SpokenSentencesTest, GameSentencesSoundLikeSpeech) {
  layer.speech.SpeechStart(3, layer.ini.ReadIniString("PLACARIM", "DIRPLACARIM"));
  ASSERT_TRUE(voice.is_open());
  const Sentence sentences[] = {
      {"bem-vindo", "Bem-vindo ao Placarim! Escolha o campeonato.", 1.8, 5.0},
      {"gol", "Gol! Que golaço!", 0.8, 3.0},
      {"errou", "Errou, tente de novo.", 0.7, 3.0},
      {"parabens", "Parabéns! Você acertou todas as contas da fase.", 2.0, 6.0},
      {"conta", "Quanto é sete vezes oito? Dividido, mais, menos, igual.", 2.0, 7.0},
      {"numeros", "17 e 2024", 1.0, 5.0},
  };
  voice.counters().Reset();
  for (const auto& s : sentences) {
    const auto sound = Say(s.text);
    Keep(s.name, sound);
    const Measure m = MeasureSound(sound);
    std::printf("  %-10s %.2f s, rms %.3f, longest quiet %.2f s, clipped %zu\n", s.name, m.seconds, m.rms,
                m.longest_quiet, m.clipped);
    EXPECT_GE(m.seconds, s.min_seconds) << s.name;
    EXPECT_LE(m.seconds, s.max_seconds) << s.name;
    EXPECT_GT(m.rms, 0.05) << s.name;
    // Pauses after punctuation are at most 0.4 s at this speed; nothing
    // inside a sentence is quieter for longer.
    EXPECT_LT(m.longest_quiet, 0.5) << s.name;
    EXPECT_LT(double(m.clipped), 0.001 * double(sound.size())) << s.name;
  }
  EXPECT_EQ(voice.counters().noise_bursts, 0);
  EXPECT_EQ(voice.counters().names_dropped, 0);
}

TEST_F(SpokenSentencesTest, NumbersTimeAndCharactersComeFromTheLettersDirectory) {
  layer.speech.SpeechStart(3, layer.ini.ReadIniString("PLACARIM", "DIRPLACARIM"));
  ASSERT_TRUE(voice.is_open());
  const auto time = Capture([&] { layer.speech.Sounds().SpeakTime(); });
  Keep("hora", time);
  EXPECT_GT(MeasureSound(time).seconds, 1.0);
  EXPECT_GT(MeasureSound(time).rms, 0.05);

  // A symbol inside a run of words is spelled by the voice from its recording.
  voice.counters().Reset();
  const auto symbol = Say("a # b");
  Keep("simbolo", symbol);
  EXPECT_EQ(voice.counters().recorded_missing, 0);
  EXPECT_GT(MeasureSound(symbol).seconds, 0.8);

  // Numbers are read from recorded number words, not by the voice.
  int voice_names = 0;
  voice.set_name_observer([&](std::string_view, double, int) { ++voice_names; });
  const auto number = Say("2024");
  Keep("2024", number);
  EXPECT_GT(MeasureSound(number).seconds, 1.0);
  EXPECT_GT(MeasureSound(number).rms, 0.05);
  EXPECT_EQ(voice_names, 0);
  const auto letter = Capture([&] { layer.speech.Sounds().SpeakChar('A'); });
  EXPECT_GT(MeasureSound(letter).seconds, 0.15);
}

}  // namespace
}  // namespace placarim::tradutor
