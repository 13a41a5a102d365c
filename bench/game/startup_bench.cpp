// Start-up time and memory of the real program.
//
// Each start runs the program from the build tree under a private Xvfb, with
// SDL's disk audio driver writing into a FIFO that this program reads: the
// time from just before exec to the first byte that is not silence is the
// start-up time, because the disk driver writes at the pace a sound card
// plays. After the timed starts, one more start waits until the program sits
// in the championship menu waiting for a key and reads its resident memory,
// with the largest mapped files.
//
// Given several programs (an older build beside this one), the starts take
// turns, so a machine whose load changes weighs on each alike.
//
// With --server=pulseaudio or --server=pipewire the program plays through a
// private sound server instead, as on a desktop, and the first sound is
// found in what the server's null sink played, read from its monitor: the
// time it arrived there, which is later than it was played by no more than
// the monitor's delay (a few milliseconds). Several kinds, comma-separated
// (disk for SDL's disk driver), take turns start by start, as programs do.
//
// Usage: startup_bench [--server=KIND[,KIND...]] [starts, default 10] [program... , default the build's]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/figures.h"
#include "bench/game/real_program.h"
#include "tests/support/pulse_server.h"
#include "tests/support/xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using placarim::bench::Program;
using placarim::bench::ReadFile;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Silence is 128 in 8-bit sound and 0 in signed sound; 0xFF and 0x7F are the
// high bytes of tiny signed values.
bool Audible(uint8_t b) { return b != 0x00 && b != 0x80 && b != 0xFF && b != 0x7F; }

// Reads the FIFO the disk driver writes until stopped, noting when the first
// audible byte arrived. The driver opens it anew for every device it opens.
class FifoReader {
 public:
  explicit FifoReader(fs::path fifo) : fifo_(std::move(fifo)), thread_([this] { Loop(); }) {}
  ~FifoReader() {
    stop_ = true;
    thread_.join();
  }
  std::optional<Clock::time_point> FirstAudible() const {
    if (!heard_) return std::nullopt;
    return first_;
  }

 private:
  void Loop() {
    const int fd = open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return;
    uint8_t buffer[65536];
    while (!stop_) {
      pollfd wait{fd, POLLIN, 0};
      if (poll(&wait, 1, 5) <= 0) continue;
      const ssize_t got = read(fd, buffer, sizeof buffer);
      const auto now = Clock::now();
      if (got <= 0) {  // no writer at the moment
        std::this_thread::sleep_for(1ms);
        continue;
      }
      if (!heard_ && std::any_of(buffer, buffer + got, Audible)) {
        first_ = now;
        heard_ = true;
      }
    }
    close(fd);
  }
  fs::path fifo_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> heard_{false};
  Clock::time_point first_;
  std::thread thread_;
};

struct Setup {
  std::string program;
  fs::path data, sysconfdir, scratch;
  placarim::testing::SoundServer* server = nullptr;  // null: SDL's disk driver
  placarim::testing::MonitorRecorder* monitor = nullptr;
};

std::vector<std::string> Environment(const Setup& setup, const fs::path& fifo, const fs::path& screen) {
  std::vector<std::string> environment = {"PLACARIM_SYSCONFDIR=" + setup.sysconfdir.string(),
                                          "PLACARIM_SCREEN_DUMP=" + screen.string()};
  if (setup.server != nullptr) {
    environment.push_back("SDL_AUDIODRIVER=pulseaudio");
    environment.push_back("PULSE_SERVER=" + setup.server->Server());
  } else {
    environment.push_back("SDL_AUDIODRIVER=disk");
    environment.push_back("SDL_DISKAUDIOFILE=" + fifo.string());
  }
  return environment;
}

