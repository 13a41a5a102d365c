// The SDL audio device on SDL's disk driver, which writes what it plays to a
// file at the pace of a real sound card, at the device's one fixed format
// (16-bit stereo, 48 kHz): blocks come out whole and in order, each is
// reported done on the event queue, Reset cuts the sound short and returns
// every block, every source format is converted, the device stays open
// between sounds, the tone player loops its image, and a device that is
// missing at start is found when it appears.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/audio/sdl/sdl_sink.h"
#include "platform/audio/wave_image.h"
#include "platform/sdl/sdl_platform.h"
#include "tests/support/played_sound.h"

namespace placarim::platform::sdl {
namespace {

namespace fs = std::filesystem;
using namespace placarim::testing;

// The device's own format: these bytes pass through unconverted.
constexpr AudioFormat kDeviceFormat{48000, 16, 2};

// `frames` stereo frames whose samples are all `byte` twice.
std::vector<uint8_t> Frames(size_t frames, uint8_t byte) { return std::vector<uint8_t>(frames * 4, byte); }

class SdlAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    output_ = fs::temp_directory_path() / ("placarim-audio-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    platform_ = std::make_unique<SdlPlatform>();
  }
  void TearDown() override {
    platform_.reset();
    fs::remove(output_);
  }

  // Block ids reported done, polling until `count` arrived or 5 s passed.
  std::vector<int> WaitForDone(size_t count) {
    std::vector<int> done;
    const int64_t end = platform_->GetClock().NowMs() + 5000;
    while (done.size() < count && platform_->GetClock().NowMs() < end) {
      Event event;
      if (!platform_->Events().Poll(event)) {
        platform_->GetClock().SleepMs(2);
      } else if (event.type == EventType::AudioBlockDone) {
        done.push_back(event.block);
      }
    }
    return done;
  }

  std::vector<uint8_t> Played() {
    std::ifstream in(output_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Waits until the device has written `ms` more of sound.
  void LetPlay(int ms) {
    const uintmax_t wanted = fs::file_size(output_) + static_cast<uintmax_t>(ms) * kPlayedRate / 1000 * 4;
    const int64_t end = platform_->GetClock().NowMs() + 5000;
    while (fs::file_size(output_) < wanted && platform_->GetClock().NowMs() < end) {
      platform_->GetClock().SleepMs(2);
    }
  }

  fs::path output_;
  std::unique_ptr<SdlPlatform> platform_;
};

TEST_F(SdlAudioTest, PlaysBlocksWholeAndInOrderAndReportsEachDone) {
  AudioDevice& device = platform_->Audio();
  ASSERT_EQ(device.Open(kDeviceFormat), AudioDevice::kNoError);
  const std::vector<uint8_t> first = Frames(2000, 0x11), second = Frames(700, 0x22), third = Frames(1500, 0x33);
  ASSERT_EQ(device.Write(1, first.data(), first.size()), AudioDevice::kNoError);
  ASSERT_EQ(device.Write(2, second.data(), second.size()), AudioDevice::kNoError);
  ASSERT_EQ(device.Write(3, third.data(), third.size()), AudioDevice::kNoError);
  EXPECT_EQ(device.Unprepare(3), AudioDevice::kStillPlaying);
  EXPECT_EQ(WaitForDone(3), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(device.Unprepare(3), AudioDevice::kNoError);
  device.Close();
  LetPlay(20);

  // Silence (0) before and after; the blocks' bytes back to back between.
  const std::vector<uint8_t> played = Played();
  const auto start = std::find(played.begin(), played.end(), 0x11);
  ASSERT_NE(start, played.end());
  EXPECT_TRUE(std::all_of(played.begin(), start, [](uint8_t b) { return b == 0; }));
  std::vector<uint8_t> expected = first;
  expected.insert(expected.end(), second.begin(), second.end());
  expected.insert(expected.end(), third.begin(), third.end());
  ASSERT_GE(played.end() - start, static_cast<ptrdiff_t>(expected.size()));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), start));
  EXPECT_TRUE(std::all_of(start + static_cast<ptrdiff_t>(expected.size()), played.end(),
                          [](uint8_t b) { return b == 0; }));
}

TEST_F(SdlAudioTest, ResetSilencesAtOnceAndReturnsEveryBlock) {
  AudioDevice& device = platform_->Audio();
  ASSERT_EQ(device.Open(kDeviceFormat), AudioDevice::kNoError);
  const std::vector<uint8_t> long_sound = Frames(kPlayedRate * 5, 0x44), queued = Frames(1000, 0x55);  // 5 s
  device.Write(1, long_sound.data(), long_sound.size());
  device.Write(2, queued.data(), queued.size());
  platform_->GetClock().SleepMs(100);
  device.Reset();
  EXPECT_EQ(WaitForDone(2), (std::vector<int>{1, 2}));
  LetPlay(100);  // what the device plays after the reset
  device.Close();

  const std::vector<int16_t> played = ReadPlayedLeft(output_);
  const size_t first = StartOfLevel(played, Level16(0x44));
  const size_t last = EndOfLevel(played, Level16(0x44));
  ASSERT_LT(first, played.size());
  EXPECT_LT(last - first, static_cast<size_t>(kPlayedRate / 2));  // well short of the 5 s written
  EXPECT_EQ(CountLevel(played, Level16(0x55)), 0u);
  EXPECT_TRUE(std::all_of(played.begin() + static_cast<ptrdiff_t>(last), played.end(),
                          [](int16_t s) { return s == 0; }));
  EXPECT_GT(played.size() - last, 256u);  // and silence did follow
}

// Each source format comes out at the device's rate: a run of one value keeps
// its length in time and its level, and the runs keep their order.
TEST_F(SdlAudioTest, EverySourceFormatIsConvertedToTheDevicesFormat) {
  struct Case {
    AudioFormat format;
    uint8_t first, second;  // sample bytes of two runs of 100 ms each
    int first_level, second_level;
  };
  const Case cases[] = {
      {{11025, 8, 1}, 0x30, 0xD0, Level8(0x30), Level8(0xD0)},
      {{16000, 16, 1}, 0x30, 0xD0, Level16(0x30), Level16(0xD0)},
      {{22050, 16, 2}, 0x30, 0xD0, Level16(0x30), Level16(0xD0)},
      {{44100, 8, 2}, 0x60, 0xA0, Level8(0x60), Level8(0xA0)},
  };
  AudioDevice& device = platform_->Audio();
  int block = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format.rate);
    ASSERT_EQ(device.Open(c.format), AudioDevice::kNoError);
    const size_t offset = fs::file_size(output_) / kPlayedFrameBytes * kPlayedFrameBytes;
    const size_t bytes = c.format.rate / 10 * c.format.channels * (c.format.bits / 8u);
    const std::vector<uint8_t> first(bytes, c.first), second(bytes, c.second);
    device.Write(block, first.data(), first.size());
    device.Write(block + 1, second.data(), second.size());
    EXPECT_EQ(WaitForDone(2), (std::vector<int>{block, block + 1}));
    block += 2;
    device.Close();
    LetPlay(20);
    const std::vector<int16_t> played = ReadPlayedLeft(output_, offset);
    const size_t tenth = kPlayedRate / 10;
    // The converter's filter blurs a few frames at each edge.
    EXPECT_NEAR(static_cast<double>(CountLevel(played, c.first_level)), tenth, 48);
    EXPECT_NEAR(static_cast<double>(CountLevel(played, c.second_level)), tenth, 48);
    EXPECT_LT(EndOfLevel(played, c.first_level), StartOfLevel(played, c.second_level) + 48);
  }
}

