// The speech service bridge against a real speech-dispatcher started by the
// test: its own configuration in a temporary directory, the espeak-ng output
// module, ALSA's null device, a private socket named by SPEECHD_ADDRESS.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "voices/speechd/synth_speechd.h"
#include "tests/support/speech_daemon.h"
#include "tests/support/synth_fakes.h"

// libspeechd parses the service's list of several thousand voices with strstr
// over the whole reply; the sanitizers' checked strstr makes that quadratic
// (minutes). Their other checks stay on.
extern "C" const char* __asan_default_options() { return "intercept_strstr=0"; }

namespace placarim::voices {
namespace {

using placarim::testing::SpeechDaemon;
using speech::testing::FakeSynthHost;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string LongText() {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "O time jogou muito bem e o torcedor cantou sem parar. ";
  return text;
}

// Polls like the speech layer; how long until silence (bounded).
Clock::duration RunUntilSilent(SpeechServiceBridge& bridge, Clock::duration limit = 30s) {
  const auto start = Clock::now();
  while (bridge.IsSpeaking(0) && Clock::now() - start < limit) {
  }
  return Clock::now() - start;
}

class SpeechDaemonTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { daemon_ = new SpeechDaemon; }
  static void TearDownTestSuite() {
    delete daemon_;
    daemon_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(daemon_->Running()) << "speech-dispatcher did not start"; }

