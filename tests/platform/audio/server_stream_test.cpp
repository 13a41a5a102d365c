// The audio device through a sound server's own stream, on a private
// PulseAudio server and on a private PipeWire session through its PulseAudio
// service, each with a null sink whose monitor tells what was played:
// sound arrives whole, blocks are reported done in order, a reset silences
// and returns every block, a write the client library refuses loses no
// block, and a server that goes away returns the blocks it held and is found
// again when it comes back.
#include <gtest/gtest.h>
#include <pulse/stream.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/audio_output.h"
#include "platform/audio/sdl/sdl_sink.h"
#include "tests/support/pulse_server.h"

// The server stream's writes come here: this test is linked with
// --wrap=pa_stream_write, which sends the library's calls of that function to
// __wrap_pa_stream_write and leaves the real one as __real_pa_stream_write.
// While a level is set, libpulse itself refuses every write holding a frame
// at that level (given a seek mode it does not know, it fails with
// PA_ERR_INVALID and writes nothing); every other write goes through as it is.
namespace {
std::atomic<int> refused_level{0};
std::atomic<int> refused_writes{0};
std::atomic<int> refusals_missed{0};
}  // namespace

extern "C" int __real_pa_stream_write(pa_stream* stream, const void* data, size_t bytes, pa_free_cb_t free_cb,
                                      int64_t offset, pa_seek_mode_t seek);
extern "C" int __wrap_pa_stream_write(pa_stream* stream, const void* data, size_t bytes, pa_free_cb_t free_cb,
                                      int64_t offset, pa_seek_mode_t seek) {
  const int level = refused_level;
  const auto* samples = static_cast<const int16_t*>(data);
  if (level == 0 || data == nullptr ||
      std::none_of(samples, samples + bytes / 2, [&](int16_t s) { return placarim::testing::AtLevel(s, level); })) {
    return __real_pa_stream_write(stream, data, bytes, free_cb, offset, seek);
  }
  ++refused_writes;
  const int result = __real_pa_stream_write(stream, data, bytes, free_cb, offset, static_cast<pa_seek_mode_t>(99));
  if (result >= 0) ++refusals_missed;  // the library took it after all: the test cannot tell anything
  return result;
}

