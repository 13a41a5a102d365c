// The speech layer on the real console and wave playback, over the headless
// platform: what reaches the audio device is checked byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/fake/fake_platform.h"
#include "speech/speech_layer.h"
#include "speech/wave_image.h"
#include "tests/support/speech_fakes.h"

namespace placarim::speech {
namespace {

namespace fs = std::filesystem;
using platform::fake::FakePlatform;

class SpeechPlatformTest : public ::testing::Test {
 protected:
  SpeechPlatformTest() {
    fs::remove_all(root_);
    fs::create_directories(root_ / "etc");
    fs::create_directories(root_ / "letras");
    fs::create_directories(root_ / "sons");
    ::setenv("PLACARIM_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    std::ofstream(root_ / "etc" / "FALDEK.INI") << "[TRADUTOR]\nDIRLETRAS=" << (root_ / "letras").string() << "\n";
    voice_.letters_directory = (root_ / "letras").string() + "/";
    layer_.speech.AttachVoice(voice_);
    saved_cwd_ = fs::current_path();
  }
  ~SpeechPlatformTest() override {
    fs::current_path(saved_cwd_);
    fs::remove_all(root_);
  }

  static fs::path Root() {
    return fs::path(::testing::TempDir()) /
           ("speech_platform_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  // A recording of `samples` followed by one silent sample (wave playback
  // silences the last sample of a block) under `name`; returns the samples.
  std::string Record(const std::string& name, const std::string& samples) {
    const std::string stored = samples + '\x80';
    const std::vector<uint8_t> image =
        MakeSpeechImage(reinterpret_cast<const uint8_t*>(stored.data()), stored.size());
    std::ofstream((root_ / name).string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return samples;
  }

  // The sound of every block written to the device, without its trailing silence.
  std::string Played() const {
    std::string played;
    for (const auto& block : fake_.audio.written) played += WithoutTrailingSilence(block.bytes);
    return played;
  }
  static std::string WithoutTrailingSilence(const std::vector<uint8_t>& bytes) {
    size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] == kSilence) --end;
    return std::string(bytes.begin(), bytes.begin() + static_cast<long>(end));
  }

  fs::path root_ = Root();
  fs::path saved_cwd_;
  FakePlatform fake_;
  console::Console console_{fake_, (Root() / "start").string()};
  sound::WavePlayer wave_{console_, fake_.audio};
  SpeechLayer layer_{console_, fake_.clock, wave_};
  testing::Journal journal_;
  testing::FakeVoice voice_{journal_};
  Speech& speech_ = layer_.speech;
};

TEST_F(SpeechPlatformTest, DateAndTimeComeFromThePlatformClock) {
  fake_.clock.SetLocalTime(2025, 7, 6, 14, 5, 9, 876);
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  layer_.console_link.GetDate(y, mo, d);
  layer_.console_link.GetTime(h, mi);
  EXPECT_EQ(std::vector<int>({y, mo, d, h, mi}), std::vector<int>({2025, 7, 6, 14, 5}));
}

TEST_F(SpeechPlatformTest, NumbersAndZerosReachTheDevice) {
  const std::string zero = Record("letras/_zero.wav", "ZEROzero");
  const std::string seven = Record("letras/_sete.wav", "SETEsete");
  speech_.SpeechStart(0, (root_ / "sons").string());
  speech_.Text().SpeakText("007");
  EXPECT_EQ(Played(), zero + zero + seven);
}

TEST_F(SpeechPlatformTest, WordsOfANumberAreOneSound) {
  const std::string mil = Record("letras/_mil.wav", "MIL");
  const std::string e = Record("letras/_e.wav", "E");
  const std::string um = Record("letras/_um.wav", "UM");
  speech_.SpeechStart(0, "");
  speech_.Text().SpeakText("1001");
  EXPECT_EQ(Played(), mil + "\x80" + e + "\x80" + um);  // each file with its own last sample
  ASSERT_EQ(fake_.audio.written.size(), 1u);
  EXPECT_EQ(fake_.audio.written[0].format, (platform::AudioFormat{11025, 8, 1}));
}

TEST_F(SpeechPlatformTest, ProgramSoundsAreFoundInARelativeDirectoryWhateverTheirCase) {
  const std::string intro = Record("sons/plinic.WAV", "intro");
  fs::current_path(root_);
  speech_.SpeechStart(0, "sons");
  EXPECT_EQ(speech_.Sounds().ProgramSoundDirectory(), "sons/");
  EXPECT_TRUE(speech_.Sounds().SoundKeyExists("PLINIC"));
  speech_.Sounds().PlaySoundKey("PLINIC");
  speech_.Sounds().PlaySoundKey("PLGOL");  // missing: silent
  EXPECT_EQ(Played(), intro);
}

TEST_F(SpeechPlatformTest, LetterFilesThatAreNotWaveFilesAreSkipped) {
  std::ofstream(root_ / "letras" / "_98.wav") << "this is not a wave file, only text";
  const std::string c = Record("letras/_99.wav", "ce");
  speech_.SpeechStart(0, "");
  speech_.Sounds().SpellText("bc");
  EXPECT_EQ(Played(), c);
}

TEST_F(SpeechPlatformTest, BeepDiscardsTypedKeys) {
  speech_.SpeechStart(0, "");
  fake_.Type("ab");
  speech_.Sounds().PlayBeep();
  EXPECT_FALSE(console_.KeyPressed());
  const std::vector<uint8_t> beep = MakeBeepSamples();
  EXPECT_EQ(Played(), WithoutTrailingSilence(beep));
}

TEST_F(SpeechPlatformTest, ReadKeySpeakSpeaksAndEchoesAPrintableKey) {
  const std::string a = Record("letras/_97.wav", "aaa");
  speech_.SpeechStart(0, "");
  fake_.events.SetIdleHandler([&] { fake_.Type("a"); });
  uint8_t c = 0, ext = 0;
  speech_.Keys().ReadKeySpeak(c, ext);
  EXPECT_EQ(c, 'a');
  EXPECT_EQ(ext, ' ');
  EXPECT_EQ(Played(), a);
  EXPECT_EQ(fake_.screen.RowText(0)[0], 'a');
}

TEST_F(SpeechPlatformTest, VoiceFailureWaitsForEnterAndEnds) {
  voice_.open_result = tradutor::VoiceOpen::kDatabaseFailed;
  std::ofstream(root_ / "etc" / "FALDEK.INI", std::ios::app) << "[SINTETIZADOR]\nDIFONES3=DIFX\n";
  fake_.events.SetIdleHandler([&] { fake_.Type("\r"); });
  EXPECT_THROW(speech_.SpeechStart(0, ""), platform::ProgramExit);
  const std::string shown = fake_.screen.Text();
  EXPECT_NE(shown.find("Erro de inicializa\xE7\xE3o: 1"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Banco de dados de voz: DIFX"), std::string::npos) << shown;
}

}  // namespace
}  // namespace placarim::speech
