// Wave playback through the real SDL audio path, with SDL's disk driver
// writing everything the device plays to a file (16-bit stereo at 48 kHz, the
// device's one format): after the buffer playing when the key came, at most
// the next one (filled before the key was seen, about 5 ms) still sounds. Without a sound device every sound fails at once and the program
// says so once, on the console and on standard error.
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
#include "platform/audio/sdl/sdl_sink.h"
#include "platform/sdl/sdl_platform.h"
#include "tests/support/played_sound.h"
#include "sound/wave_player.h"

namespace placarim::sound {
namespace {

using namespace placarim::testing;

constexpr uint32_t kRate = 11025;
constexpr size_t kDeviceBuffer = platform::audio::sdl::kDeviceFrames;  // frames per SDL callback
constexpr uint8_t kFirstMarker = 0x30;
constexpr uint8_t kSecondMarker = 0xD0;

void PushKey(char c) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.text[0] = c;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
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

  const std::vector<int16_t> played = ReadPlayedLeft(played_path);
  const size_t first_end = EndOfLevel(played, Level8(kFirstMarker));
  ASSERT_NE(first_end, 0u) << "the first marker never reached the device";
  // The key arrived while the buffer holding the first marker's end played.
  const size_t key_buffer_end = ((first_end - 1) / kDeviceBuffer + 1) * kDeviceBuffer;
  const size_t second_end = EndOfLevel(played, Level8(kSecondMarker));
  ASSERT_NE(second_end, 0u) << "the second marker never started";
  // Frames are counted from the file's start; the driver may have written the
  // key's buffer and one more before the key was seen.
  EXPECT_LE(second_end, key_buffer_end + 2 * kDeviceBuffer)
      << "sound went on " << second_end - key_buffer_end << " frames after the key's buffer";
  std::filesystem::remove_all(dir);
}

// The text of console rows 1 to 25, one line each.
std::string ScreenText(const console::Console& console) {
  std::string text;
  for (int y = 1; y <= 25; ++y) {
    for (int x = 1; x <= 80; ++x) text += static_cast<char>(console.ScreenChar(x, y));
    text += '\n';
  }
  return text;
}

size_t Occurrences(const std::string& text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// No driver at all (a name SDL does not know), and SDL's dummy driver, which
// plays into nothing at the pace of a card: only the first is a missing device.
TEST(SdlWavePlayback, AMissingDeviceIsSaidOnceAndNeverHoldsTheGame) {
  struct Case {
    const char* driver;
    int result;
    size_t notices;
  };
  const Case cases[] = {{"no-such-driver", platform::AudioDevice::kNoDriver, 1}, {"dummy", 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.driver);
    ::setenv("SDL_AUDIODRIVER", c.driver, 1);
    const auto dir = std::filesystem::temp_directory_path() /
                     ("placarim-sdl-nodevice-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ::testing::internal::CaptureStderr();
    std::string screen;
    {
      platform::sdl::SdlPlatform sdl;
      console::Console console(sdl, dir.string());
      WavePlayer player(console, sdl.Audio());
      const std::vector<uint8_t> sound(kRate / 20, 0xC0);
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(player.WavePlayData(sound, kRate, 1, 8), c.result);
        while (player.WaveIsPlaying()) console.WaitMessage();
      }
      screen = ScreenText(console);
    }
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Occurrences(screen, "Nenhum dispositivo de som"), c.notices) << screen;
    EXPECT_EQ(Occurrences(errors, "Nenhum dispositivo de som"), c.notices) << errors;
    std::filesystem::remove_all(dir);
  }
}

}  // namespace
}  // namespace placarim::sound
