// A whole championship through a sound server, as a desktop plays it: the real
// program under its own Xvfb, speaking through a private PulseAudio server or
// PipeWire session (its PulseAudio service), with a null sink; every sum of championship 1 is answered right with real
// key events (xdotool) once it is on the screen, the end is heard through and
// Enter pressed. The server's debug log tells every underrun of the
// program's stream (on PipeWire also every cycle the stream missed), which
// the benchmark prints with the time the game took, and every write that
// dropped the sound the server held: the first within 200 ms of a key sent
// is the key's own, and the underruns within 100 ms after such writes are
// told apart. A program that dies is told with its exit status or signal and
// its standard error; core dumps are allowed (they land in the build's data
// folder, the program's working directory).
//
// With a stall, the program is stopped (SIGSTOP) for that many milliseconds
// once a second, as a busy machine may hold it: the sound must carry on from
// what the server holds.
//
// Usage: championship_bench [program, default the build's] [stall ms, default 0]
//                           [server: pulseaudio (default) or pipewire]
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/game/real_program.h"
#include "tests/support/figures.h"
#include "tests/support/pulse_server.h"
#include "tests/support/xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using placarim::bench::Program;
using placarim::bench::ReadFile;
using placarim::testing::CommandOutput;
using placarim::testing::RunCommand;

long long Apply(long long a, char op, long long b) {
  switch (op) {
    case '+': return a + b;
    case '-': return a - b;
    case ':':
    case '/': return b != 0 ? a / b : 0;
    default: return a * b;
  }
}

class Screen {
 public:
  explicit Screen(fs::path file) : file_(std::move(file)) {}
  // The last row matching `pattern`: the whole match, then its groups.
  std::optional<std::vector<std::string>> LastRow(const std::regex& pattern) {
    std::istringstream rows(ReadFile(file_));
    std::optional<std::vector<std::string>> found;
    for (std::string row; std::getline(rows, row);) {
      std::smatch match;
      if (std::regex_search(row, match, pattern)) found = std::vector<std::string>(match.begin(), match.end());
    }
    return found;
  }
  bool Shows(const std::string& text) { return ReadFile(file_).find(text) != std::string::npos; }

 private:
  fs::path file_;
};

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return done();
}

// When a key was sent: from the start to the end of one xdotool call.
struct KeySent {
  double from, to;
};

// Which underruns came within 100 ms after a write that dropped held sound,
// and after a key's own such write: the first after a key was sent, if it
// came within 200 ms of the key (the game looks for keys every 50 ms, and a
// loaded machine is slower still).
void ReportUnderrunsAfterKeys(const placarim::testing::SoundServer& server, const std::vector<KeySent>& keys) {
  constexpr double kKeyToWrite = 0.200, kAfterWrite = 0.100;
  const std::vector<double> drops = server.DropTimes();
  std::vector<double> key_drops, key_delays;
  for (const KeySent& key : keys) {
    const auto drop = std::lower_bound(drops.begin(), drops.end(), key.from);
    if (drop == drops.end() || *drop > key.to + kKeyToWrite) continue;
    if (key_drops.empty() || key_drops.back() != *drop) key_drops.push_back(*drop);
    key_delays.push_back((*drop - key.to) * 1000);
  }
  // How long after the latest of `writes` before `when` (nothing when none was).
  const auto since = [](const std::vector<double>& writes, double when) -> std::optional<double> {
    const auto after = std::upper_bound(writes.begin(), writes.end(), when);
    if (after == writes.begin()) return std::nullopt;
    return when - *std::prev(after);
  };
  int after_any = 0, after_key = 0;
  std::string gaps;
  for (const double when : server.UnderrunTimes()) {
    const std::optional<double> any = since(drops, when), key = since(key_drops, when);
    after_any += any && *any <= kAfterWrite;
    after_key += key && *key <= kAfterWrite;
    gaps += any ? " " + std::to_string(std::lround(*any * 1000)) : " -";
  }
  std::printf("writes that dropped held sound: %zu, %zu of them a key's (%zu key events sent)\n", drops.size(),
              key_drops.size(), keys.size());
  if (!key_delays.empty()) {
    const auto f = placarim::bench::Summarize(key_delays);
    std::printf("a key's write came after the key was sent by: median %.0f ms, max %.0f ms\n", f.median, f.max);
  }
  std::printf("underruns within 100 ms after a key's write: %d; after any such write: %d\n", after_key, after_any);
  std::printf("each underrun, ms after the latest such write:%s\n", gaps.empty() ? " none" : gaps.c_str());
}

