// The speech service bridge against a scripted stand-in for the service.
#include "voices/speechd/synth_speechd.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/voices/speechd/ssip_fake_server.h"
#include "tests/support/synth_fakes.h"

namespace placarim::voices {
namespace {

using testing::FakeSsipServer;
using speech::testing::FakeSynthHost;
using testing::ServiceVoice;
using Clock = std::chrono::steady_clock;

const std::vector<ServiceVoice> kTwoBrazilianVoices = {
    {"Voz Lusa", "pt-PT", "none"},
    {"Voz A", "pt-BR", "none"},
    {"Voz Inglesa", "en", "none"},
    {"Voz B", "pt-br", "B"},
};

class SpeechServiceBridgeTest : public ::testing::Test {
 protected:
  std::unique_ptr<FakeSsipServer> StartServer(FakeSsipServer::Options options) {
    auto server = std::make_unique<FakeSsipServer>(
        "/tmp/placarim-ssip-" + std::to_string(getpid()) + ".sock", std::move(options));
    setenv("SPEECHD_ADDRESS", server->Address().c_str(), 1);
    return server;
  }
  // Polls like the speech layer does; the time it took to fall silent.
  Clock::duration RunUntilSilent(SpeechServiceBridge& bridge) {
    const auto start = Clock::now();
    while (bridge.IsSpeaking(0) && Clock::now() - start < std::chrono::seconds(20)) {
    }
    return Clock::now() - start;
  }
  static bool Has(const std::vector<std::string>& commands, const std::string& command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
  }

