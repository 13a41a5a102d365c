#include "speech/synth_dispatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "voices/espeak/synth_espeak.h"
#include "voices/ilvra/synth_ilvra.h"
#if PLACARIM_WITH_SPEECHD
#include "voices/speechd/synth_speechd.h"
#endif
#include "tests/support/synth_fakes.h"

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

class ScriptedBridge : public voices::Voice {
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
    return SynthDispatcher(host_, [this](int type) -> std::unique_ptr<voices::Voice> {
      types_.push_back(type);
      if (type == voices::kVoiceIlvra) return nullptr;
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
  EXPECT_FALSE(dispatcher.SynthOpen(1, 0, 0, voices::kVoiceIlvra));
  EXPECT_EQ(dispatcher.SynthType(), 3);
  EXPECT_FALSE(dispatcher.IsOpen());
  EXPECT_FALSE(dispatcher.SynthIsSpeaking(0));
  dispatcher.SynthSpeak("nada");  // nothing open: ignored

  // The service fails, and so does the in-process engine tried in its place.
  log_.open_result = false;
  EXPECT_FALSE(dispatcher.SynthOpen(2, 3, 4, voices::kVoiceService));
  EXPECT_EQ(dispatcher.SynthType(), 5);
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"open 2 3 4", "open 1 257 0"}));
  EXPECT_EQ(types_, (std::vector<int>{voices::kVoiceIlvra, voices::kVoiceService, voices::kVoiceEngine}));
}

TEST_F(SynthDispatcherTest, OpenReturnsOnlyAfterTheSynthesizerIsSilent) {
  SynthDispatcher dispatcher = MakeDispatcher();
  log_.busy_polls = 3;
  EXPECT_TRUE(dispatcher.SynthOpen(1, 150, 0, voices::kVoiceEngine));
  EXPECT_EQ(log_.busy_polls, 0);
  EXPECT_EQ(host_.delays, (std::vector<int>{50, 50, 50}));
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"open 1 150 0", "is 1", "is 1", "is 1", "is 1"}));
}

TEST_F(SynthDispatcherTest, OpenGivesUpOnASynthesizerThatNeverFallsSilent) {
  SynthDispatcher dispatcher = MakeDispatcher();
  log_.busy_polls = 1'000'000;
  EXPECT_TRUE(dispatcher.SynthOpen(1, 0, 0, voices::kVoiceEngine));
  EXPECT_EQ(log_.calls.back(), "stop");
  EXPECT_LE(host_.now_ms - 1000, SynthDispatcher::kOpenSilenceLimitMs + SynthDispatcher::kOpenPollMs);
}

