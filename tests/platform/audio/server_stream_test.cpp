// The audio device through a sound server's own stream, on a private
// PulseAudio server with a null sink whose monitor tells what was played:
// sound arrives whole, blocks are reported done in order, a reset silences
// and returns every block, and a server that goes away returns the blocks it
// held and is found again when it comes back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/audio_output.h"
#include "pulse_server.h"

namespace placarim::platform::audio {
namespace {

namespace fs = std::filesystem;
using namespace placarim::testing;
using namespace std::chrono_literals;

// The stream's own format: these bytes reach the sink unchanged.
constexpr AudioFormat kFormat{48000, 16, 2};

std::vector<uint8_t> Sound(int ms, uint8_t byte) { return std::vector<uint8_t>(ms * 48 * 4, byte); }

class ServerStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("placarim-pulse-" + std::to_string(getpid()));
    pulse_ = std::make_unique<PrivatePulse>(dir_);
    if (!pulse_->Running()) GTEST_SKIP() << "pulseaudio could not start a private server here";
    setenv("PULSE_SERVER", pulse_->Server().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    StartMonitor();
    output_ = std::make_unique<AudioOutput>([this](int block) {
      std::lock_guard lock(mutex_);
      done_.push_back(block);
      changed_.notify_all();
    });
    output_->Start();
    device_ = std::make_unique<WaveOutDevice>(*output_);
  }
  void TearDown() override {
    device_.reset();
    output_.reset();
    monitor_.reset();
    pulse_.reset();
    fs::remove_all(dir_);
  }

  // Records the sink from now on, once the recorder hears it.
  void StartMonitor() {
    monitor_ = std::make_unique<MonitorRecorder>(pulse_->Server());
    for (int i = 0; i < 1000 && monitor_->Frames() == 0; ++i) std::this_thread::sleep_for(10ms);
  }
  // The blocks reported done, once `count` have come (or 10 s have passed).
  std::vector<int> WaitForDone(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, 10s, [&] { return done_.size() >= count; });
    return done_;
  }
  // Waits (at most 10 s) until the monitor holds `frames` frames at `level`.
  size_t WaitForLevel(int level, size_t frames) {
    size_t heard = 0;
    for (int i = 0; i < 1000 && heard < frames; ++i) {
      std::this_thread::sleep_for(10ms);
      heard = CountLevel(monitor_->Left(), level);
    }
    return heard;
  }
  int Write(int block, const std::vector<uint8_t>& sound) {
    return device_->Write(block, sound.data(), sound.size());
  }

  fs::path dir_;
  std::unique_ptr<PrivatePulse> pulse_;
  std::unique_ptr<MonitorRecorder> monitor_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> done_;
  std::unique_ptr<AudioOutput> output_;
  std::unique_ptr<WaveOutDevice> device_;
};

TEST_F(ServerStreamTest, PlaysBlocksWholeAndReportsThemDoneInOrder) {
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  const std::vector<uint8_t> first = Sound(200, 0x11), second = Sound(60, 0x22), third = Sound(300, 0x33);
  ASSERT_EQ(Write(1, first), AudioDevice::kNoError);
  ASSERT_EQ(Write(2, second), AudioDevice::kNoError);
  ASSERT_EQ(Write(3, third), AudioDevice::kNoError);
  EXPECT_EQ(WaitForDone(3), (std::vector<int>{1, 2, 3}));
  // The server's stream, not SDL's driver for it, played them.
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  const std::vector<std::pair<const std::vector<uint8_t>*, int>> sounds = {
      {&first, Level16(0x11)}, {&second, Level16(0x22)}, {&third, Level16(0x33)}};
  for (const auto& [sound, level] : sounds) {
    EXPECT_EQ(WaitForLevel(level, sound->size() / 4), sound->size() / 4) << "level " << level;
  }
  const std::vector<int16_t> heard = monitor_->Left();
  EXPECT_LT(StartOfLevel(heard, Level16(0x11)), StartOfLevel(heard, Level16(0x22)));
  EXPECT_LT(StartOfLevel(heard, Level16(0x22)), StartOfLevel(heard, Level16(0x33)));
}

