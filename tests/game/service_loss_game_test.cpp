// A game spoken through a private speech-dispatcher that dies or freezes in
// the middle: the program's own graph on the headless platform, with the
// real dispatcher, espeak-ng and speech service bridges.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "speech/synth_links.h"
#include "tests/game/program_harness.h"
#include "tests/support/speech_daemon.h"

// libspeechd's voice list parsing is quadratic under the checked strstr.
extern "C" const char* __asan_default_options() { return "intercept_strstr=0"; }

namespace placarim::game::testing {
namespace {

using placarim::testing::SpeechDaemon;

// Samples of 16-bit speech (the engine's) the device received from `from` ms on.
size_t EngineSamplesSince(const platform::fake::FakePlatform& fake, int64_t from) {
  size_t samples = 0;
  for (const auto& block : fake.audio.written) {
    if (block.format.bits == 16 && block.written_ms >= from) samples += block.bytes.size() / 2;
  }
  return samples;
}

// The daemon goes away while the child is about to answer the first sum; the
// goal, the championship and the goodbye must still be heard, from espeak-ng,
// after one notice, and the game must end normally.
TEST(ServiceLossInAGame, TheEngineSpeaksForAServiceKilledOrFrozenMidGame) {
  for (const bool freeze : {false, true}) {
    SpeechDaemon daemon;
    ASSERT_TRUE(daemon.Running()) << "speech-dispatcher did not start";
    ProgramRun run;
    run.sapi = "Sim";
    run.WriteConfiguration("[SERVFALA]\r\nTIPOSAPI=5\r\nVOZ=1\r\n");
    run.WriteExerciseFile("*Treino\r\n2 + 3 = 5\r\n");
    run.make_synthesizer = [&run](console::Console& console, sound::WavePlayer& wave) {
      auto system = std::make_shared<speech::SynthSystem>(console, wave);
      return std::shared_ptr<speech::Synthesizer>(system, &system->dispatcher);
    };
    int64_t lost_at = -1;
    run.on_wait = [&](size_t wait) {
      if (wait != 1) return;  // 0: the menu; 1: the first sum's answer
      lost_at = run.fake.clock.NowMs();
      if (freeze) daemon.Freeze();
      else daemon.Kill();
    };
    for (const char* step : {"1", "5\r", "\r", " "}) run.Keys(step);
    EXPECT_EQ(run.Play(), 0) << (freeze ? "frozen" : "killed");
    daemon.Thaw();
    ASSERT_GE(lost_at, 0);
    EXPECT_EQ(EngineSamplesSince(run.fake, 0), EngineSamplesSince(run.fake, lost_at))
        << "the engine spoke while the service still answered";
    // The notice, "Gol!", the phrase, the championship and the goodbye: many
    // seconds of the engine's speech.
    EXPECT_GT(EngineSamplesSince(run.fake, lost_at), 22050u * 5) << (freeze ? "frozen" : "killed");
    EXPECT_NE(run.WaitShowing("GANHOU O CAMPEONATO"), nullptr);
  }
}

}  // namespace
}  // namespace placarim::game::testing