// Through a sound server: from exec to the first frame the sink played that
// is not silence.
std::optional<double> TimeOneServerStart(const Setup& setup) {
  constexpr int kQuiet = 64;  // a level no sound of the game stays under
  // What the server still held of the last start plays out first.
  for (int i = 0; i < 500 && !setup.monitor->QuietFor(placarim::testing::kPlayedRate / 2, kQuiet); ++i) {
    std::this_thread::sleep_for(10ms);
  }
  const size_t from = setup.monitor->Frames();
  const auto start = Clock::now();
  Program program(setup.program, setup.data, Environment(setup, {}, setup.scratch / "screen.txt"));
  std::optional<Clock::time_point> heard;
  while (!heard && Clock::now() - start < 20s && program.Running()) {
    std::this_thread::sleep_for(5ms);
    heard = setup.monitor->FirstAbove(from, kQuiet);
  }
  if (!heard) return std::nullopt;
  return Ms(*heard - start);
}

// Milliseconds from exec to the first audible byte; nothing when no sound came
// within 20 s.
std::optional<double> TimeOneStart(const Setup& setup, int index) {
  if (setup.server != nullptr) return TimeOneServerStart(setup);
  const fs::path fifo = setup.scratch / ("audio" + std::to_string(index) + ".fifo");
  if (mkfifo(fifo.c_str(), 0600) != 0) return std::nullopt;
  FifoReader reader(fifo);
  const auto start = Clock::now();
  Program program(setup.program, setup.data, Environment(setup, fifo, setup.scratch / "screen.txt"));
  while (!reader.FirstAudible() && Clock::now() - start < 20s && program.Running()) {
    std::this_thread::sleep_for(1ms);
  }
  const auto heard = reader.FirstAudible();
  if (!heard) return std::nullopt;
  return Ms(*heard - start);
}

long StatusKb(pid_t pid, const std::string& field) {
  std::istringstream status(ReadFile("/proc/" + std::to_string(pid) + "/status"));
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  }
  return -1;
}

// Resident kilobytes per mapped file (anonymous memory under "[anon]").
std::vector<std::pair<long, std::string>> ResidentByMapping(pid_t pid) {
  std::istringstream smaps(ReadFile("/proc/" + std::to_string(pid) + "/smaps"));
  std::map<std::string, long> by_name;
  std::string name = "[anon]";
  for (std::string line; std::getline(smaps, line);) {
    if (line.rfind("Rss:", 0) == 0) {
      by_name[name] += std::atol(line.c_str() + 4);
    } else if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) &&
               line.find('-') != std::string::npos && line.find(':') != 8) {
      std::istringstream fields(line);
      std::string range, perms, offset, dev, inode, path;
      fields >> range >> perms >> offset >> dev >> inode;
      std::getline(fields >> std::ws, path);
      name = path.empty() ? "[anon]" : path;
    }
  }
  std::vector<std::pair<long, std::string>> sorted;
  for (const auto& [n, kb] : by_name) sorted.emplace_back(kb, n);
  std::sort(sorted.rbegin(), sorted.rend());
  return sorted;
}

