// The in-process engine with the real libespeak-ng, on a fake host and audio
// sink whose clock the tests move by hand.
#include "voices/espeak/synth_espeak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>
#include <string>

#include "tests/support/synth_fakes.h"

namespace placarim::voices {
namespace {

using speech::testing::FakeSynthAudio;
using speech::testing::FakeSynthHost;

constexpr size_t kMaxPiece = 4 * (65534 / 2);

std::string LongText(int sentences) {
  std::string text;
  for (int i = 0; i < sentences; ++i) text += "O jogador chutou a bola e marcou mais um gol bonito. ";
  return text;
}

// Lengths of the same text agree to a few samples from run to run.
::testing::AssertionResult SameLength(size_t a, size_t b) {
  const size_t difference = a > b ? a - b : b - a;
  if (difference <= std::max<size_t>(200, std::max(a, b) / 100)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << a << " and " << b << " samples";
}

class EspeakBridgeTest : public ::testing::Test {
 protected:
  // Polls like the speech layer's waits do, letting the fake clock run while
  // sound plays; returns how many polls it took (bounded).
  int RunUntilSilent(EspeakBridge& bridge, int max_polls = 2000) {
    int polls = 0;
    while (bridge.IsSpeaking(0) && polls < max_polls) {
      ++polls;
      host_.now_ms += 100;
    }
    return polls;
  }
  // Speak hands a piece over only when the engine has one within its short
  // wait; on a busy machine it may not. Polls, as the speech layer's waits
  // do, until the first piece arrives or a minute has passed.
  void AwaitFirstPiece(EspeakBridge& bridge) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (audio_.pieces.empty() && bridge.IsSpeaking(0) && std::chrono::steady_clock::now() < give_up) {
    }
  }
  // Everything one text sounds like with the given settings. The engine adds
  // random noise to some sounds, so tests compare lengths, not samples.
  std::vector<int16_t> SoundOf(const std::string& text, int voice = 1, int rate = 0) {
    FakeSynthHost host;
    FakeSynthAudio audio(host);
    EspeakBridge bridge(host, audio);
    EXPECT_TRUE(bridge.Open(voice, rate, 0));
    bridge.Speak(text);
    for (int polls = 0; bridge.IsSpeaking(0) && polls < 2000; ++polls) host.now_ms += 100;
    std::vector<int16_t> all;
    for (const auto& piece : audio.pieces) all.insert(all.end(), piece.begin(), piece.end());
    return all;
  }

  FakeSynthHost host_;
  FakeSynthAudio audio_{host_};
};

TEST_F(EspeakBridgeTest, ListsPortugueseVoicesBrazilFirst) {
  EspeakBridge bridge(host_, audio_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  const auto voices = EspeakBridge::PortugueseVoices();
  ASSERT_FALSE(voices.empty());
  std::string first = voices.front();
  std::transform(first.begin(), first.end(), first.begin(), ::tolower);
  EXPECT_NE(first.find("pt-br"), std::string::npos) << voices.front();
  EXPECT_EQ(std::set<std::string>(voices.begin(), voices.end()).size(), voices.size());
}

TEST_F(EspeakBridgeTest, SpeaksATextAsOnePieceOfSoundThroughWavePlayback) {
  EspeakBridge bridge(host_, audio_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak("Gol do Brasil!");
  // Whether Speak itself or the next poll hands it over depends on how fast
  // the engine's thread runs; either way, sound is playing then.
  AwaitFirstPiece(bridge);
  ASSERT_FALSE(audio_.pieces.empty());
  EXPECT_TRUE(bridge.IsSpeaking(0));
  EXPECT_GT(RunUntilSilent(bridge), 0);
  for (uint32_t rate : audio_.rates) EXPECT_EQ(rate, bridge.SampleRate());
  std::vector<int16_t> sound;
  for (const auto& p : audio_.pieces) sound.insert(sound.end(), p.begin(), p.end());
  const double seconds = static_cast<double>(sound.size()) / bridge.SampleRate();
  EXPECT_GT(seconds, 0.3);
  EXPECT_LT(seconds, 5.0);
  EXPECT_GT(*std::max_element(sound.begin(), sound.end()), 1000) << "silence instead of speech";
}

TEST_F(EspeakBridgeTest, TextRulesDecideWhatIsSpoken) {
  // A lone digit is read as the digit followed by a full stop.
  const size_t digit_with_stop = SoundOf("7.").size();
  EXPECT_TRUE(SameLength(SoundOf("7").size(), digit_with_stop));
  EXPECT_TRUE(SameLength(SoundOf(" \t7\r\n").size(), digit_with_stop));
  EXPECT_FALSE(SameLength(SoundOf("7 7").size(), digit_with_stop));
  // Blanks and control characters alone say nothing.
  for (const char* silent : {"", "   ", "\t\r\n", "\x01\x02\x1f"}) {
    EXPECT_TRUE(SoundOf(silent).empty()) << "for " << ::testing::PrintToString(silent);
  }
}

TEST_F(EspeakBridgeTest, VoiceNumberCountsPortugueseVoices) {
  const auto voices = [] {
    FakeSynthHost host;
    FakeSynthAudio audio(host);
    EspeakBridge bridge(host, audio);
    EXPECT_TRUE(bridge.Open(1, 0, 0));
    return EspeakBridge::PortugueseVoices();
  }();
  ASSERT_GE(voices.size(), 2u);
  const char* text = "A seleção brasileira joga amanhã";
  const size_t first = SoundOf(text, 1).size();
  EXPECT_TRUE(SameLength(SoundOf(text, 0).size(), first)) << "voice 0 counts as 1";
  EXPECT_FALSE(SameLength(SoundOf(text, 2).size(), first));
  EXPECT_TRUE(SameLength(SoundOf(text, 99).size(), SoundOf(text, static_cast<int>(voices.size())).size()))
      << "past the last voice, the last one counted";
}

TEST_F(EspeakBridgeTest, RateIsWordsPerMinute) {
  const auto text = "um dois tres quatro cinco seis sete oito nove dez";
  const size_t slow = SoundOf(text, 1, 100).size();
  const size_t normal = SoundOf(text, 1, 0).size();
  const size_t fast = SoundOf(text, 1, 400).size();
  EXPECT_GT(slow, normal);
  EXPECT_GT(normal, fast);
  EXPECT_GT(slow, 2 * fast);
}

TEST_F(EspeakBridgeTest, APendingKeySkipsTheTextAndSilencesSpeech) {
  EspeakBridge bridge(host_, audio_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  host_.key_pending = true;
  bridge.Speak("Não deve ser dito");
  EXPECT_TRUE(audio_.pieces.empty());
  EXPECT_FALSE(bridge.IsSpeaking(0));

  host_.key_pending = false;
  bridge.Speak(LongText(200));
  AwaitFirstPiece(bridge);
  const size_t handed = audio_.pieces.size();
  ASSERT_GT(handed, 0u);
  host_.key_pending = true;
  EXPECT_FALSE(bridge.IsSpeaking(0));
  EXPECT_GT(audio_.stops, 0);
  host_.key_pending = false;
  host_.now_ms += 60'000;
  EXPECT_FALSE(bridge.IsSpeaking(0));
  EXPECT_EQ(audio_.pieces.size(), handed) << "speech went on after the key";
}

TEST_F(EspeakBridgeTest, LongTextsPlayInPiecesEachAfterThePreviousEnds) {
  EspeakBridge bridge(host_, audio_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak(LongText(40));
  const bool by_speak = !audio_.pieces.empty();  // else the engine was slower than Speak's short wait
  AwaitFirstPiece(bridge);
  ASSERT_FALSE(audio_.pieces.empty());
  if (by_speak) {
    EXPECT_LE(audio_.pieces.front().size(), 22050u / 2) << "the first piece should start sound at once";
  }
  size_t handed = audio_.pieces.size();
  int64_t previous_end = audio_.playing_until;
  for (int polls = 0; bridge.IsSpeaking(0) && polls < 5000; ++polls) {
    if (audio_.pieces.size() > handed) {
      EXPECT_GE(host_.now_ms, previous_end) << "a piece was handed while the last one played";
      // Each poll that finds the engine behind waits for it up to a second of
      // real time; twenty such polls mean a gap, not a busy machine.
      EXPECT_LE(host_.now_ms, previous_end + 20 * 50) << "a gap before the next piece";
      handed = audio_.pieces.size();
      previous_end = audio_.playing_until;
    }
    host_.now_ms += 50;
  }
  EXPECT_GE(audio_.pieces.size(), 4u);
  EXPECT_EQ(audio_.overfills, 0) << "more was handed over than wave playback had room for";
  for (const auto& piece : audio_.pieces) EXPECT_LE(piece.size(), kMaxPiece);
  EXPECT_GT(audio_.TotalSamples() / bridge.SampleRate(), 60u);
}

TEST_F(EspeakBridgeTest, SoundStoppedByOthersEndsTheText) {
  EspeakBridge bridge(host_, audio_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak(LongText(40));
  // A stop near the end of what was handed cannot be told from its end; on a
  // busy machine the first pieces may be short, so each plays out and the
  // bridge hands the next, until over a second waits ahead. (Checked after
  // each hand-over: skipping ahead first would also skip that piece, and the
  // whole text would play out.)
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (audio_.playing_until - host_.now_ms < 1000 && std::chrono::steady_clock::now() < give_up) {
    host_.now_ms = std::max(host_.now_ms, audio_.playing_until);
    if (!bridge.IsSpeaking(0)) break;
  }
  const size_t handed = audio_.pieces.size();
  ASSERT_GE(audio_.playing_until - host_.now_ms, 1000);
  host_.now_ms += 500;
  audio_.Stop();  // what the speech layer's StopSpeech does first
  EXPECT_FALSE(bridge.IsSpeaking(0));
  host_.now_ms += 60'000;
  EXPECT_FALSE(bridge.IsSpeaking(0));
  EXPECT_EQ(audio_.pieces.size(), handed);
}

TEST_F(EspeakBridgeTest, StopCancelsSynthesisAndTheNextTextSpeaksAlone) {
  const size_t alone = SoundOf("sete").size();
  EspeakBridge bridge(host_, audio_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak(LongText(300));
  bridge.Stop();
  EXPECT_FALSE(bridge.IsSpeaking(0));
  audio_.pieces.clear();
  host_.now_ms += 60'000;
  bridge.Speak("sete");
  RunUntilSilent(bridge);
  EXPECT_TRUE(SameLength(audio_.TotalSamples(), alone)) << "leftovers of the cancelled text were played";
}

TEST_F(EspeakBridgeTest, HostileTextDoesNotBreakTheEngine) {
  EspeakBridge bridge(host_, audio_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  std::string hostile(4'000'000, ' ');
  for (size_t i = 0; i < hostile.size(); ++i) hostile[i] = static_cast<char>((i * 7919) & 0xFF);
  const auto start = std::chrono::steady_clock::now();
  bridge.Speak(hostile);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  host_.now_ms += 2000;
  bridge.IsSpeaking(0);
  bridge.Stop();
  EXPECT_FALSE(bridge.IsSpeaking(0));
  for (const char* text : {"\x81\x8d\x8f\x90\x9d", "[[a]] <speak>x</speak>", "a\x1b[0m b\x07", "\xff\xfe\x80"}) {
    bridge.Speak(text);
    RunUntilSilent(bridge);
  }
  bridge.Speak("ainda falo");
  AwaitFirstPiece(bridge);
  EXPECT_FALSE(audio_.pieces.empty());
  EXPECT_TRUE(bridge.IsSpeaking(0));
}

TEST_F(EspeakBridgeTest, ADeviceErrorMeansSilence) {
  EspeakBridge bridge(host_, audio_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  audio_.error = 32;
  bridge.Speak(LongText(5));
  EXPECT_FALSE(bridge.IsSpeaking(0));
  audio_.error = 0;
  host_.now_ms += 60'000;
  EXPECT_FALSE(bridge.IsSpeaking(0));
  EXPECT_TRUE(audio_.pieces.empty());
}

TEST_F(EspeakBridgeTest, OneEngineAtATimeAndItCanBeReopened) {
  EspeakBridge first(host_, audio_);
  EspeakBridge second(host_, audio_);
  ASSERT_TRUE(first.Open(1, 0, 0));
  EXPECT_FALSE(second.Open(1, 0, 0));
  first.Speak(LongText(50));
  first.Close();
  EXPECT_FALSE(first.IsSpeaking(0));
  const size_t handed = audio_.pieces.size();
  ASSERT_TRUE(second.Open(1, 300, 0));
  second.Speak("de novo");
  RunUntilSilent(second);  // the engine speaks on its own thread
  EXPECT_GT(audio_.pieces.size(), handed);
}

}  // namespace
}  // namespace placarim::voices
