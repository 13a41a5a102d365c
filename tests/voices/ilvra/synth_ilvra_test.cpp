// The Ilvra bridge (synthesizer type 3): its settings, its factors, and the
// voice speaking through the audio seam with our engine and the build's data.
#include "voices/ilvra/synth_ilvra.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/speech/speech_fakes.h"
#include "tests/speech/synth_fakes.h"

namespace placarim::speech {
namespace {

namespace fs = std::filesystem;

TEST(IlvraSettingsTest, KeysOfTheIlvraSectionWithTheirDefaults) {
  const struct {
    std::map<std::string, std::string> values;
    IlvraSettings expected;
  } cases[] = {
      {{{"FALDEK/PGMFALDEK", "/prog"}}, {"br4", "/prog/ilvra/", "portug", ""}},
      {{{"ILVRATTS/DIR", "/x"}}, {"br4", "/x/", "portug", ""}},
      {{{"ILVRATTS/DIR", "/x/"}, {"ILVRATTS/BASE", "outro"}, {"ILVRATTS/MBROLA_DB", "br3"},
        {"ILVRATTS/MOTOR", "/lib/engine.so"}},
       {"br3", "/x/", "outro", "/lib/engine.so"}},
  };
  for (const auto& c : cases) {
    testing::MapConfig config;
    config.values = c.values;
    const IlvraSettings s = ReadIlvraSettings(config);
    EXPECT_EQ(s.database, c.expected.database);
    EXPECT_EQ(s.directory, c.expected.directory);
    EXPECT_EQ(s.base, c.expected.base);
    EXPECT_EQ(s.engine_library, c.expected.engine_library);
    EXPECT_EQ(s.File(".pro"), c.expected.directory + c.expected.base + ".pro");
  }
}

class IlvraBridgeTest : public ::testing::Test {
 protected:
  IlvraBridgeTest() {
    const fs::path data = fs::path(std::getenv("PLACARIM_BINARY_DIR")) / "data" / "ilvra";
    fs::create_directories(dir_);
    for (const char* name : {"portug.nrl", "portug.exc", "portug.abr", "portug.dfn", "ilvra.db"}) {
      fs::copy_file(data / name, dir_ / name, fs::copy_options::overwrite_existing);
    }
    fs::copy_file(fs::path(std::getenv("PLACARIM_SOURCE_DIR")) / "tests" / "voices" / "ilvra" / "data" / "teste.pro",
                  dir_ / "portug.pro", fs::copy_options::overwrite_existing);
    settings_.directory = dir_.string() + "/";
    settings_.engine_library = std::getenv("PLACARIM_MBROLA_LIBRARY");
  }
  ~IlvraBridgeTest() override { fs::remove_all(dir_); }

  fs::path dir_ = fs::path(::testing::TempDir()) / ("ilvra_bridge_" + std::to_string(::getpid()));
  IlvraSettings settings_;
  testing::FakeSynthHost host_;
  testing::FakeSynthAudio audio_{host_};
};

TEST_F(IlvraBridgeTest, FactorsComeFromRateAndPitch) {
  const struct {
    int rate, pitch;
    double pitch_factor, duration_factor;
  } cases[] = {{0, 0, 1.0, 0.8}, {3, 0, 1.0, 0.6}, {0, 11, 2.0, 0.8}, {-3, -5, 6.0 / 11, 1.0}};
  for (const auto& c : cases) {
    IlvraBridge bridge(host_, audio_, settings_);
    ASSERT_TRUE(bridge.Open(9, c.rate, c.pitch));
    EXPECT_DOUBLE_EQ(bridge.Voice().PitchFactor(), c.pitch_factor);
    EXPECT_DOUBLE_EQ(bridge.Voice().DurationFactor(), c.duration_factor);
  }
}

TEST_F(IlvraBridgeTest, SpeaksAt16000HzUntilAKeyStopsIt) {
  IlvraBridge bridge(host_, audio_, settings_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak("Sete mais cinco, doze. Muito bem!");
  ASSERT_FALSE(audio_.pieces.empty());
  for (uint32_t rate : audio_.rates) EXPECT_EQ(rate, 16000u);
  EXPECT_GT(audio_.TotalSamples(), 16000u);  // more than a second of speech
  EXPECT_EQ(host_.wake_ups.back(), voices::kVoiceWakeUp);
  EXPECT_TRUE(bridge.IsSpeaking(0));
  host_.key_pending = true;
  EXPECT_FALSE(bridge.IsSpeaking(0));
  EXPECT_GT(audio_.stops, 0);
  host_.key_pending = false;
  EXPECT_FALSE(bridge.IsSpeaking(1));
}

TEST_F(IlvraBridgeTest, CloseWaitsForTheSpeechToEnd) {
  IlvraBridge bridge(host_, audio_, settings_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak("Gol!");
  const int64_t end = audio_.playing_until;
  ASSERT_GT(end, host_.now_ms);
  bridge.Close();
  EXPECT_GE(host_.now_ms, end);
  EXPECT_EQ(host_.delays.back(), 500);
  EXPECT_FALSE(bridge.Voice().IsOpen());
}

TEST_F(IlvraBridgeTest, MissingLanguageFilesMakeOpenFail) {
  fs::remove(dir_ / "portug.pro");
  IlvraBridge bridge(host_, audio_, settings_);
  EXPECT_FALSE(bridge.Open(1, 0, 0));
  bridge.Speak("Gol!");
  EXPECT_TRUE(audio_.pieces.empty());
}

}  // namespace
}  // namespace placarim::speech