// Resident memory once the program waits in the championship menu.
int MeasureMemory(const Setup& setup) {
  const fs::path fifo = setup.scratch / "audio-memory.fifo";
  const fs::path screen = setup.scratch / "menu.txt";
  fs::remove(fifo);
  fs::remove(screen);
  if (mkfifo(fifo.c_str(), 0600) != 0) return 1;
  FifoReader reader(fifo);
  Program program(setup.program, setup.data, Environment(setup, fifo, screen));
  const auto start = Clock::now();
  // The menu lists the nine championships; the last is the world cup.
  while (ReadFile(screen).find("Copa do Mundo") == std::string::npos) {
    if (Clock::now() - start > 120s || !program.Running()) {
      std::printf("the program never reached the menu\n");
      return 1;
    }
    std::this_thread::sleep_for(20ms);
  }
  std::this_thread::sleep_for(500ms);  // let the menu's speech get under way
  std::printf(": resident memory in the menu: %ld kB (peak %ld kB)\n", StatusKb(program.Pid(), "VmRSS"),
              StatusKb(program.Pid(), "VmHWM"));
  const auto mappings = ResidentByMapping(program.Pid());
  for (size_t i = 0; i < mappings.size() && i < 8; ++i) {
    std::printf("  %8ld kB  %s\n", mappings[i].first, mappings[i].second.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<std::string> kinds;
  if (!args.empty() && args[0].rfind("--server=", 0) == 0) {
    std::istringstream list(args[0].substr(9));
    for (std::string kind; std::getline(list, kind, ',');) kinds.push_back(kind);
    args.erase(args.begin());
  }
  if (kinds.empty()) kinds.push_back("disk");
  const int starts = !args.empty() ? std::max(1, std::atoi(args[0].c_str())) : 10;
  const fs::path build = PLACARIM_BUILD_DIR;
  std::vector<std::string> programs;
  for (size_t i = 1; i < args.size(); ++i) programs.push_back(args[i]);
  if (programs.empty()) programs.push_back((build / "game" / "placarim").string());
  const fs::path scratch = fs::temp_directory_path() / ("placarim-startup-bench-" + std::to_string(getpid()));
  fs::create_directories(scratch);

  std::vector<std::unique_ptr<placarim::testing::SoundServer>> servers;
  std::vector<std::unique_ptr<placarim::testing::MonitorRecorder>> monitors;
  std::vector<Setup> setups;
  for (const std::string& kind : kinds) {
    Setup setup;
    setup.data = build / "data";
    setup.sysconfdir = build / "etc";
    setup.scratch = scratch;
    if (kind == "pipewire") servers.push_back(std::make_unique<placarim::testing::PrivatePipeWire>(scratch / kind));
    if (kind == "pulseaudio") servers.push_back(std::make_unique<placarim::testing::PrivatePulse>(scratch / kind));
    if (kind != "disk") {
      if (kind != "pipewire" && kind != "pulseaudio") {
        std::fprintf(stderr, "unknown kind of sound: %s\n", kind.c_str());
        return 1;
      }
      if (!servers.back()->Running()) {
        std::fprintf(stderr, "no private %s server could be started\n", servers.back()->Name());
        return 1;
      }
      monitors.push_back(std::make_unique<placarim::testing::MonitorRecorder>(servers.back()->Server()));
      setup.server = servers.back().get();
      setup.monitor = monitors.back().get();
    }
    setups.push_back(setup);
  }

  placarim::testing::XvfbServer xvfb;
  std::string error;
  if (!xvfb.Start(1280, 800, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const auto name = [](const Setup& setup) {
    return setup.server != nullptr ? std::string("private ") + setup.server->Name() + " server, its monitor"
                                   : std::string("SDL disk driver");
  };
  std::printf("start to first audible byte, %d starts of each program through each kind of sound, taking turns\n",
              starts);
  // times[kind][program]
  std::vector<std::vector<std::vector<double>>> times(setups.size(), std::vector<std::vector<double>>(programs.size()));
  int run = 0;
  for (int i = 0; i < starts; ++i) {
    for (size_t k = 0; k < setups.size(); ++k) {
      for (size_t p = 0; p < programs.size(); ++p) {
        setups[k].program = programs[p];
        if (const auto ms = TimeOneStart(setups[k], run++)) times[k][p].push_back(*ms);
      }
    }
  }
  int status = 0;
  for (size_t k = 0; k < setups.size(); ++k) {
    for (size_t p = 0; p < programs.size(); ++p) {
      std::printf("%s (%s)\n  ", programs[p].c_str(), name(setups[k]).c_str());
      for (const double t : times[k][p]) std::printf(" %.0f", t);
      if (times[k][p].empty()) {
        std::printf("no sound\n");
        status = 1;
        continue;
      }
      const auto f = placarim::bench::Summarize(times[k][p]);
      std::printf("\n   median %.1f ms, p95 %.1f ms, max %.1f ms (%zu starts)\n", f.median, f.p95, f.max,
                  times[k][p].size());
    }
  }
  for (const std::string& program : programs) {
    setups.front().program = program;
    std::printf("\n%s", program.c_str());
    status |= MeasureMemory(setups.front());
  }
  fs::remove_all(scratch);
  return status;
}