  static SpeechDaemon* daemon_;
  FakeSynthHost host_;
  // A deadline far beyond any test: ending must come from the notification.
  SpeechServiceBridge::Limits patient_{.speaking_floor_ms = 60'000, .speaking_per_byte_ms = 0, .close_ms = 3000};
};
SpeechDaemon* SpeechDaemonTest::daemon_ = nullptr;

TEST_F(SpeechDaemonTest, SpeaksAndHearsTheEnd) {
  SpeechServiceBridge bridge(host_, patient_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  EXPECT_FALSE(bridge.PortugueseVoices().empty());
  EXPECT_EQ(bridge.ChosenVoice(), bridge.PortugueseVoices().front());
  for (const char* text : {"Gol do Brasil!", "7", ""}) {
    bridge.Speak(text);
    EXPECT_LT(RunUntilSilent(bridge), 20s) << "no end notification for " << text;
  }
  EXPECT_EQ(host_.beeps, 0);
  EXPECT_GE(host_.WakeUpCount(), 3u);
  bridge.Close();
}

TEST_F(SpeechDaemonTest, ALongTextIsCancelled) {
  SpeechServiceBridge bridge(host_, patient_);
  ASSERT_TRUE(bridge.Open(2, -5, 0));
  bridge.Speak(LongText());
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(bridge.IsSpeaking(0)) << "a minute of speech ended within 300 ms";
  bridge.Stop();
  EXPECT_FALSE(bridge.IsSpeaking(0));
  // The service is still usable afterwards.
  bridge.Speak("depois");
  EXPECT_LT(RunUntilSilent(bridge), 20s);
  const auto start = Clock::now();
  bridge.Close();
  EXPECT_LT(Clock::now() - start, 5s);
}

// Polls until silence like the speech layer; the longest single poll.
Clock::duration LongestPollUntilSilent(SpeechServiceBridge& bridge, Clock::duration limit = 30s) {
  Clock::duration longest{};
  const auto start = Clock::now();
  for (bool speaking = true; speaking && Clock::now() - start < limit;) {
    const auto before = Clock::now();
    speaking = bridge.IsSpeaking(0);
    longest = std::max(longest, Clock::now() - before);
  }
  return longest;
}

// Tries to take the service back the way the dispatcher does: again and
// again while texts come, until it answers (a service just thawed or started
// may need a moment on a busy machine).
bool ReopenedWithin(SpeechServiceBridge& bridge, Clock::duration limit) {
  const auto start = Clock::now();
  while (!bridge.Reopen()) {
    if (Clock::now() - start > limit) return false;
    std::this_thread::sleep_for(300ms);
  }
  return true;
}

// A service stopped with SIGSTOP keeps its socket but never answers: the
// bridge must notice without hanging, count it lost, and take it back once
// it answers again. (The bounds are generous: without the watchdog these
// calls never return at all.)
TEST_F(SpeechDaemonTest, AFrozenServiceIsLostAndComesBackWhenItAnswers) {
  SpeechServiceBridge bridge(host_, SpeechServiceBridge::Limits{});
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak(LongText());
  std::this_thread::sleep_for(200ms);
  daemon_->Freeze();
  EXPECT_LT(LongestPollUntilSilent(bridge), 5s);
  EXPECT_TRUE(bridge.Lost());
  EXPECT_EQ(bridge.failure(), SpeechServiceBridge::Failure::kLost);
  auto start = Clock::now();
  bridge.Speak("congelado");  // dropped at once: the service is lost
  EXPECT_FALSE(bridge.Reopen()) << "a frozen service was taken back";
  EXPECT_LT(Clock::now() - start, 5s);

  daemon_->Thaw();
  ASSERT_TRUE(ReopenedWithin(bridge, 20s));
  EXPECT_FALSE(bridge.Lost());
  bridge.Speak("voltou");
  EXPECT_LT(RunUntilSilent(bridge), 20s);
  EXPECT_FALSE(bridge.Lost()) << "the end of the text was not heard after the return";
  start = Clock::now();
  bridge.Close();
  EXPECT_LT(Clock::now() - start, 5s);
}

// A text handed to a frozen service is refused with a beep within the call
// limit, instead of waiting for an answer that never comes.
TEST_F(SpeechDaemonTest, ATextForAFrozenServiceIsBeepedAndTheServiceLost) {
  SpeechServiceBridge bridge(host_, SpeechServiceBridge::Limits{});
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  daemon_->Freeze();
  const auto start = Clock::now();
  bridge.Speak("ningu\xe9m responde");
  EXPECT_LT(Clock::now() - start, 5s);
  daemon_->Thaw();
  EXPECT_EQ(host_.beeps, 1);
  EXPECT_TRUE(bridge.Lost());
  EXPECT_FALSE(bridge.IsSpeaking(0));
  bridge.Close();
}

TEST_F(SpeechDaemonTest, AServiceWithoutPortugueseVoicesIsNotUsed) {
  {
    SpeechDaemon foreign(3, "dummy");
    ASSERT_TRUE(foreign.Running());
    SpeechServiceBridge bridge(host_, patient_);
    EXPECT_FALSE(bridge.Open(1, 0, 0));
    EXPECT_EQ(bridge.failure(), SpeechServiceBridge::Failure::kNoPortuguese);
    EXPECT_TRUE(bridge.PortugueseVoices().empty());
  }
  setenv("SPEECHD_ADDRESS", daemon_->Address().c_str(), 1);
}

TEST_F(SpeechDaemonTest, AServiceKilledAndStartedAgainIsTakenBack) {
  SpeechServiceBridge bridge(host_, patient_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  daemon_->Kill();
  bridge.Speak("morto");
  EXPECT_TRUE(bridge.Lost());
  EXPECT_FALSE(bridge.Reopen());
  daemon_->Start();
  ASSERT_TRUE(daemon_->Running());
  ASSERT_TRUE(ReopenedWithin(bridge, 20s));
  bridge.Speak("de volta");
  EXPECT_LT(RunUntilSilent(bridge), 20s);
  EXPECT_FALSE(bridge.Lost());
  bridge.Close();
}

TEST_F(SpeechDaemonTest, AServiceKilledMidTextMeansSilence) {
  SpeechServiceBridge bridge(host_, patient_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak(LongText());
  std::this_thread::sleep_for(200ms);
  daemon_->Kill();
  EXPECT_LT(RunUntilSilent(bridge), 3s);
  bridge.Speak("sem servi\xe7o");
  EXPECT_FALSE(bridge.IsSpeaking(0));
  const auto start = Clock::now();
  bridge.Close();
  EXPECT_LT(Clock::now() - start, 3s);
}

}  // namespace
}  // namespace placarim::voices
