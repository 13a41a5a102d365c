// The speech layer speaking through espeak-ng, on the real console and wave
// playback over the headless platform: configured in FALDEK.INI as the program
// is, and checked by what reaches the audio device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/fake/fake_platform.h"
#include "speech/speech_layer.h"
#include "speech/synth_links.h"
#include "tests/support/speech_fakes.h"

namespace placarim::speech {
namespace {

namespace fs = std::filesystem;
using platform::fake::FakePlatform;

class SynthSpeechPathTest : public ::testing::Test {
 protected:
  SynthSpeechPathTest() {
    fs::remove_all(root_);
    fs::create_directories(root_ / "etc");
    ::setenv("PLACARIM_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    Configure(4);
    layer_.speech.AttachVoice(voice_);
  }
  ~SynthSpeechPathTest() override { fs::remove_all(root_); }

  void Configure(int type, const std::string& extra = "", int rate = 0) {
    std::ofstream(root_ / "etc" / "FALDEK.INI")
        << "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=" << type << "\nVOZ=1\nVELOCIDADE=" << rate
        << "\n" << extra;
  }

  // Samples that reached the device as 16-bit speech, and the loudest one.
  size_t SpeechSamples() const {
    size_t samples = 0;
    for (const auto& block : fake_.audio.written) {
      if (block.format == platform::AudioFormat{22050, 16, 1}) samples += block.bytes.size() / 2;
    }
    return samples;
  }
  // Speech samples one text (or sentence) added, once it has been spoken.
  size_t SamplesSpoken(const char* text, bool sentence) {
    const size_t before = SpeechSamples();
    if (sentence) speech_.Text().SpeakSentence(text);
    else speech_.Text().SpeakText(text);
    speech_.Output().WaitSpeech();
    return SpeechSamples() - before;
  }
  int Loudest() const {
    int loudest = 0;
    for (const auto& block : fake_.audio.written) {
      for (size_t i = 0; i + 1 < block.bytes.size(); i += 2) {
        const auto s = static_cast<int16_t>(block.bytes[i] | (block.bytes[i + 1] << 8));
        loudest = std::max(loudest, std::abs(static_cast<int>(s)));
      }
    }
    return loudest;
  }

  static fs::path Root() {
    return fs::path(::testing::TempDir()) /
           ("synth_path_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  fs::path root_ = Root();
  FakePlatform fake_;
  console::Console console_{fake_, (Root() / "start").string()};
  sound::WavePlayer wave_{console_, fake_.audio};
  SynthSystem synth_{console_, wave_};
  SpeechLayer layer_{console_, fake_.clock, wave_, &synth_.dispatcher};
  testing::Journal journal_;
  testing::FakeVoice voice_{journal_};
  Speech& speech_ = layer_.speech;
};

TEST_F(SynthSpeechPathTest, NumbersWordsAndPunctuationAreSpokenByTheEngine) {
  speech_.SpeechStart(0, "");
  ASSERT_TRUE(speech_.Output().SynthActive());
  EXPECT_EQ(speech_.Output().SynthType(), 4);
  size_t before = 0;
  for (const char* text : {"123", "7", "Gol do Brasil", "Quanto \xe9 2 + 2?", "!!!", "-5"}) {
    speech_.Text().SpeakText(text);
    speech_.Output().WaitSpeech();
    EXPECT_GT(SpeechSamples(), before) << "nothing was heard for " << text;
    before = SpeechSamples();
  }
  EXPECT_GT(Loudest(), 1000);
  EXPECT_TRUE(journal_.empty()) << "the built-in voice spoke: " << journal_.front();
  speech_.Text().SpeakText("  \r\n ");
  speech_.Output().WaitSpeech();
  EXPECT_EQ(SpeechSamples(), before) << "blanks were spoken";
}

// Named marks would add whole words: "exclamação" is longer than "Gol" itself.
TEST_F(SynthSpeechPathTest, TheGamesSentencesEndInPausesNotInTheMarksNames) {
  speech_.SpeechStart(0, "");
  ASSERT_TRUE(speech_.Output().SynthActive());
  auto heard = [this](const char* text) { return SamplesSpoken(text, true); };
  const size_t marks = heard("Gol! Gol de placa! Conferindo... Quer jogar?");
  const size_t bare = heard("Gol, Gol de placa, Conferindo, Quer jogar");
  const size_t named =
      heard("Gol exclama\xe7\xe3o Gol de placa exclama\xe7\xe3o Conferindo ponto ponto ponto Quer jogar interroga\xe7\xe3o");
  EXPECT_GT(bare, 22050u / 2);
  EXPECT_LT(marks, bare + 22050u) << "the marks took more than a second of pauses";
  EXPECT_LT(marks + 22050u * 3 / 2, named) << "the marks sound as long as their names";
}

TEST_F(SynthSpeechPathTest, SpeakTextReturnsAtOnceAndFinishSpeechWaitsForTheEnd) {
  speech_.SpeechStart(0, "");
  ASSERT_TRUE(speech_.Output().SynthActive());
  const int64_t start = fake_.clock.NowMs();
  speech_.Text().SpeakText("O campeonato vai come\xe7" "ar agora. Boa sorte!");
  EXPECT_EQ(fake_.clock.NowMs(), start) << "SpeakText waited for the speech";
  EXPECT_GT(SpeechSamples(), 0u) << "nothing handed to the device at once";
  const size_t samples = SpeechSamples();
  speech_.FinishSpeech();
  EXPECT_FALSE(speech_.Output().SynthActive());
  EXPECT_GE(fake_.clock.NowMs() - start, static_cast<int64_t>(samples * 1000 / 22050))
      << "FinishSpeech did not wait for the sound to end";
}

TEST_F(SynthSpeechPathTest, ASpeedChangeReopensTheEngine) {
  Configure(4, "");
  speech_.SpeechStart(0, "");
  speech_.Text().SpeakText("um dois tr\xeas quatro cinco seis");
  speech_.FinishSpeech();
  const size_t normal = SpeechSamples();

  Configure(4, "", 400);
  speech_.SpeechStart(5, "");
  ASSERT_TRUE(speech_.Output().SynthActive());
  speech_.Text().SpeakText("um dois tr\xeas quatro cinco seis");
  speech_.FinishSpeech();
  const size_t fast = SpeechSamples() - normal;
  EXPECT_GT(fast, 0u);
  EXPECT_LT(fast * 3, normal * 2) << "the new rate was not applied";
}

TEST_F(SynthSpeechPathTest, AKeySilencesTheEngineAndStaysReadable) {
  speech_.SpeechStart(0, "");
  std::string text;
  for (int i = 0; i < 100; ++i) text += "O jogador correu pelo campo e chutou para o gol. ";
  speech_.Text().SpeakText(text);
  const int64_t key_at = fake_.clock.NowMs() + 1500;
  fake_.events.PostAt(key_at, platform::fake::keys::Type("x"));
  speech_.Output().WaitSpeech();
  EXPECT_LT(fake_.clock.NowMs(), key_at + 100) << "speech went on after the key";
  for (const auto& block : fake_.audio.written) {
    EXPECT_LE(block.written_ms, key_at + 50) << "a block was written after the key";
  }
  EXPECT_FALSE(speech_.Output().IsSpeaking());
  EXPECT_EQ(console_.ReadKey(), 'x');
  // The next text is spoken whole, without leftovers of the first.
  const size_t before = SpeechSamples();
  speech_.Text().SpeakText("sete");
  speech_.Output().WaitSpeech();
  const size_t sete = SpeechSamples() - before;
  EXPECT_GT(sete, 22050u / 10);
  EXPECT_LT(sete, 22050u * 2);
}

TEST_F(SynthSpeechPathTest, SpeedOptionsOfTheBuiltInVoiceDoNotTouchTheEngine) {
  Configure(4, "[SINTETIZADOR]\nRAPIDINHO3=Sim\nCORTAFALA3=Sim\n");
  speech_.SpeechStart(0, "");
  ASSERT_TRUE(wave_.WaveSpeedUp());
  speech_.Text().SpeakText("gol");
  speech_.Output().WaitSpeech();
  ASSERT_FALSE(fake_.audio.opened.empty());
  for (const auto& format : fake_.audio.opened) EXPECT_EQ(format, (platform::AudioFormat{22050, 16, 1}));
  EXPECT_TRUE(wave_.WaveSpeedUp());
  EXPECT_TRUE(wave_.WaveCondense());
}

// The Ilvra voice without its files (this test names none) cannot open.
TEST_F(SynthSpeechPathTest, TheIlvraVoiceWithoutItsFilesFailsAndTheBuiltInVoiceSpeaks) {
  Configure(3);
  speech_.SpeechStart(0, "");
  EXPECT_FALSE(speech_.Output().SynthActive());
  EXPECT_EQ(speech_.Output().SynthType(), 3);
  speech_.Text().SpeakText("gol");
  EXPECT_EQ(journal_, (testing::Journal{"voice:<gol >"}));
  EXPECT_EQ(SpeechSamples(), 0u);
}

// A service that is not there: espeak-ng speaks in its place, after saying
// once why (several seconds of speech before the first "gol").
TEST_F(SynthSpeechPathTest, AServiceThatIsNotRunningGivesWayToTheEngineAfterANotice) {
  ::setenv("SPEECHD_ADDRESS", "unix_socket:/tmp/placarim-no-such-service.sock", 1);
  Configure(5);
  speech_.SpeechStart(0, "");
  EXPECT_TRUE(speech_.Output().SynthActive());
  EXPECT_EQ(speech_.Output().SynthType(), 5);
  auto heard = [this](const char* text) { return SamplesSpoken(text, false); };
  const size_t first = heard("gol");
  const size_t second = heard("gol");
  EXPECT_GT(second, 22050u / 10);
  EXPECT_GT(first, second + 22050u) << "no notice before the first text";
  EXPECT_LT(second, 22050u * 3 / 2) << "the notice was said again";
  EXPECT_TRUE(journal_.empty()) << "the built-in voice spoke: " << journal_.front();
}

}  // namespace
}  // namespace placarim::speech
