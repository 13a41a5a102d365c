#include "speech/synth_dispatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "speech/synth_espeak.h"
#include "speech/synth_speechd.h"
#include "tests/speech/synth_fakes.h"

namespace placarim::speech {
namespace {

using testing::FakeSynthAudio;
using testing::FakeSynthHost;

// A bridge that speaks for a set number of polls and logs every call.
struct BridgeLog {
  std::vector<std::string> calls;
  int busy_polls = 0;        // IsSpeaking answers true this many more times
  bool open_result = true;
  int pumps_at_last_poll = -1;
};

class ScriptedBridge : public SynthBridge {
 public:
  ScriptedBridge(BridgeLog& log, FakeSynthHost& host) : log_(log), host_(host) {}
  bool Open(int voice, int rate, int pitch) override {
    log_.calls.push_back("open " + std::to_string(voice) + " " + std::to_string(rate) + " " +
                         std::to_string(pitch));
    return log_.open_result;
  }
  void Speak(std::string_view text) override { log_.calls.push_back("speak " + std::string(text)); }
  bool IsSpeaking(int mode) override {
    log_.calls.push_back("is " + std::to_string(mode));
    log_.pumps_at_last_poll = host_.pumps;
    if (log_.busy_polls > 0) {
      --log_.busy_polls;
      return true;
    }
    return false;
  }
  void Stop() override { log_.calls.push_back("stop"); }
  void Close() override { log_.calls.push_back("close"); }

 private:
  BridgeLog& log_;
  FakeSynthHost& host_;
};

class SynthDispatcherTest : public ::testing::Test {
 protected:
  SynthDispatcher MakeDispatcher() {
    return SynthDispatcher(host_, [this](int type) -> std::unique_ptr<SynthBridge> {
      types_.push_back(type);
      if (type == kSynthSecondVoice) return nullptr;
      return std::make_unique<ScriptedBridge>(log_, host_);
    });
  }
  FakeSynthHost host_;
  BridgeLog log_;
  std::vector<int> types_;
};

TEST_F(SynthDispatcherTest, OpenRecordsTheTypeEvenWhenItFails) {
  SynthDispatcher dispatcher = MakeDispatcher();
  EXPECT_EQ(dispatcher.SynthType(), 4);
  EXPECT_FALSE(dispatcher.SynthOpen(1, 0, 0, kSynthSecondVoice));
  EXPECT_EQ(dispatcher.SynthType(), 3);
  EXPECT_FALSE(dispatcher.IsOpen());
  EXPECT_FALSE(dispatcher.SynthIsSpeaking(0));
  dispatcher.SynthSpeak("nada");  // nothing open: ignored

  log_.open_result = false;
  EXPECT_FALSE(dispatcher.SynthOpen(2, 3, 4, kSynthService));
  EXPECT_EQ(dispatcher.SynthType(), 5);
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"open 2 3 4"}));
}

TEST_F(SynthDispatcherTest, OpenReturnsOnlyAfterTheSynthesizerIsSilent) {
  SynthDispatcher dispatcher = MakeDispatcher();
  log_.busy_polls = 3;
  EXPECT_TRUE(dispatcher.SynthOpen(1, 150, 0, kSynthInProcess));
  EXPECT_EQ(log_.busy_polls, 0);
  EXPECT_EQ(host_.delays, (std::vector<int>{50, 50, 50}));
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"open 1 150 0", "is 1", "is 1", "is 1", "is 1"}));
}

TEST_F(SynthDispatcherTest, OpenGivesUpOnASynthesizerThatNeverFallsSilent) {
  SynthDispatcher dispatcher = MakeDispatcher();
  log_.busy_polls = 1'000'000;
  EXPECT_TRUE(dispatcher.SynthOpen(1, 0, 0, kSynthInProcess));
  EXPECT_EQ(log_.calls.back(), "stop");
  EXPECT_LE(host_.now_ms - 1000, SynthDispatcher::kOpenSilenceLimitMs + SynthDispatcher::kOpenPollMs);
}

TEST_F(SynthDispatcherTest, IsSpeakingPumpsMessagesBeforeAsking) {
  SynthDispatcher dispatcher = MakeDispatcher();
  ASSERT_TRUE(dispatcher.SynthOpen(1, 0, 0, kSynthInProcess));
  const int pumps = host_.pumps;
  log_.busy_polls = 1;
  EXPECT_TRUE(dispatcher.SynthIsSpeaking(0));
  EXPECT_EQ(log_.pumps_at_last_poll, pumps + 1);
  EXPECT_FALSE(dispatcher.SynthIsSpeaking(0));
}

TEST_F(SynthDispatcherTest, OperationsReachTheOpenBridgeAndReopeningClosesTheOld) {
  SynthDispatcher dispatcher = MakeDispatcher();
  ASSERT_TRUE(dispatcher.SynthOpen(1, 0, 0, 7));
  dispatcher.SynthSpeak("gol");
  dispatcher.SynthStop();
  ASSERT_TRUE(dispatcher.SynthOpen(2, 0, 0, 54));
  dispatcher.SynthClose();
  dispatcher.SynthClose();
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"open 1 0 0", "is 1", "speak gol", "stop", "close",
                                                  "open 2 0 0", "is 1", "close"}));
  EXPECT_EQ(types_, (std::vector<int>{7, 54}));
}

TEST(SystemSynthBridgesTest, TheTypeChoosesTheBridge) {
  FakeSynthHost host;
  FakeSynthAudio audio(host);
  const SynthBridgeFactory factory = SystemSynthBridges(host, audio);
  struct Case {
    int type;
    const char* bridge;
  };
  const Case cases[] = {{3, "ilvra"},   {4, "engine"}, {0, "engine"},  {1, "engine"},
                        {-5, "engine"}, {6, "engine"}, {5, "service"}, {54, "service"}};
  for (const auto& c : cases) {
    const auto bridge = factory(c.type);
    const char* kind = !bridge                                                   ? "none"
                       : dynamic_cast<EspeakBridge*>(bridge.get())              ? "engine"
                       : dynamic_cast<SpeechServiceBridge*>(bridge.get())       ? "service"
                       : dynamic_cast<IlvraBridge*>(bridge.get())               ? "ilvra"
                                                                                 : "other";
    EXPECT_STREQ(kind, c.bridge) << "type " << c.type;
  }
}

}  // namespace
}  // namespace placarim::speech