// The keys sent, for a second look at the server's logs kept.
void SaveKeys(const std::vector<KeySent>& keys, const fs::path& file) {
  std::ofstream out(file);
  out.precision(15);
  for (const KeySent& key : keys) out << key.from << ' ' << key.to << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path build = PLACARIM_BUILD_DIR;
  const std::string program_path = argc > 1 ? argv[1] : (build / "game" / "placarim").string();
  const int stall_ms = argc > 2 ? std::atoi(argv[2]) : 0;
  const fs::path scratch = fs::temp_directory_path() / ("placarim-championship-" + std::to_string(getpid()));
  fs::create_directories(scratch);

  const std::string kind = argc > 3 ? argv[3] : "pulseaudio";
  std::unique_ptr<placarim::testing::SoundServer> server;
  if (kind == "pipewire") {
    server = std::make_unique<placarim::testing::PrivatePipeWire>(scratch / "pipewire");
  } else {
    server = std::make_unique<placarim::testing::PrivatePulse>(scratch / "pulse");
  }
  if (!server->Running()) {
    std::printf("no private %s server could be started\n", server->Name());
    return 1;
  }
  const rlimit core{RLIM_INFINITY, RLIM_INFINITY};
  setrlimit(RLIMIT_CORE, &core);
  placarim::testing::XvfbServer xvfb;
  std::string error;
  if (!xvfb.Start(1280, 800, error)) {
    std::printf("%s\n", error.c_str());
    return 1;
  }
  const fs::path screen_file = scratch / "screen.txt";
  const auto start = Clock::now();
  const fs::path error_log = scratch / "program-stderr.txt";
  Program program(program_path, build / "data",
                  {"SDL_AUDIODRIVER=pulseaudio", "PULSE_SERVER=" + server->Server(),
                   "PLACARIM_SYSCONFDIR=" + (build / "etc").string(), "PLACARIM_SCREEN_DUMP=" + screen_file.string()},
                  error_log);
  const auto told_on_error = [&] {
    const std::string told = ReadFile(error_log);
    if (!told.empty()) std::printf("the program's standard error:\n%s\n", told.c_str());
  };
  Screen screen(screen_file);
  std::atomic<bool> playing{true};
  std::thread staller([&] {
    while (stall_ms > 0 && playing) {
      std::this_thread::sleep_for(1s);
      kill(program.Pid(), SIGSTOP);
      std::this_thread::sleep_for(std::chrono::milliseconds(stall_ms));
      kill(program.Pid(), SIGCONT);
    }
  });
  const auto stop_stalling = [&] {
    playing = false;
    if (staller.joinable()) staller.join();
  };
  int status = 0;
  if (!WaitFor([&] { return screen.Shows("1 - Treino no quintal"); }, 60s)) {
    const std::string ended = program.Ended();
    std::printf("the program never reached the menu%s\n", ended.empty() ? "" : (": " + ended).c_str());
    told_on_error();
    stop_stalling();
    return 1;
  }
  std::string window;
  WaitFor([&] {
    window = CommandOutput("xdotool search --classname '^placarim$' 2>/dev/null | head -1");
    while (!window.empty() && window.back() == '\n') window.pop_back();
    return !window.empty();
  }, 60s);
  RunCommand("xdotool windowfocus --sync " + window + " 2>/dev/null");
  std::vector<KeySent> keys_sent;
  const auto press = [&](const std::string& keys) {
    const double from = placarim::testing::SteadySeconds(Clock::now());
    RunCommand("xdotool key --window " + window + " " + keys);
    keys_sent.push_back({from, placarim::testing::SteadySeconds(Clock::now())});
  };
  press("1");

  const std::regex unanswered(R"(^(\d+)([-+xX*:/])(\d+)=$)");
  int sums = 0;
  for (;;) {
    std::optional<std::vector<std::string>> sum;
    const bool next = WaitFor([&] {
      sum = screen.LastRow(unanswered);
      return sum.has_value() || screen.Shows("Fim do Jogo Placarim") || !program.Running();
    }, 90s);
    if (!next || !program.Running()) {
      const std::string ended = program.Ended();
      std::printf("the game stopped after %d sums%s\n", sums, ended.empty() ? "" : (": " + ended).c_str());
      told_on_error();
      status = 1;
      break;
    }
    if (!sum) break;
    const std::string row = (*sum)[0];
    const long long answer = Apply(std::stoll((*sum)[1]), (*sum)[2][0], std::stoll((*sum)[3]));
    std::string keys;
    for (const char digit : std::to_string(answer)) keys += std::string(1, digit) + " ";
    press(keys + "Return");
    ++sums;
    // The answer is on the row before the next sum is asked.
    WaitFor([&] {
      const auto still = screen.LastRow(unanswered);
      return !still || (*still)[0] != row;
    }, 30s);
  }
  press("Return");
  WaitFor([&] { return screen.Shows("O PLACARIM"); }, 30s);
  press("space");
  stop_stalling();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("championship 1 through a private %s server: %d sums answered, %.0f s", server->Name(), sums, seconds);
  if (stall_ms > 0) std::printf(", the program stopped for %d ms once a second", stall_ms);
  std::printf("\n");
  std::printf("the server's log on underruns:\n");
  for (const auto& [message, count] : server->UnderrunMessages()) std::printf("  %5d  %s\n", count, message.c_str());
  std::printf("underruns of the program's stream: %d\n", server->Underruns());
  ReportUnderrunsAfterKeys(*server, keys_sent);
  SaveKeys(keys_sent, scratch / "keys.txt");
  if (std::getenv("PLACARIM_BENCH_KEEP") != nullptr) {
    std::printf("the server's logs are kept in %s\n", scratch.c_str());
    return status;
  }
  fs::remove_all(scratch);
  return status;
}
