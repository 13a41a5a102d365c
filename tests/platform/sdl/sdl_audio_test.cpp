// The SDL audio devices on SDL's disk driver, which writes what it plays to a
// file at the pace of a real sound card: blocks come out whole and in order,
// each is reported done on the event queue, Reset cuts the sound short and
// returns every block, and the tone player loops its image.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/wave_image.h"

namespace placarim::platform::sdl {
namespace {

namespace fs = std::filesystem;

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

  fs::path output_;
  std::unique_ptr<SdlPlatform> platform_;
};

TEST_F(SdlAudioTest, PlaysBlocksWholeAndInOrderAndReportsEachDone) {
  AudioDevice& device = platform_->Audio();
  ASSERT_EQ(device.Open(AudioFormat{11025, 8, 1}), AudioDevice::kNoError);
  const std::vector<uint8_t> first(2000, 0x11), second(700, 0x22), third(1500, 0x33);
  ASSERT_EQ(device.Write(1, first.data(), first.size()), AudioDevice::kNoError);
  ASSERT_EQ(device.Write(2, second.data(), second.size()), AudioDevice::kNoError);
  ASSERT_EQ(device.Write(3, third.data(), third.size()), AudioDevice::kNoError);
  EXPECT_EQ(device.Unprepare(3), AudioDevice::kStillPlaying);
  EXPECT_EQ(WaitForDone(3), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(device.Unprepare(3), AudioDevice::kNoError);
  device.Close();

  // Silence (128) before and after; the blocks' bytes back to back between.
  const std::vector<uint8_t> played = Played();
  const auto start = std::find(played.begin(), played.end(), 0x11);
  ASSERT_NE(start, played.end());
  EXPECT_TRUE(std::all_of(played.begin(), start, [](uint8_t b) { return b == 128; }));
  std::vector<uint8_t> expected = first;
  expected.insert(expected.end(), second.begin(), second.end());
  expected.insert(expected.end(), third.begin(), third.end());
  ASSERT_GE(played.end() - start, static_cast<ptrdiff_t>(expected.size()));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), start));
  EXPECT_TRUE(std::all_of(start + static_cast<ptrdiff_t>(expected.size()), played.end(),
                          [](uint8_t b) { return b == 128; }));
}

TEST_F(SdlAudioTest, ResetSilencesAtOnceAndReturnsEveryBlock) {
  AudioDevice& device = platform_->Audio();
  ASSERT_EQ(device.Open(AudioFormat{11025, 8, 1}), AudioDevice::kNoError);
  const std::vector<uint8_t> long_sound(11025 * 5, 0x44), queued(1000, 0x55);  // 5 s
  device.Write(1, long_sound.data(), long_sound.size());
  device.Write(2, queued.data(), queued.size());
  platform_->GetClock().SleepMs(100);
  device.Reset();
  EXPECT_EQ(WaitForDone(2), (std::vector<int>{1, 2}));
  platform_->GetClock().SleepMs(100);  // what the device plays after the reset
  device.Close();

  const std::vector<uint8_t> played = Played();
  const auto first = std::find(played.begin(), played.end(), 0x44);
  const auto last = std::find(played.rbegin(), played.rend(), 0x44).base();
  ASSERT_NE(first, played.end());
  EXPECT_LT(last - first, 11025 / 2);  // well short of the 5 s written
  EXPECT_EQ(std::count(played.begin(), played.end(), 0x55), 0);
  EXPECT_TRUE(std::all_of(last, played.end(), [](uint8_t b) { return b == 128; }));
  EXPECT_GT(played.end() - last, 256);  // and silence did follow
}

TEST_F(SdlAudioTest, SixteenBitSoundPassesUnchanged) {
  AudioDevice& device = platform_->Audio();
  ASSERT_EQ(device.Open(AudioFormat{16000, 16, 1}), AudioDevice::kNoError);
  std::vector<uint8_t> samples;
  for (int i = 0; i < 1000; ++i) {
    samples.push_back(static_cast<uint8_t>(i));
    samples.push_back(0x40);
  }
  device.Write(7, samples.data(), samples.size());
  EXPECT_EQ(WaitForDone(1), (std::vector<int>{7}));
  device.Close();
  const std::vector<uint8_t> played = Played();
  EXPECT_NE(std::search(played.begin(), played.end(), samples.begin(), samples.end()), played.end());
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
  std::vector<uint8_t> period(50, 96);
  std::fill(period.begin() + 25, period.end(), 160);
  platform_->Tones().PlayLooped(MakeWaveImage(AudioFormat{11025, 8, 1}, period));
  platform_->GetClock().SleepMs(300);
  platform_->Tones().Stop();
  const std::vector<uint8_t> played = Played();
  // 300 ms hold about 66 periods; look for 20 in a row.
  std::vector<uint8_t> twenty;
  for (int i = 0; i < 20; ++i) twenty.insert(twenty.end(), period.begin(), period.end());
  EXPECT_NE(std::search(played.begin(), played.end(), twenty.begin(), twenty.end()), played.end());
  const size_t size_after_stop = played.size();
  platform_->GetClock().SleepMs(100);
  EXPECT_EQ(Played().size(), size_after_stop);  // nothing more once stopped
}

}  // namespace
}  // namespace placarim::platform::sdl
