// Wave playback through the real SDL audio path, with SDL's disk driver
// writing everything the device plays to a file: a key must silence the sound
// within one device buffer.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "console/console.h"
#include "platform/sdl/sdl_platform.h"
#include "sound/wave_player.h"

namespace placarim::sound {
namespace {

constexpr uint32_t kRate = 11025;
constexpr size_t kDeviceBuffer = 256;  // frames per SDL callback, one byte each here
constexpr uint8_t kFirstMarker = 0x30;
constexpr uint8_t kSecondMarker = 0xD0;

void PushKey(char c) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.text[0] = c;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SdlWavePlayback, KeySilencesWithinOneDeviceBuffer) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("placarim-sdl-wave-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto played_path = dir / "played.raw";
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", played_path.c_str(), 1);
  {
    platform::sdl::SdlPlatform sdl;
    console::Console console(sdl, dir.string());
    WavePlayer player(console, sdl.Audio());

    // A quarter second of one marker, then five seconds of another; the key
    // comes as soon as the first is reported done.
    const std::vector<uint8_t> first(kRate / 4, kFirstMarker);
    const std::vector<uint8_t> second(5 * kRate, kSecondMarker);
    ASSERT_EQ(player.WavePlayData(first, kRate, 1, 8), 0);
    ASSERT_EQ(player.WavePlayData(second, kRate, 1, 8), 0);
    const auto start = std::chrono::steady_clock::now();
    bool key_sent = false;
    while (player.WaveIsPlaying()) {
      console.WaitMessage();
      if (!key_sent && player.BlocksInFlight() == 1) {
        PushKey('a');
        key_sent = true;
      }
      ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
    ASSERT_TRUE(key_sent);
    ASSERT_TRUE(console.KeyPressed());
    EXPECT_EQ(console.ReadKey(), 'a');
  }

  const auto played = ReadAll(played_path);
  const auto first_end = std::find(played.rbegin(), played.rend(), kFirstMarker).base();
  ASSERT_NE(first_end, played.begin()) << "the first marker never reached the device";
  // The key arrived while the buffer holding the first marker's end played.
  const size_t first_end_at = static_cast<size_t>(first_end - played.begin());
  const size_t key_buffer_end = (first_end_at / kDeviceBuffer + 1) * kDeviceBuffer;
  const auto second_end = std::find(played.rbegin(), played.rend(), kSecondMarker).base();
  ASSERT_NE(second_end, played.begin()) << "the second marker never started";
  const size_t second_end_at = static_cast<size_t>(second_end - played.begin());
  EXPECT_LE(second_end_at, key_buffer_end + kDeviceBuffer)
      << "sound went on " << second_end_at - key_buffer_end << " bytes after the key's buffer";
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace placarim::sound
