// The Ilvra bridge (synthesizer type 3): its settings, its factors, and the
// voice speaking through the audio seam with our engine and the build's data.
#include "voices/ilvra/synth_ilvra.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/speech_fakes.h"
#include "tests/support/synth_fakes.h"

namespace placarim::voices {
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
    speech::testing::MapConfig config;
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
  speech::testing::FakeSynthHost host_;
  speech::testing::FakeSynthAudio audio_{host_};
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

// The prosody file's message reaches the teacher once the opening is over:
// on the console as the program writes it, on standard error in UTF-8.
TEST_F(IlvraBridgeTest, MissingLanguageFilesMakeOpenFailAndTheTeacherIsTold) {
  fs::remove(dir_ / "portug.pro");
  IlvraBridge bridge(host_, audio_, settings_);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(bridge.Open(1, 0, 0));
  const std::string error_output = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(host_.lines, std::vector<std::string>{"Configura\xE7\xE3o da pros\xF3" "dia n\xE3o foi achada"});
  EXPECT_NE(error_output.find("Configuração da prosódia não foi achada\n"), std::string::npos) << error_output;
  bridge.Speak("Gol!");
  EXPECT_TRUE(audio_.pieces.empty());
}

// A directory where a file should be: the voice does not open, and the
// program goes on (the dispatcher then lets another voice speak).
TEST_F(IlvraBridgeTest, ADirectoryInPlaceOfAnyFileOnlyKeepsTheVoiceShut) {
  for (const char* name : {"portug.nrl", "portug.exc", "portug.abr", "portug.pro", "portug.dfn", "ilvra.db"}) {
    SCOPED_TRACE(name);
    const fs::path kept = dir_ / "kept";
    fs::rename(dir_ / name, kept);
    fs::create_directory(dir_ / name);
    {
      IlvraBridge bridge(host_, audio_, settings_);
      EXPECT_FALSE(bridge.Open(1, 0, 0));
      bridge.Speak("Gol!");
      EXPECT_TRUE(audio_.pieces.empty());
    }
    fs::remove(dir_ / name);
    fs::rename(kept, dir_ / name);
  }
  IlvraBridge bridge(host_, audio_, settings_);
  EXPECT_TRUE(bridge.Open(1, 0, 0));  // every file back in place
}

// A voice of another engine installed under the same name: our engine
// refuses it, our own database speaks, and the teacher reads which one.
TEST_F(IlvraBridgeTest, AnInstalledForeignVoiceGivesWayToOurOwnDatabase) {
  settings_.system_voices = (dir_ / "system").string();
  fs::create_directories(dir_ / "system" / "br4");
  std::ofstream(dir_ / "system" / "br4" / "br4", std::ios::binary) << std::string(4096, '\x5A');
  IlvraBridge bridge(host_, audio_, settings_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  ASSERT_EQ(host_.lines.size(), 1u);
  EXPECT_NE(host_.lines[0].find((dir_ / "system" / "br4" / "br4").string()), std::string::npos) << host_.lines[0];
  EXPECT_NE(host_.lines[0].find("usando " + settings_.OwnDatabase()), std::string::npos) << host_.lines[0];
  bridge.Speak("Gol!");
  EXPECT_GT(audio_.TotalSamples(), 1600u);
}

}  // namespace
}  // namespace placarim::voices
