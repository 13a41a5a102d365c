// Key-to-silence latency of wave playback through the program's real audio path.
//
// SDL's disk driver plays in real time and writes every byte the device
// plays to a file; the device stays open for the whole run at its one fixed
// format (16-bit stereo at 48 kHz there). Each trial plays a short run of one
// marker level and then a long run of another, waits a random 0-40 ms after
// the first run is reported done, pushes a key into SDL's event queue and lets
// the player stop. The file then tells where the sound really stopped. The
// key's place in the played stream is the start of the device buffer that
// finished the first marker plus the time between that report and the key;
// latency is the played time from there to the end of the last marker frame.
//
// Prints, per format, the median and 95th percentile of that latency and of
// the main thread's reaction (key pushed to the end of the player's wait),
// over the trials.
//
// Then the same trials run through a private PulseAudio server and a private
// PipeWire session (its PulseAudio service), each with a null sink, as a
// desktop plays them (when they are installed):
// parec reads what the sink really played from its monitor, with the time
// each piece arrived, so the end of the sound is placed on the same clock as
// the key. That figure includes the monitor's own delay, so it is an upper
// bound. The server's log tells the underruns of the program's stream.
//
// PLACARIM_BENCH_KEEP set keeps the servers' logs.
//
// Usage: key_to_silence_bench [trials per format, default 60] [parts, default disk,pulseaudio,pipewire]
#include <SDL2/SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/figures.h"
#include "console/console.h"
#include "platform/audio/sdl/sdl_sink.h"
#include "platform/sdl/sdl_platform.h"
#include "tests/support/played_sound.h"
#include "tests/support/pulse_server.h"
#include "sound/wave_player.h"

