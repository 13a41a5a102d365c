// A long session: plays thousands of sums through the program's own graph
// (real console, wave playback, speech layer and built-in voice, or espeak-ng
// with --engine) on the headless platform, with misses, help and phase
// replays, and reports the process's resident memory along the way. Memory
// must stay flat: nothing may grow with the number of sums played.
//
//   game_long_session_bench [sums (10000)] [--engine]
//
// Every phase holds the sums k+1=k+1 (k = 1..30) and is played wrong until
// its last attempt: sum 15 asks for help (".", then "n" to decline the table)
// and sum 30 is a miss, counted out; the last attempt is all goals. The
// headless platform's records of keys and audio blocks are emptied at every
// wait, so the figures are the program's own.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/app.h"
#include "game/random.h"
#include "platform/fake/fake_platform.h"
#include "speech/synth_links.h"
#include "voices/tradutor/voice.h"

namespace {

namespace fs = std::filesystem;
using namespace placarim;

constexpr int kPhases = 10;
constexpr int kSumsPerPhase = 30;

// Every draw gives the lowest value: the sums stay in file order.
class LowestRandom final : public game::Random {
 public:
  int Uniform(int lo, int) override { return lo; }
};

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// The build's configuration, with the chosen voice and our exercise file.
void WriteConfiguration(const fs::path& etc, const fs::path& exercises, bool engine) {
  std::ifstream in(fs::path(PLACARIM_BUILD_ETC_DIR) / "FALDEK.INI", std::ios::binary);
  std::ostringstream ini;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("SAPI=", 0) == 0) line = engine ? "SAPI=Sim\r" : "SAPI=Nao\r";
    if (line.rfind("CONFIGPLACARIM=", 0) == 0) line = "CONFIGPLACARIM=" + exercises.string() + "\r";
    ini << line << "\n";
  }
  fs::create_directories(etc);
  std::ofstream(etc / "FALDEK.INI", std::ios::binary) << ini.str();
}

}  // namespace

int main(int argc, char** argv) {
  int target = 10000;
  bool engine = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--engine") == 0) engine = true;
    else target = std::max(1, std::atoi(argv[i]));
  }
  const int attempts = (target + kPhases * kSumsPerPhase - 1) / (kPhases * kSumsPerPhase);

  const fs::path root = fs::temp_directory_path() / ("placarim-long-session-" + std::to_string(getpid()));
  fs::create_directories(root);
  std::string file = "*Sessao longa\r\n";
  for (int p = 0; p < kPhases; ++p) {
    for (int k = 1; k <= kSumsPerPhase; ++k) file += std::to_string(k) + "+1=" + std::to_string(k + 1) + "\r\n";
    file += "\r\n";
  }
  std::ofstream(root / "sessao.cnf", std::ios::binary) << file;
  WriteConfiguration(root / "etc", root / "sessao.cnf", engine);
  setenv("PLACARIM_SYSCONFDIR", (root / "etc").c_str(), 1);

  // The keys, wait by wait: the menu choice, then every attempt of every phase.
  std::deque<std::string> steps = {"1"};
  for (int p = 0; p < kPhases; ++p) {
    for (int a = 1; a <= attempts; ++a) {
      const bool last = a == attempts;
      for (int k = 1; k <= kSumsPerPhase; ++k) {
        if (!last && k == 15) {
          steps.push_back(".\r");
          steps.push_back("n");
        } else if (!last && k == kSumsPerPhase) {
          steps.push_back("0\r");
        } else {
          steps.push_back(std::to_string(k + 1) + "\r");
        }
      }
    }
  }
  steps.push_back("\r");  // championship won
  steps.push_back(" ");   // credits
  const size_t total_steps = steps.size();
  const int sums = kPhases * attempts * kSumsPerPhase;

  platform::fake::FakePlatform fake;
  LowestRandom random;
  const game::VoiceFactory make_voice = [](const game::VoicePorts& ports) -> std::unique_ptr<tradutor::DiphoneVoiceApi> {
    return std::make_unique<tradutor::DiphoneVoice>(ports.sound, ports.loop, ports.settings);
  };
  const game::SynthesizerFactory make_synthesizer = [&fake](console::Console& console, sound::WavePlayer& wave) {
    auto system = std::make_shared<speech::SynthSystem>(console, wave);
    return std::shared_ptr<speech::Synthesizer>(system, &system->dispatcher);
  };
  long first_kb = -1;
  size_t blocks = 0;  // audio blocks the device received
  size_t kept_blocks = 0;
  std::vector<long> samples;  // resident memory every tenth of the session
  fake.events.SetIdleHandler([&] {
    // The headless platform's own records would otherwise grow with the session.
    const int64_t now = fake.clock.NowMs();
    blocks += fake.audio.written.size() - kept_blocks;
    std::erase_if(fake.audio.written, [now](const platform::fake::WrittenBlock& w) { return w.done_ms <= now; });
    kept_blocks = fake.audio.written.size();
    fake.audio.unprepared.clear();
    fake.audio.opened.clear();
    fake.events.taken.clear();
    const size_t done = total_steps - steps.size();
    if (done == 2) first_kb = ResidentKilobytes();  // after the first sum's answer
    if (done > 2 && done % (total_steps / 10) == 0) samples.push_back(ResidentKilobytes());
    if (steps.empty()) return;
    fake.Post(platform::fake::keys::Type(steps.front()));
    steps.pop_front();
  });
  game::App app(fake, root.string(), random, make_voice, make_synthesizer);
  int code = -1;
  try {
    app.Run();
  } catch (const platform::ProgramExit& exit) {
    code = exit.code;
  }
  const long last_kb = ResidentKilobytes();
  fs::remove_all(root);

  std::printf("long session: %d sums (%d phases x %d attempts x %d sums; help and a miss in every attempt but the last), voice %s\n",
              sums, kPhases, attempts, kSumsPerPhase, engine ? "espeak-ng" : "built-in");
  std::printf("  exit code %d, %zu of %zu key steps used, %zu audio blocks, %.1f hours of play on the virtual clock\n",
              code, total_steps - steps.size(), total_steps, blocks, static_cast<double>(fake.clock.NowMs()) / 3.6e6);
  std::printf("  resident memory after the first sum: %ld kB\n", first_kb);
  std::printf("  every tenth of the session:");
  for (long kb : samples) std::printf(" %ld", kb);
  std::printf(" kB\n  at the end: %ld kB (%+ld kB)\n", last_kb, last_kb - first_kb);
  return code == 0 && steps.empty() ? 0 : 1;
}