// Ending a sound and playing one of another format keeps the device open: the
// disk driver would start its file afresh on every open.
TEST_F(SdlAudioTest, TheDeviceStaysOpenBetweenSounds) {
  AudioDevice& device = platform_->Audio();
  ASSERT_EQ(device.Open(kDeviceFormat), AudioDevice::kNoError);
  const std::vector<uint8_t> first = Frames(500, 0x21);
  device.Write(1, first.data(), first.size());
  EXPECT_EQ(WaitForDone(1), (std::vector<int>{1}));
  device.Close();
  ASSERT_EQ(device.Open(AudioFormat{11025, 8, 1}), AudioDevice::kNoError);
  const std::vector<uint8_t> second(1000, 0xE0);
  device.Write(2, second.data(), second.size());
  EXPECT_EQ(WaitForDone(1), (std::vector<int>{2}));
  device.Close();
  LetPlay(20);
  const std::vector<int16_t> played = ReadPlayedLeft(output_);
  EXPECT_EQ(CountLevel(played, Level16(0x21)), 500u);
  EXPECT_GT(CountLevel(played, Level8(0xE0)), 4000u);
}

TEST_F(SdlAudioTest, RefusesWhatItCannotPlay) {
  AudioDevice& device = platform_->Audio();
  const uint8_t byte = 0;
  EXPECT_EQ(device.Write(1, &byte, 1), AudioDevice::kInvalidHandle);
  EXPECT_EQ(device.Open(AudioFormat{11025, 12, 1}), AudioDevice::kBadFormat);
  EXPECT_EQ(device.Open(AudioFormat{11025, 8, 0}), AudioDevice::kBadFormat);
  EXPECT_EQ(device.Open(AudioFormat{0, 8, 1}), AudioDevice::kBadFormat);
  EXPECT_FALSE(device.IsOpen());
  ASSERT_EQ(device.Open(AudioFormat{11025, 8, 1}), AudioDevice::kNoError);
  EXPECT_TRUE(device.IsOpen());
  EXPECT_EQ(device.Write(9, &byte, 0), AudioDevice::kNoError);  // empty: done at once
  EXPECT_EQ(WaitForDone(1), (std::vector<int>{9}));
}