TEST_F(ServerStreamTest, ResetSilencesAndReturnsEveryBlockThenPlaysOn) {
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  const std::vector<uint8_t> long_sound = Sound(500, 0x44);  // kept until reported done
  for (int block = 1; block <= 4; ++block) ASSERT_EQ(Write(block, long_sound), AudioDevice::kNoError);
  ASSERT_GT(WaitForLevel(Level16(0x44), 4800), 0u);
  device_->Reset();
  EXPECT_EQ(WaitForDone(4), (std::vector<int>{1, 2, 3, 4}));
  // Sound after the reset is heard whole; what the server held is not.
  const std::vector<uint8_t> after = Sound(100, 0x55);
  ASSERT_EQ(Write(5, after), AudioDevice::kNoError);
  EXPECT_EQ(WaitForLevel(Level16(0x55), after.size() / 4), after.size() / 4);
  EXPECT_LT(CountLevel(monitor_->Left(), Level16(0x44)), 4u * 500 * 48 / 2);
}

// A block is reported done only once heard, however often keys have replaced
// what the server held: the next sound, started on that report, must not
// replace the end of the one before.
TEST_F(ServerStreamTest, ASoundReportedDoneWasHeardWholeAfterAnyNumberOfKeys) {
  const std::vector<uint8_t> cut = Sound(300, 0x21);
  size_t heard_before = 0;
  for (int block = 1; block <= 3; ++block) {
    ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
    ASSERT_EQ(Write(block, cut), AudioDevice::kNoError);
    heard_before = WaitForLevel(Level16(0x21), heard_before + 960);
    device_->Close();  // a key: the rest is dropped
  }
  ASSERT_EQ(WaitForDone(3).size(), 3u);
  const std::vector<uint8_t> first = Sound(150, 0x31), second = Sound(100, 0x41);
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  ASSERT_EQ(Write(4, first), AudioDevice::kNoError);
  ASSERT_EQ(WaitForDone(4).back(), 4);
  device_->Close();
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  ASSERT_EQ(Write(5, second), AudioDevice::kNoError);
  EXPECT_EQ(WaitForDone(5).back(), 5);
  EXPECT_EQ(WaitForLevel(Level16(0x31), first.size() / 4), first.size() / 4);
  EXPECT_EQ(WaitForLevel(Level16(0x41), second.size() / 4), second.size() / 4);
}

TEST_F(ServerStreamTest, AServerThatGoesAwayReturnsItsBlocksAndIsFoundAgain) {
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  const std::vector<uint8_t> long_sound = Sound(1000, 0x66);
  for (int block = 1; block <= 3; ++block) ASSERT_EQ(Write(block, long_sound), AudioDevice::kNoError);
  ASSERT_GT(WaitForLevel(Level16(0x66), 480), 0u);
  monitor_.reset();
  pulse_->Stop();
  EXPECT_EQ(WaitForDone(3), (std::vector<int>{1, 2, 3}));

  // A server at the same place again: the next sound plays through it.
  device_->Close();
  pulse_ = std::make_unique<PrivatePulse>(dir_);
  ASSERT_TRUE(pulse_->Running());
  StartMonitor();
  int opened = AudioDevice::kNoDriver;
  for (int i = 0; i < 100 && opened != AudioDevice::kNoError; ++i) {
    std::this_thread::sleep_for(50ms);
    opened = device_->Open(kFormat);
  }
  ASSERT_EQ(opened, AudioDevice::kNoError);
  const std::vector<uint8_t> again = Sound(100, 0x77);
  ASSERT_EQ(Write(4, again), AudioDevice::kNoError);
  EXPECT_EQ(WaitForDone(4).back(), 4);
  EXPECT_EQ(WaitForLevel(Level16(0x77), again.size() / 4), again.size() / 4);
}

}  // namespace
}  // namespace placarim::platform::audio
