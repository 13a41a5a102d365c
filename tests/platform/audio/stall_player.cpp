// Plays through a sound server as the game does when keys come in quick
// succession: opens the device, writes three short blocks, starts a looped
// tone, and after a moment resets, stops the tone and closes, all within a
// few milliseconds, again and again. Exits 0 when every block written was
// reported done exactly once; the test that runs it stops it now and then,
// as a busy machine does.
//
// Usage: stall_player SERVER SECONDS
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/audio_output.h"

using namespace placarim::platform;
using namespace placarim::platform::audio;

int main(int argc, char** argv) {
  if (argc != 3) return 1;
  setenv("PULSE_SERVER", argv[1], 1);
  setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
  const auto length = std::chrono::seconds(std::atoi(argv[2]));
  constexpr AudioFormat kFormat{48000, 16, 2};
  std::mutex mutex;
  std::map<int, int> reports;
  AudioOutput output([&](int block) {
    std::lock_guard lock(mutex);
    reports[block]++;
  });
  output.Start();
  int written = 0;
  {
    WaveOutDevice device(output);
    const std::vector<uint8_t> beep(40 * 48 * 4, 0x30);  // 40 ms
    std::mt19937 random(7);
    const auto end = std::chrono::steady_clock::now() + length;
    while (std::chrono::steady_clock::now() < end) {
      if (device.Open(kFormat) != AudioDevice::kNoError) return 10;
      for (int i = 0; i < 3; ++i) {
        if (device.Write(++written, beep.data(), beep.size()) != AudioDevice::kNoError) return 11;
      }
      output.PlayTone(0, kFormat, beep, true);
      std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 60)(random)));
      device.Reset();
      output.StopTone(0);
      device.Close();
    }
  }
  output.Shutdown();
  std::lock_guard lock(mutex);
  for (int block = 1; block <= written; ++block) {
    if (reports[block] != 1) return 20;
  }
  return reports.size() == static_cast<size_t>(written) ? 0 : 21;
}