namespace {

using Clock = std::chrono::steady_clock;
using placarim::platform::AudioFormat;

constexpr size_t kDeviceFrames = placarim::platform::audio::sdl::kDeviceFrames;
constexpr uint8_t kFirstMarker = 0x30;
constexpr uint8_t kSecondMarker = 0xD0;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Trial {
  double latency_ms = 0;
  double reaction_ms = 0;
  bool valid = false;
};

using placarim::bench::Figures;
using placarim::bench::Summarize;

using namespace placarim::testing;

int MarkerLevel(const AudioFormat& format, uint8_t marker) {
  return format.bits == 8 ? Level8(marker) : Level16(marker);
}

// Where the sound really stopped, in ms after the key: from the trial's start
// in the played stream (`offset`), the first marker's report and the key.
using Measure = std::function<std::optional<double>(size_t offset, Clock::time_point first_done,
                                                    Clock::time_point key_time)>;

Trial RunTrial(placarim::console::Console& console, placarim::sound::WavePlayer& player,
               const AudioFormat& format, const std::function<size_t()>& played_so_far,
               const Measure& measure, std::mt19937& random) {
  const size_t frame = format.channels * format.bits / 8u;
  const double bytes_per_ms = format.rate * static_cast<double>(frame) / 1000.0;
  const std::vector<uint8_t> first(static_cast<size_t>(100 * bytes_per_ms) / frame * frame,
                                   kFirstMarker);
  const std::vector<uint8_t> second(static_cast<size_t>(2000 * bytes_per_ms) / frame * frame,
                                    kSecondMarker);
  Trial trial;
  const size_t offset = played_so_far();
  if (player.WavePlayData(first, format.rate, format.channels, format.bits) != 0) return trial;
  if (player.WavePlayData(second, format.rate, format.channels, format.bits) != 0) return trial;
  // The first marker is one block: the first report of a finished block is its.
  const int queued = player.BlocksInFlight();
  while (player.BlocksInFlight() >= queued) console.WaitMessage();
  const auto first_done = Clock::now();
  SDL_Delay(std::uniform_int_distribution<Uint32>(0, 40)(random));
  SDL_Event key{};
  key.type = SDL_TEXTINPUT;
  key.text.text[0] = 'k';
  const auto key_time = Clock::now();
  SDL_PushEvent(&key);
  while (player.WaveIsPlaying()) console.WaitMessage();
  const auto stopped = Clock::now();
  while (console.KeyPressed()) console.ReadKey();

  const std::optional<double> latency = measure(offset, first_done, key_time);
  if (!latency) return trial;
  trial.latency_ms = *latency;
  trial.reaction_ms = Ms(stopped - key_time);
  trial.valid = true;
  return trial;
}

// The disk driver's file: the key's place is found from the first marker's
// end, as the driver writes at the pace it plays.
Measure DiskMeasure(const std::filesystem::path& played_path, const AudioFormat& format) {
  return [=](size_t offset, Clock::time_point first_done, Clock::time_point key_time) -> std::optional<double> {
    SDL_Delay(30);  // let the device write what it played after the key
    const std::vector<int16_t> played = ReadPlayedLeft(played_path, offset);
    const size_t first_end = EndOfLevel(played, MarkerLevel(format, kFirstMarker));
    const size_t second_end = EndOfLevel(played, MarkerLevel(format, kSecondMarker));
    if (first_end == 0 || second_end == 0) return std::nullopt;
    const double frames_per_ms = kPlayedRate / 1000.0;
    const double key_at = static_cast<double>((first_end - 1) / kDeviceFrames * kDeviceFrames) +
                          Ms(key_time - first_done) * frames_per_ms;
    return std::max(0.0, (static_cast<double>(second_end) - key_at) / frames_per_ms);
  };
}

Measure MonitorMeasure(MonitorRecorder& monitor, const AudioFormat& format) {
  return [&monitor, format](size_t offset, Clock::time_point, Clock::time_point key_time) -> std::optional<double> {
    SDL_Delay(150);  // the monitor's pieces come in their own time
    const auto end = monitor.EndOf(offset, MarkerLevel(format, kSecondMarker));
    if (!end) {
      // Told, so that a first marker reported done before it was heard shows.
      const auto first_end = monitor.EndOf(offset, MarkerLevel(format, kFirstMarker));
      std::fprintf(stderr, "a trial without the second marker: the first ended %s\n",
                   first_end ? (std::to_string(std::lround(Ms(*first_end - key_time))) + " ms after the key").c_str()
                             : "never");
      return std::nullopt;
    }
    return std::max(0.0, Ms(*end - key_time));
  };
}

int RunFormats(placarim::console::Console& console, placarim::sound::WavePlayer& player, int trials,
               const std::function<size_t()>& played_so_far,
               const std::function<Measure(const AudioFormat&)>& measure_for) {
  std::mt19937 random(2024);
  std::printf("%-22s %9s %9s %9s   %s\n", "format", "median", "p95", "max", "(ms)");
  const AudioFormat formats[] = {{11025, 8, 1}, {16000, 16, 1}, {22050, 16, 2}};
  int status = 0;
  for (const AudioFormat& format : formats) {
    std::vector<double> latency, reaction;
    const Measure measure = measure_for(format);
    for (int i = 0; i < trials; ++i) {
      const Trial trial = RunTrial(console, player, format, played_so_far, measure, random);
      if (!trial.valid) continue;
      latency.push_back(trial.latency_ms);
      reaction.push_back(trial.reaction_ms);
    }
    char name[64];
    std::snprintf(name, sizeof name, "%u Hz %u-bit %s", format.rate, format.bits,
                  format.channels == 1 ? "mono" : "stereo");
    if (latency.empty()) {
      std::printf("%-22s no valid trial\n", name);
      status = 1;
      continue;
    }
    const Figures l = Summarize(latency);
    const Figures r = Summarize(reaction);
    std::printf("%-22s %9.2f %9.2f %9.2f   key to silence (%zu trials)\n", name, l.median, l.p95,
                l.max, latency.size());
    std::printf("%-22s %9.2f %9.2f %9.2f   key pushed to the end of the wait\n", "", r.median, r.p95,
                r.max);
  }
  return status;
}

// The same trials through a private sound server, read from its monitor.
int RunOnServer(SoundServer& server, const std::filesystem::path& dir, int trials) {
  if (!server.Running()) {
    std::printf("\nno private %s server could be started: skipped\n", server.Name());
    return 0;
  }
  ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
  ::setenv("PULSE_SERVER", server.Server().c_str(), 1);
  const char* monitor_latency = std::getenv("PLACARIM_MONITOR_LATENCY_MS");
  MonitorRecorder monitor(server.Server(), monitor_latency != nullptr ? std::atoi(monitor_latency) : 2);
  placarim::platform::sdl::SdlPlatform sdl;
  placarim::console::Console console(sdl, dir.string());
  placarim::sound::WavePlayer player(console, sdl.Audio());
  std::printf("\nkey-to-silence through a private %s server (null sink, read from its monitor;\n"
              "includes the monitor's delay), %d trials\n", server.Name(), trials);
  const int status = RunFormats(
      console, player, trials, [&] { return monitor.Frames(); },
      [&](const AudioFormat& format) { return MonitorMeasure(monitor, format); });
  std::printf("the server's log on underruns:\n");
  for (const auto& [message, count] : server.UnderrunMessages()) std::printf("  %5d  %s\n", count, message.c_str());
  std::printf("underruns of the program's stream: %d\n", server.Underruns());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const int trials = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  const std::string parts = argc > 2 ? argv[2] : "disk,pulseaudio,pipewire";
  const auto wanted = [&](const char* part) { return parts.find(part) != std::string::npos; };
  const auto dir = std::filesystem::temp_directory_path() /
                   ("placarim-key-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto played_path = dir / "played.raw";
  int status = 0;
  if (wanted("disk")) {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", played_path.c_str(), 1);
    placarim::platform::sdl::SdlPlatform sdl;
    placarim::console::Console console(sdl, dir.string());
    placarim::sound::WavePlayer player(console, sdl.Audio());
    std::printf("key-to-silence through SDL (disk driver, %zu-frame device buffer at %d Hz), %d trials\n",
                kDeviceFrames, kPlayedRate, trials);
    status |= RunFormats(
        console, player, trials,
        [&] {
          std::error_code error;
          return std::filesystem::file_size(played_path, error) / kPlayedFrameBytes * kPlayedFrameBytes;
        },
        [&](const AudioFormat& format) { return DiskMeasure(played_path, format); });
  }

  if (wanted("pulseaudio")) {
    PrivatePulse pulse(dir / "pulse");
    status |= RunOnServer(pulse, dir, trials);
  }
  if (wanted("pipewire")) {
    PrivatePipeWire pipewire(dir / "pipewire");
    status |= RunOnServer(pipewire, dir, trials);
  }
  if (std::getenv("PLACARIM_BENCH_KEEP") != nullptr) {
    std::printf("the servers' logs are kept in %s\n", dir.c_str());
  } else {
    std::filesystem::remove_all(dir);
  }
  return status;
}