TEST_F(SynthDispatcherTest, IsSpeakingPumpsMessagesBeforeAsking) {
  SynthDispatcher dispatcher = MakeDispatcher();
  ASSERT_TRUE(dispatcher.SynthOpen(1, 0, 0, voices::kVoiceEngine));
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

// A bridge whose failures the test decides: the service ("svc") or the
// in-process engine ("eng") put in its place. Every call is logged.
struct VoiceScript {
  std::string name;
  std::vector<std::string>* calls;
  bool opens = true;
  bool lost = false;     // Lost() answers this
  bool reopens = false;  // Reopen succeeds (and clears `lost`)
};

class LosableBridge : public voices::Voice {
 public:
  explicit LosableBridge(VoiceScript& script) : s_(script) {}
  bool Open(int voice, int rate, int pitch) override {
    Log("open " + std::to_string(voice) + " " + std::to_string(rate) + " " + std::to_string(pitch));
    return s_.opens;
  }
  void Speak(std::string_view text) override { Log("speak " + std::string(text)); }
  bool IsSpeaking(int) override { return false; }
  void Stop() override { Log("stop"); }
  void Close() override { Log("close"); }
  bool Lost() override { return s_.lost; }
  bool Reopen() override {
    Log("reopen");
    if (s_.reopens) s_.lost = false;
    return s_.reopens;
  }
  std::string LossNotice() override { return s_.lost || !s_.opens ? "perdido" : ""; }

 private:
  void Log(const std::string& call) { s_.calls->push_back(s_.name + ":" + call); }
  VoiceScript& s_;
};

class SynthFallbackTest : public ::testing::Test {
 protected:
  SynthFallbackTest()
      : dispatcher_(host_, [this](int type) -> std::unique_ptr<voices::Voice> {
          return std::make_unique<LosableBridge>(type == voices::kVoiceEngine ? engine_ : service_);
        }) {}
  // The calls logged since the last look.
  std::vector<std::string> Calls() { return std::exchange(calls_, {}); }

  std::vector<std::string> calls_;
  VoiceScript service_{"svc", &calls_};
  VoiceScript engine_{"eng", &calls_};
  FakeSynthHost host_;
  SynthDispatcher dispatcher_;
};

// The service goes away in the middle of a game: the engine says once why,
// then speaks every text; the service is tried again only every kRetryMs,
// and speaks again as soon as it answers.
TEST_F(SynthFallbackTest, ALostServiceGivesWayToTheEngineUntilItAnswersAgain) {
  ASSERT_TRUE(dispatcher_.SynthOpen(2, 3, 0, voices::kVoiceService));
  dispatcher_.SynthSpeak("um");
  EXPECT_EQ(Calls(), (std::vector<std::string>{"svc:open 2 3 0", "svc:speak um"}));

  service_.lost = true;
  dispatcher_.SynthSpeak("dois");
  dispatcher_.SynthSpeak("tres");
  // The engine takes over at the service's speed (3 of 10: 257 words a minute).
  EXPECT_EQ(Calls(), (std::vector<std::string>{"svc:speak dois", "eng:open 1 257 0", "eng:speak perdido",
                                               "eng:speak dois", "eng:speak tres"}));
  EXPECT_TRUE(dispatcher_.Substituting());
  EXPECT_TRUE(dispatcher_.SynthCanSpeak());
  EXPECT_EQ(dispatcher_.SynthTakeNotice(), "");  // the engine said it

  host_.now_ms += SynthDispatcher::kRetryMs;
  dispatcher_.SynthSpeak("quatro");
  host_.now_ms += SynthDispatcher::kRetryMs - 1;
  dispatcher_.SynthSpeak("cinco");
  EXPECT_EQ(Calls(), (std::vector<std::string>{"svc:reopen", "eng:speak quatro", "eng:speak cinco"}));

  service_.reopens = true;
  host_.now_ms += 1;
  dispatcher_.SynthSpeak("seis");
  EXPECT_EQ(Calls(), (std::vector<std::string>{"svc:reopen", "eng:stop", "eng:close", "svc:speak seis"}));
  EXPECT_FALSE(dispatcher_.Substituting());
}

TEST(SynthSubstituteRate, KeepsTheServiceSpeedOnTheEngineScale) {
  const struct {
    int service, engine;
  } cases[] = {{0, 0}, {10, 450}, {-10, 80}, {5, 312}, {-5, 128}, {99, 450}, {-99, 80}};
  for (const auto& c : cases) EXPECT_EQ(SynthDispatcher::SubstituteRate(c.service), c.engine) << c.service;
}

// Nothing external left: the layer's own voice speaks, and is told why once.
TEST_F(SynthFallbackTest, WithoutAnEngineTheLayerSpeaksAndHearsWhyOnce) {
  engine_.opens = false;
  ASSERT_TRUE(dispatcher_.SynthOpen(1, 0, 0, voices::kVoiceServiceAlt));
  service_.lost = true;
  dispatcher_.SynthSpeak("um");
  EXPECT_FALSE(dispatcher_.SynthCanSpeak());
  EXPECT_EQ(dispatcher_.SynthTakeNotice(), "perdido");
  EXPECT_EQ(dispatcher_.SynthTakeNotice(), "");
  EXPECT_FALSE(dispatcher_.SynthIsSpeaking(0));
  // The service answers again: the layer hands texts over once more.
  service_.reopens = true;
  host_.now_ms += SynthDispatcher::kRetryMs;
  EXPECT_TRUE(dispatcher_.SynthCanSpeak());
  dispatcher_.SynthSpeak("dois");
  EXPECT_EQ(Calls().back(), "svc:speak dois");
}

TEST_F(SynthFallbackTest, AServiceThatCannotOpenIsReplacedAtOnce) {
  struct Case {
    int type;
    bool engine_opens;
    bool opened;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {voices::kVoiceService, true, true, {"svc:open 1 0 0", "eng:open 1 0 0", "eng:speak perdido", "eng:speak gol"}},
      {voices::kVoiceService, false, false, {"svc:open 1 0 0", "eng:open 1 0 0"}},
      // Only the speech service is replaced: the engine itself has no substitute.
      {voices::kVoiceEngine, true, false, {"eng:open 1 0 0"}},
  };
  for (const Case& c : cases) {
    service_.opens = false;
    engine_.opens = c.type == voices::kVoiceEngine ? false : c.engine_opens;
    EXPECT_EQ(dispatcher_.SynthOpen(1, 0, 0, c.type), c.opened) << c.type;
    dispatcher_.SynthSpeak("gol");
    EXPECT_EQ(Calls(), c.calls) << c.type << " " << c.engine_opens;
    dispatcher_.SynthClose();
    Calls();
  }
}

TEST(SystemSynthBridgesTest, TheTypeChoosesTheBridge) {
  FakeSynthHost host;
  FakeSynthAudio audio(host);
  const VoiceMaker factory = SystemVoices({host, audio});
  struct Case {
    int type;
    const char* bridge;
  };
  // Without speech-dispatcher its types reach the in-process engine.
  const char* kService = PLACARIM_WITH_SPEECHD ? "service" : "engine";
  const Case cases[] = {{3, "ilvra"},   {4, "engine"}, {0, "engine"},  {1, "engine"},
                        {-5, "engine"}, {6, "engine"}, {5, kService}, {54, kService}};
  for (const auto& c : cases) {
    const auto bridge = factory(c.type);
    const char* kind = !bridge                                                   ? "none"
                       : dynamic_cast<voices::EspeakBridge*>(bridge.get())              ? "engine"
#if PLACARIM_WITH_SPEECHD
                       : dynamic_cast<voices::SpeechServiceBridge*>(bridge.get())       ? "service"
#endif
                       : dynamic_cast<voices::IlvraBridge*>(bridge.get())               ? "ilvra"
                                                                                 : "other";
    EXPECT_STREQ(kind, c.bridge) << "type " << c.type;
  }
}

}  // namespace
}  // namespace placarim::speech