TEST_F(SdlAudioTest, ClosingReturnsTheBlocksStillQueued) {
  AudioDevice& device = platform_->Audio();
  ASSERT_EQ(device.Open(AudioFormat{11025, 8, 1}), AudioDevice::kNoError);
  const std::vector<uint8_t> sound(11025 * 3, 0x66);
  device.Write(4, sound.data(), sound.size());
  device.Close();
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(WaitForDone(1), (std::vector<int>{4}));
}

TEST_F(SdlAudioTest, TheTonePlayerLoopsItsImageUntilStopped) {
  // A square wave of 50 samples a period at 11,025 Hz: 220.5 Hz.
  std::vector<uint8_t> period(50, 96);
  std::fill(period.begin() + 25, period.end(), 160);
  platform_->Tones().PlayLooped(audio::MakeWaveImage(AudioFormat{11025, 8, 1}, period));
  // Until the device has played 300 ms of tone (about 66 times the image),
  // however slowly a loaded machine lets it run.
  auto tone_frames = [&] {
    const std::vector<int16_t> played = ReadPlayedLeft(output_);
    return CountLevel(played, Level8(96)) + CountLevel(played, Level8(160));
  };
  const size_t wanted = kPlayedRate * 3 / 10;
  const int64_t end = platform_->GetClock().NowMs() + 10000;
  while (tone_frames() < wanted && platform_->GetClock().NowMs() < end) platform_->GetClock().SleepMs(5);
  platform_->Tones().Stop();
  const std::vector<int16_t> played = ReadPlayedLeft(output_);
  const size_t low = CountLevel(played, Level8(96)), high = CountLevel(played, Level8(160));
  ASSERT_GE(low + high, wanted);
  // Each period of 50 samples at 11,025 Hz is 217.7 device frames with two
  // crossings of the middle: the count follows from how long the tone sounded.
  int crossings = 0;
  for (size_t i = 1; i < played.size(); ++i) crossings += (played[i - 1] < 0) != (played[i] < 0) ? 1 : 0;
  const auto sounding = [](int16_t v) { return v != 0; };
  const auto first = std::find_if(played.begin(), played.end(), sounding);
  const auto last = std::find_if(played.rbegin(), played.rend(), sounding).base();
  ASSERT_LT(first, last);
  const double periods = double(last - first) * 11025 / 50 / kPlayedRate;
  EXPECT_NEAR(crossings, 2 * periods, 0.1 * 2 * periods + 2);
  EXPECT_NEAR(double(low), double(high), 0.1 * double(low + high));
  const size_t stopped_at = played.size();
  LetPlay(100);
  const std::vector<int16_t> after = ReadPlayedLeft(output_, stopped_at * kPlayedFrameBytes);
  // Once stopped, at most the buffer already under way, then silence only.
  ASSERT_GT(after.size(), 2u * audio::sdl::kDeviceFrames);
  const auto sound_end = std::find_if(after.rbegin(), after.rend(), [](int16_t s) { return s != 0; }).base();
  EXPECT_LE(sound_end - after.begin(), 4 * audio::sdl::kDeviceFrames);
}

// A device missing at start (here the disk driver's folder does not exist
// yet) gives kNoDriver at once; once it appears, sound plays.
TEST(SdlAudioAppearing, ADeviceThatAppearsLaterIsFoundAndPlays) {
  const fs::path folder = fs::temp_directory_path() / ("placarim-late-audio-" + std::to_string(getpid()));
  fs::remove_all(folder);
  const fs::path output = folder / "played.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  SdlPlatform platform;
  AudioDevice& device = platform.Audio();
  EXPECT_EQ(device.Open(AudioFormat{11025, 8, 1}), AudioDevice::kNoDriver);
  EXPECT_EQ(device.Open(AudioFormat{11025, 8, 1}), AudioDevice::kNoDriver);
  EXPECT_FALSE(device.IsOpen());

  fs::create_directories(folder);
  int result = AudioDevice::kNoDriver;
  const int64_t end = platform.GetClock().NowMs() + 10000;
  while (result != AudioDevice::kNoError && platform.GetClock().NowMs() < end) {
    platform.GetClock().SleepMs(50);
    result = device.Open(AudioFormat{11025, 8, 1});
  }
  ASSERT_EQ(result, AudioDevice::kNoError);
  const std::vector<uint8_t> sound(2205, 0xC0);
  device.Write(1, sound.data(), sound.size());
  bool done = false;
  while (!done && platform.GetClock().NowMs() < end + 5000) {
    Event event;
    if (!platform.Events().Poll(event)) {
      platform.GetClock().SleepMs(2);
    } else {
      done = event.type == EventType::AudioBlockDone && event.block == 1;
    }
  }
  EXPECT_TRUE(done);
  device.Close();
  const uintmax_t written = fs::file_size(output) + 4000;  // the last buffers reach the file
  while (fs::file_size(output) < written && platform.GetClock().NowMs() < end + 10000) {
    platform.GetClock().SleepMs(2);
  }
  EXPECT_GT(CountLevel(ReadPlayedLeft(output), Level8(0xC0)), 9000u);  // 200 ms at 48 kHz
  fs::remove_all(folder);
}

}  // namespace
}  // namespace placarim::platform::sdl