  FakeSynthHost host_;
  SpeechServiceBridge::Limits quick_{.speaking_floor_ms = 300, .speaking_per_byte_ms = 1, .close_ms = 600};
};

TEST_F(SpeechServiceBridgeTest, ChoosesABrazilianVoiceAndMapsTheRate) {
  struct Case {
    int voice, rate;
    const char* chosen;
    const char* rate_command;
  };
  const Case cases[] = {
      {1, 0, "Voz A", "SET SELF RATE 0"},     {2, 7, "Voz B", "SET SELF RATE 70"},
      {2, -10, "Voz B", "SET SELF RATE -100"}, {2, -40, "Voz B", "SET SELF RATE -100"},
      {9, 5, "Voz A", "SET SELF RATE 0"},     // out of range: first voice, rate 0
      {0, 5, "Voz A", "SET SELF RATE 0"},     {-1, 5, "Voz A", "SET SELF RATE 0"},
  };
  for (const auto& c : cases) {
    auto server = StartServer({.voices = kTwoBrazilianVoices});
    SpeechServiceBridge bridge(host_, quick_);
    ASSERT_TRUE(bridge.Open(c.voice, c.rate, 0));
    EXPECT_EQ(bridge.PortugueseVoices(), (std::vector<std::string>{"Voz A", "Voz B"}));
    EXPECT_EQ(bridge.ChosenVoice(), c.chosen);
    bridge.Close();
    const auto commands = server->Commands();
    EXPECT_TRUE(Has(commands, std::string("SET SELF SYNTHESIS_VOICE ") + c.chosen)) << "voice " << c.voice;
    EXPECT_TRUE(Has(commands, c.rate_command)) << "voice " << c.voice << " rate " << c.rate;
    EXPECT_TRUE(Has(commands, "SET SELF LANGUAGE pt-BR"));
  }
}

// A Brazilian voice first, else any Portuguese one; a service with neither is
// not used at all (its default voice would read Portuguese as a foreigner).
TEST_F(SpeechServiceBridgeTest, WithoutBrazilianVoicesAPortugueseOneSpeaksOrNone) {
  struct Case {
    std::vector<ServiceVoice> voices;
    const char* chosen;  // nullptr: Open fails
  };
  const Case cases[] = {
      {{{"Voz Inglesa", "en", "none"}, {"Voz Lusa", "pt-PT", "none"}, {"Voz Velha", "pt", "none"}}, "Voz Lusa"},
      {{{"Voz Inglesa", "en", "none"}, {"Voz Polaca", "pl", "none"}, {"Voz Ptolomeu", "ptx", "none"}}, nullptr},
      {{}, nullptr},
  };
  for (const Case& c : cases) {
    auto server = StartServer({.voices = c.voices});
    SpeechServiceBridge bridge(host_, quick_);
    ASSERT_EQ(bridge.Open(1, 4, 0), c.chosen != nullptr);
    bridge.Close();
    const auto commands = server->Commands();
    if (c.chosen) {
      EXPECT_EQ(bridge.ChosenVoice(), c.chosen);
      EXPECT_TRUE(Has(commands, "SET SELF LANGUAGE pt"));
      EXPECT_TRUE(Has(commands, "SET SELF RATE 40"));
      EXPECT_FALSE(bridge.Lost());
    } else {
      EXPECT_EQ(bridge.failure(), SpeechServiceBridge::Failure::kNoPortuguese);
      EXPECT_NE(bridge.LossNotice().find("portugu\xeas"), std::string::npos);
      for (const auto& command : commands) EXPECT_FALSE(command.starts_with("SET SELF SYNTHESIS_VOICE")) << command;
    }
  }
}

TEST_F(SpeechServiceBridgeTest, TextsReachTheServiceAsUtf8AndEmptyAsASpace) {
  auto server = StartServer({.voices = kTwoBrazilianVoices});
  SpeechServiceBridge bridge(host_, quick_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  for (const char* text : {"", "7", "a\xe7\xe3o", "um\x01" "dois\x7f", ".", "linha\r\n.\r\nfim"}) {
    bridge.Speak(text);
    RunUntilSilent(bridge);
  }
  bridge.Close();
  EXPECT_EQ(server->Texts(), (std::vector<std::string>{" ", "7", "a\xc3\xa7\xc3\xa3o", "um dois ", ".",
                                                       "linha  .  fim"}));
  EXPECT_EQ(host_.beeps, 0);
}

TEST_F(SpeechServiceBridgeTest, TheEndNotificationEndsSpeakingAndWakesTheWait) {
  auto server = StartServer({.voices = kTwoBrazilianVoices});
  SpeechServiceBridge bridge(host_, quick_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  const size_t wake_ups = host_.WakeUpCount();
  bridge.Speak("gol");
  const auto start = Clock::now();
  while (host_.WakeUpCount() == wake_ups && Clock::now() - start < std::chrono::seconds(5)) {
  }
  EXPECT_GT(host_.WakeUpCount(), wake_ups) << "the notification posted no wake-up";
  EXPECT_EQ(host_.wake_ups.back(), voices::kVoiceWakeUp);
  EXPECT_FALSE(bridge.IsSpeaking(0));
}

TEST_F(SpeechServiceBridgeTest, AServiceThatNeverReportsTheEndIsSilencedAfterADeadline) {
  auto server = StartServer({.voices = kTwoBrazilianVoices, .report_end = false});
  SpeechServiceBridge bridge(host_, quick_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak("nunca termina");
  EXPECT_TRUE(bridge.IsSpeaking(0));
  const auto took = RunUntilSilent(bridge);
  EXPECT_LT(took, std::chrono::seconds(5));
  EXPECT_GE(took, std::chrono::milliseconds(250));
  EXPECT_TRUE(Has(server->Commands(), "CANCEL SELF"));
  const auto start = Clock::now();
  bridge.Close();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST_F(SpeechServiceBridgeTest, AServiceThatDiesMidTextMeansSilenceAtOnce) {
  auto server = StartServer({.voices = kTwoBrazilianVoices, .report_end = false});
  SpeechServiceBridge bridge(host_, SpeechServiceBridge::Limits{});
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak("vai morrer");
  EXPECT_TRUE(bridge.IsSpeaking(0));
  server->Die();
  EXPECT_LT(RunUntilSilent(bridge), std::chrono::seconds(2));
  bridge.Speak("depois da morte");  // must neither crash nor hang
  EXPECT_FALSE(bridge.IsSpeaking(0));
  bridge.Stop();
  const auto start = Clock::now();
  bridge.Close();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

TEST_F(SpeechServiceBridgeTest, AServiceThatIsNotRunningFailsToOpen) {
  setenv("SPEECHD_ADDRESS", "unix_socket:/tmp/placarim-no-such-service.sock", 1);
  SpeechServiceBridge bridge(host_, quick_);
  const auto start = Clock::now();
  EXPECT_FALSE(bridge.Open(1, 0, 0));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  bridge.Speak("ninguém");
  EXPECT_FALSE(bridge.IsSpeaking(0));
  bridge.Close();
}

}  // namespace
}  // namespace placarim::voices