namespace placarim::platform::audio {
namespace {

namespace fs = std::filesystem;
using namespace placarim::testing;
using namespace std::chrono_literals;

// The stream's own format: these bytes reach the sink unchanged.
constexpr AudioFormat kFormat{48000, 16, 2};

std::vector<uint8_t> Sound(int ms, uint8_t byte) { return std::vector<uint8_t>(ms * 48 * 4, byte); }

// PipeWire serves here through its PulseAudio service, and alone, as on a
// desktop that runs it without that service.
enum class Kind { kPulseAudio, kPipeWire, kPipeWireAlone };

bool CanStart(Kind kind) { return kind == Kind::kPulseAudio ? PrivatePulse::CanStart() : PrivatePipeWire::CanStart(); }

class PlayedThroughServer : public ::testing::Test {
 protected:
  void Start(Kind kind) {
    // Installed (the setup script installs both), a server that does not
    // start is a fault of the machine or of the helper, never a pass.
    if (!CanStart(kind)) GTEST_SKIP() << "this sound server is not installed";
    dir_ = fs::temp_directory_path() / ("placarim-pulse-" + std::to_string(getpid()));
    kind_ = kind;
    StartServer();
    ASSERT_TRUE(pulse_->Running()) << pulse_->Name() << " did not start within "
                                   << std::chrono::duration_cast<std::chrono::seconds>(kServerStartLimit).count() << " s";
    if (kind == Kind::kPipeWireAlone) {
      for (const std::string& entry : session_->PipeWireEnvironment()) {
        const size_t equals = entry.find('=');
        setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
      }
      setenv("PULSE_SERVER", ("unix:" + (dir_ / "nobody").string()).c_str(), 1);
      unsetenv("SDL_AUDIODRIVER");
    } else {
      setenv("PULSE_SERVER", pulse_->Server().c_str(), 1);
      setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    }
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

  void StartServer() {
    session_ = nullptr;
    if (kind_ == Kind::kPulseAudio) {
      pulse_ = std::make_unique<PrivatePulse>(dir_);
    } else {
      auto session = std::make_unique<PrivatePipeWire>(dir_, kind_ == Kind::kPipeWire);
      session_ = session.get();
      pulse_ = std::move(session);
    }
  }
  // Records the sink from now on, once the recorder hears it.
  void StartMonitor() {
    monitor_ = kind_ == Kind::kPipeWireAlone ? std::make_unique<MonitorRecorder>(*session_)
                                             : std::make_unique<MonitorRecorder>(pulse_->Server());
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
  Kind kind_ = Kind::kPulseAudio;
  std::unique_ptr<SoundServer> pulse_;
  PrivatePipeWire* session_ = nullptr;  // pulse_, when a PipeWire session
  std::unique_ptr<MonitorRecorder> monitor_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> done_;
  std::unique_ptr<AudioOutput> output_;
  std::unique_ptr<WaveOutDevice> device_;
};

class ServerStreamTest : public PlayedThroughServer, public ::testing::WithParamInterface<Kind> {
 protected:
  void SetUp() override { Start(GetParam()); }
};

TEST_P(ServerStreamTest, PlaysBlocksWholeAndReportsThemDoneInOrder) {
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

TEST_P(ServerStreamTest, ResetSilencesAndReturnsEveryBlockThenPlaysOn) {
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
TEST_P(ServerStreamTest, ASoundReportedDoneWasHeardWholeAfterAnyNumberOfKeys) {
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

TEST_P(ServerStreamTest, AServerThatGoesAwayReturnsItsBlocksAndIsFoundAgain) {
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  const std::vector<uint8_t> long_sound = Sound(1000, 0x66);
  for (int block = 1; block <= 3; ++block) ASSERT_EQ(Write(block, long_sound), AudioDevice::kNoError);
  ASSERT_GT(WaitForLevel(Level16(0x66), 480), 0u);
  monitor_.reset();
  pulse_->Stop();
  EXPECT_EQ(WaitForDone(3), (std::vector<int>{1, 2, 3}));

  // A server at the same place again: the next sound plays through it.
  device_->Close();
  StartServer();
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

// The client library refuses a write (as it refuses any call on a stream
// that failed meanwhile): the blocks that ended in it are still reported
// done, once, in order, and the stream plays on. Each case refuses every
// write holding a frame of one block, so that block's end is refused
// whatever sizes the server asks for.
struct RefusedWrite {
  const char* where;
  std::vector<std::pair<int, uint8_t>> blocks;  // ms and level of each block
  uint8_t refused;                              // the level whose writes are refused
  bool key_after;                               // a reset once the last block is heard
};

TEST_P(ServerStreamTest, AWriteTheLibraryRefusesLosesNoBlock) {
  const std::vector<RefusedWrite> cases = {
      {"the write that starts a sound", {{40, 0x12}, {40, 0x23}, {60, 0x34}}, 0x12, false},
      {"a request in the middle of a sound", {{300, 0x45}, {20, 0x56}, {100, 0x67}, {100, 0x78}}, 0x56, false},
      {"then a key drops what is held", {{300, 0x1a}, {20, 0x2b}, {1000, 0x3c}}, 0x2b, true},
  };
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  std::vector<int> written;
  std::deque<std::vector<uint8_t>> sounds;  // kept until reported done
  const auto write = [&](int ms, uint8_t level) {
    written.push_back(static_cast<int>(written.size()) + 1);
    return Write(written.back(), sounds.emplace_back(Sound(ms, level)));
  };
  for (const RefusedWrite& test : cases) {
    SCOPED_TRACE(test.where);
    refused_writes = 0;
    refused_level = Level16(test.refused);
    for (const auto& [ms, level] : test.blocks) ASSERT_EQ(write(ms, level), AudioDevice::kNoError);
    const auto& [last_ms, last_level] = test.blocks.back();
    if (test.key_after) {
      ASSERT_GT(WaitForLevel(Level16(last_level), 960), 0u);
      device_->Reset();
    } else {
      // The stream plays on after the refused write.
      EXPECT_EQ(WaitForLevel(Level16(last_level), last_ms * 48u), last_ms * 48u);
    }
    EXPECT_EQ(WaitForDone(written.size()), written);
    refused_level = 0;
    EXPECT_GT(refused_writes, 0) << "no write was refused";
    EXPECT_EQ(refusals_missed, 0) << "libpulse took a write it was meant to refuse";
    // What was refused never reached the sink.
    EXPECT_EQ(CountLevel(monitor_->Left(), Level16(test.refused)), 0u);
  }
  // Nothing is reported twice, however late.
  ASSERT_EQ(write(50, 0x7b), AudioDevice::kNoError);
  EXPECT_EQ(WaitForDone(written.size()), written);
}

// Keys in quick succession while the machine holds the program still now
// and then (see stall_player.cpp): the player lives on and reports every
// block done exactly once. It runs as a process of its own, which this test
// stops (SIGSTOP) for 50 ms four times a second.
class StallTest : public ::testing::TestWithParam<Kind> {};

TEST_P(StallTest, KeysInQuickSuccessionWhileTheProgramStallsLoseNoBlockAndKillNothing) {
  if (!CanStart(GetParam())) GTEST_SKIP() << "this sound server is not installed";
  const fs::path dir = fs::temp_directory_path() / ("placarim-stall-" + std::to_string(getpid()));
  std::unique_ptr<SoundServer> server;
  if (GetParam() == Kind::kPulseAudio) {
    server = std::make_unique<PrivatePulse>(dir);
  } else {
    server = std::make_unique<PrivatePipeWire>(dir);
  }
  ASSERT_TRUE(server->Running()) << server->Name() << " did not start";
  const pid_t player = Spawn({PLACARIM_STALL_PLAYER, server->Server(), "8"}, nullptr);
  ASSERT_GT(player, 0);
  int status = 0;
  while (waitpid(player, &status, WNOHANG) == 0) {
    std::this_thread::sleep_for(200ms);
    kill(player, SIGSTOP);
    std::this_thread::sleep_for(50ms);
    kill(player, SIGCONT);
  }
  EXPECT_TRUE(WIFEXITED(status)) << "the player died of signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0)
      << "1: bad arguments; 10, 11: the device refused; 20, 21: a block was not reported exactly once";
  server.reset();
  fs::remove_all(dir);
}

// SDL tries ALSA before its own PipeWire driver and keeps it though it finds
// no card: without PipeWire's PulseAudio service there was no sound at all.
class PipeWireAloneTest : public PlayedThroughServer {
 protected:
  void SetUp() override { Start(Kind::kPipeWireAlone); }
};

TEST_F(PipeWireAloneTest, SdlsPipeWireDriverPlaysTheBlocksInOrder) {
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "pipewire");
  const std::vector<uint8_t> first = Sound(200, 0x13), second = Sound(100, 0x24);
  ASSERT_EQ(Write(1, first), AudioDevice::kNoError);
  ASSERT_EQ(Write(2, second), AudioDevice::kNoError);
  EXPECT_EQ(WaitForDone(2), (std::vector<int>{1, 2}));
  // While the graph starts the new stream SDL's driver may lose part of its
  // first buffer (seen: 128 frames); the rest is heard whole.
  const size_t first_frames = first.size() / 4 - sdl::kServerFrames;
  EXPECT_GE(WaitForLevel(Level16(0x13), first_frames), first_frames);
  EXPECT_EQ(WaitForLevel(Level16(0x24), second.size() / 4), second.size() / 4);
}

// Keys in a row, each straight after a short sound is reported done while a
// long one plays on behind it: every short sound was heard whole. On
// PulseAudio a sink that a client asking for a short latency joins (here the
// recorder; on a desktop, say, the speech server's stream) may have
// mixed seconds ahead of the ear and read nothing of the stream until the ear
// catches up; the library's smoothed clock ran on all the same, and sounds
// were reported done that the key then dropped unheard. (On PipeWire a key
// at the very moment of the report may cut the last graph cycle, 256 frames:
// not tested here.)
class KeyAfterReportTest : public PlayedThroughServer {
 protected:
  void SetUp() override { Start(Kind::kPulseAudio); }
};

TEST_F(KeyAfterReportTest, EverySoundReportedDoneBeforeAKeyWasHeardWhole) {
  monitor_.reset();  // the recorder, asking for 2 ms, joins as the first sound is written
  ASSERT_EQ(device_->Open(kFormat), AudioDevice::kNoError);
  const std::vector<uint8_t> first = Sound(100, 0x17), rest = Sound(2000, 0x27);
  constexpr int kKeys = 8;
  for (int key = 0; key < kKeys; ++key) {
    ASSERT_EQ(Write(2 * key + 1, first), AudioDevice::kNoError);
    ASSERT_EQ(Write(2 * key + 2, rest), AudioDevice::kNoError);
    if (key == 0) monitor_ = std::make_unique<MonitorRecorder>(pulse_->Server());
    ASSERT_GE(WaitForDone(2 * key + 1).size(), 2u * key + 1);
    device_->Reset();
    ASSERT_EQ(WaitForDone(2 * key + 2).size(), 2u * key + 2);
    std::this_thread::sleep_for(150ms);  // as long as a child takes to press the next key
  }
  EXPECT_EQ(WaitForLevel(Level16(0x17), kKeys * first.size() / 4), kKeys * first.size() / 4);
}

std::string ServerName(const ::testing::TestParamInfo<Kind>& server) {
  return server.param == Kind::kPulseAudio ? "PulseAudio" : "PipeWire";
}
INSTANTIATE_TEST_SUITE_P(Servers, ServerStreamTest, ::testing::Values(Kind::kPulseAudio, Kind::kPipeWire), ServerName);
INSTANTIATE_TEST_SUITE_P(Servers, StallTest, ::testing::Values(Kind::kPulseAudio, Kind::kPipeWire), ServerName);

}  // namespace
}  // namespace placarim::platform::audio
