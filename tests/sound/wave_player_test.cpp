// Wave playback on the headless platform: what reaches the device, when, and
// how keys and device failures are met.
#include "sound/wave_player.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "console/console.h"
#include "platform/fake/fake_platform.h"
#include "sound/block_fill.h"
#include "sound/condense.h"
#include "tests/support/wave_builder.h"

namespace placarim::sound {
namespace {

using platform::AudioDevice;
using platform::AudioFormat;
using platform::fake::FakePlatform;
namespace keys = platform::fake::keys;
using testing::Chunk;
using testing::FormatBody;
using testing::PcmWave;
using testing::Riff;

std::vector<uint8_t> Ramp(size_t count, uint8_t from = 1) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(from + i * 7);
  return bytes;
}

// A vowel-like mono 8-bit sound: one peak every 90 samples.
std::vector<uint8_t> Voice(size_t count) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) {
    bytes[i] = i % 90 == 0 ? 240 : static_cast<uint8_t>(128 + (i % 90) % 30);
  }
  return bytes;
}

class WavePlayerTest : public ::testing::Test {
 protected:
  WavePlayerTest()
      : dir_(std::filesystem::temp_directory_path() /
             ("placarim-player-" + std::to_string(::getpid()))),
        console_(fake_, dir_.string()),
        player_(console_, fake_.audio) {}

  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string File(const std::string& name, const std::vector<uint8_t>& bytes) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  std::vector<size_t> BlockLengths() const {
    std::vector<size_t> lengths;
    for (const auto& block : fake_.audio.written) lengths.push_back(block.bytes.size());
    return lengths;
  }

  int64_t LastDoneMs() const {
    return fake_.audio.written.empty() ? 0 : fake_.audio.written.back().done_ms;
  }

  std::filesystem::path dir_;
  FakePlatform fake_;
  console::Console console_;
  WavePlayer player_;
};

struct FileCase {
  const char* what;
  std::vector<uint8_t> file;
  bool speed_up = false;
  bool condense = false;
  int result = 0;
  std::vector<AudioFormat> opened = {};
  std::vector<size_t> blocks = {};
};

std::vector<FileCase> FileCases() {
  const Chunk fmt8 = {"fmt ", FormatBody(1, 1, 11025, 8)};
  return {
      {"100 bytes fill one 256-byte block", PcmWave(1, 11025, 8, Ramp(100)), false, false, 0,
       {{11025, 8, 1}}, {256}},
      {"65,600 bytes play as 65,278 + 322", PcmWave(1, 11025, 8, Ramp(65600)), false, false, 0,
       {{11025, 8, 1}}, {65278, 322}},
      {"131,068 bytes play as two full blocks", PcmWave(1, 11025, 8, Ramp(131068)), false,
       false, 0, {{11025, 8, 1}}, {65534, 65534}},
      {"speed-up opens 11,025 Hz at 16,538", PcmWave(1, 11025, 8, Ramp(1000)), true, false, 0,
       {{16538, 8, 1}}, {1000}},
      {"16-bit stereo is never condensed", PcmWave(2, 44100, 16, Ramp(4000)), false, true, 0,
       {{44100, 16, 2}}, {4000}},
      {"no data chunk", Riff({fmt8, {"LIST", {'I', 'N', 'F', 'O'}}}), false, false, -1},
      {"data before fmt", Riff({{"data", Ramp(10)}, fmt8}), false, false, -1},
      {"empty file", {}, false, false, -1},
      {"truncated header", Riff({fmt8}), false, false, -1},
      {"24-bit", PcmWave(1, 8000, 24, Ramp(300)), false, false, -1},
      {"32-bit float", Riff({{"fmt ", FormatBody(3, 1, 8000, 32)}, {"data", Ramp(400)}}), false,
       false, -1},
      {"0 channels", Riff({{"fmt ", FormatBody(1, 0, 8000, 8)}, {"data", Ramp(400)}}), false,
       false, -1},
      {"data stated past the end: what is there plays, then -1",
       Riff({fmt8, {"data", Ramp(300), 70000}}), false, false, -1, {{11025, 8, 1}}, {300}},
      {"zero-length data plays nothing", Riff({fmt8, {"data", {}}}), false, false, 0},
  };
}

TEST_F(WavePlayerTest, FilesReachTheDeviceInPieces) {
  int n = 0;
  for (const FileCase& c : FileCases()) {
    FakePlatform fake;
    console::Console console(fake, dir_.string());
    WavePlayer player(console, fake.audio);
    player.SetWaveSpeedUp(c.speed_up);
    player.SetWaveCondense(c.condense);
    const std::string path = File("case" + std::to_string(n++) + ".wav", c.file);
    EXPECT_EQ(player.WavePlayFile(path), c.result) << c.what;
    EXPECT_EQ(fake.audio.opened, c.opened) << c.what;
    std::vector<size_t> lengths;
    for (const auto& block : fake.audio.written) lengths.push_back(block.bytes.size());
    EXPECT_EQ(lengths, c.blocks) << c.what;
    EXPECT_FALSE(fake.audio.IsOpen()) << c.what << ": the device is closed after the sound";
    if (!c.blocks.empty()) {
      EXPECT_GE(fake.clock.NowMs(), fake.audio.written.back().done_ms)
          << c.what << ": returns after the sound has ended";
    }
  }
}

TEST_F(WavePlayerTest, ShortMonoBlockEndsOnSilence) {
  const auto samples = Ramp(100);
  ASSERT_EQ(player_.WavePlayFile(File("short.wav", PcmWave(1, 11025, 8, samples))), 0);
  ASSERT_EQ(fake_.audio.written.size(), 1u);
  const auto& bytes = fake_.audio.written[0].bytes;
  ASSERT_EQ(bytes.size(), 256u);
  EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + 99, bytes.begin()));
  for (size_t i = 99; i < 256; ++i) ASSERT_EQ(bytes[i], 128) << i;
}

TEST_F(WavePlayerTest, NonFilesAndMissingFilesGiveMinusOne) {
  EXPECT_EQ(player_.WavePlayFile(dir_.string()), -1) << "a directory";
  EXPECT_EQ(player_.WavePlayFile((dir_ / "missing.wav").string()), -1);
  EXPECT_EQ(fake_.audio.open_calls, 0);
}

TEST_F(WavePlayerTest, CondensingHalvesSixteenBitMono) {
  std::vector<uint8_t> samples16;
  for (uint8_t s : Voice(40000)) {  // the same voice as signed 16-bit
    samples16.push_back(0x5A);
    samples16.push_back(static_cast<uint8_t>(s ^ 0x80));
  }
  player_.SetWaveCondense(true);
  ASSERT_EQ(player_.WavePlayFile(File("voice16.wav", PcmWave(1, 16000, 16, samples16))), 0);
  ASSERT_EQ(fake_.audio.opened, (std::vector<AudioFormat>{{16000, 8, 1}}));
  const size_t played = fake_.audio.AllBytes().size();
  // 40,000 samples at 16,000 Hz last 2.5 s; condensed, about half of that.
  EXPECT_GT(played, 40000 * 40 / 100);
  EXPECT_LT(played, 40000 * 60 / 100);
  EXPECT_LT(fake_.clock.NowMs(), 2500 * 60 / 100);
}

TEST_F(WavePlayerTest, BothOptionsCondenseWithThePlayingRate) {
  const auto samples = Voice(20000);
  auto expected = samples;
  const size_t count = CondenseMono(expected, 8, 16538);
  expected.resize(kBlockSize);
  expected.resize(FinishBlock(expected, count, {16538, 8, 1}));
  auto at_voice_rate = samples;
  at_voice_rate.resize(CondenseMono(at_voice_rate, 8, 11025));
  ASSERT_NE(at_voice_rate.size(), expected.size()) << "the rates must be told apart";

  player_.SetWaveSpeedUp(true);
  player_.SetWaveCondense(true);
  ASSERT_EQ(player_.WavePlayFile(File("voice.wav", PcmWave(1, 11025, 8, samples))), 0);
  ASSERT_EQ(fake_.audio.opened, (std::vector<AudioFormat>{{16538, 8, 1}}));
  ASSERT_EQ(fake_.audio.written.size(), 1u);
  EXPECT_EQ(fake_.audio.written[0].bytes, expected);
}

TEST_F(WavePlayerTest, KeyStopsTheFileAndStaysReadable) {
  struct Case {
    const char* what;
    size_t bytes;
  };
  const Case cases[] = {
      {"key while waiting for room in the queue", 300000},  // 5 blocks, 27 s
      {"key while waiting for the end", 100000},            // 2 blocks, 9 s
  };
  int n = 0;
  for (const Case& c : cases) {
    FakePlatform fake;
    console::Console console(fake, dir_.string());
    WavePlayer player(console, fake.audio);
    const auto file = File("long" + std::to_string(n++) + ".wav", PcmWave(1, 11025, 8, Ramp(c.bytes)));
    fake.events.PostAt(500, keys::Type("a"));
    EXPECT_EQ(player.WavePlayFile(file), 0) << c.what;
    EXPECT_LT(fake.clock.NowMs(), 600) << c.what;
    EXPECT_EQ(fake.audio.reset_count, 1) << c.what;
    EXPECT_FALSE(fake.audio.IsOpen()) << c.what;
    EXPECT_FALSE(player.WaveIsPlaying()) << c.what;
    ASSERT_TRUE(console.KeyPressed()) << c.what;
    EXPECT_EQ(console.ReadKey(), 'a') << c.what;
  }
}

TEST_F(WavePlayerTest, WaitingKeyStopsRawDataBeforeItIsQueued) {
  fake_.Type("k");
  EXPECT_EQ(player_.WavePlayData(Ramp(3 * kBlockSize), 11025, 1, 8), 0);
  EXPECT_TRUE(fake_.audio.written.empty());
  EXPECT_FALSE(fake_.audio.IsOpen());
  EXPECT_EQ(console_.ReadKey(), 'k');
}

TEST_F(WavePlayerTest, WaitingKeyMeansNothingPlays) {
  fake_.Type("x");
  EXPECT_EQ(player_.WavePlayFile(File("a.wav", PcmWave(1, 11025, 8, Ramp(1000)))), 0);
  EXPECT_EQ(fake_.audio.open_calls, 0);
  EXPECT_EQ(console_.ReadKey(), 'x');
}

TEST_F(WavePlayerTest, WithoutStopOnKeyTheSoundPlaysThrough) {
  player_.SetWaveStopOnKey(false);
  fake_.events.PostAt(100, keys::Type("b"));
  EXPECT_EQ(player_.WavePlayFile(File("b.wav", PcmWave(1, 11025, 8, Ramp(150000)))), 0);
  EXPECT_EQ(fake_.audio.reset_count, 0);
  EXPECT_EQ(fake_.audio.AllBytes().size(), 150000u);
  EXPECT_GE(fake_.clock.NowMs(), 150000 * 1000 / 11025);
  EXPECT_EQ(console_.ReadKey(), 'b');
}

TEST_F(WavePlayerTest, FormatChangeWaitsForTheDrain) {
  const auto first = PcmWave(1, 11025, 8, Ramp(11025));  // one second
  const auto second = PcmWave(1, 16000, 16, Ramp(3200));
  ASSERT_EQ(player_.WavePlayMemory(first), 0);
  EXPECT_LT(fake_.clock.NowMs(), 100) << "memory images return once queued";
  const int64_t first_done = LastDoneMs();
  ASSERT_EQ(player_.WavePlayMemory(second), 0);
  ASSERT_EQ(fake_.audio.opened,
            (std::vector<AudioFormat>{{11025, 8, 1}, {16000, 16, 1}}));
  EXPECT_EQ(fake_.audio.close_count, 1);
  EXPECT_EQ(fake_.audio.closed_with_blocks_queued, 0);
  EXPECT_GE(fake_.audio.written.back().written_ms, first_done);

  // The same format again joins the open device's queue.
  ASSERT_EQ(player_.WavePlayMemory(second), 0);
  EXPECT_EQ(fake_.audio.opened.size(), 2u);
  while (player_.WaveIsPlaying()) console_.WaitMessage();
  EXPECT_EQ(fake_.audio.AllBytes().size(), 11025u + 2 * 3200u);
}

TEST_F(WavePlayerTest, AtMostFourBlocksAreQueued) {
  const auto samples = Ramp(6 * kBlockSize);
  ASSERT_EQ(player_.WavePlayData(samples, 22050, 1, 8), 0);
  const auto& written = fake_.audio.written;
  ASSERT_EQ(written.size(), 6u);
  const int ids[] = {1, 2, 3, 4, 1, 2};
  for (size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(written[i].block, ids[i]) << i;
    if (i >= 4) {
      EXPECT_GE(written[i].written_ms, written[i - 4].done_ms) << i;
    }
  }
  EXPECT_EQ(fake_.audio.AllBytes().size(), samples.size());
}

TEST_F(WavePlayerTest, BusyDeviceIsRetriedHundredTimes) {
  fake_.audio.FailOpen(AudioDevice::kBusy, 99);
  EXPECT_EQ(player_.WavePlayData(Ramp(300), 11025, 1, 8), 0);
  EXPECT_EQ(fake_.audio.open_calls, 100);
  EXPECT_GE(fake_.clock.NowMs(), 99 * 100);
  player_.WaveStop();

  FakePlatform fake;
  console::Console console(fake, dir_.string());
  WavePlayer player(console, fake.audio);
  fake.audio.FailOpen(AudioDevice::kBusy, 100);
  EXPECT_EQ(player.WavePlayFile(File("busy.wav", PcmWave(1, 11025, 8, Ramp(300)))),
            AudioDevice::kBusy);
  EXPECT_EQ(fake.audio.open_calls, 100);
  EXPECT_TRUE(fake.audio.written.empty());

  fake.audio.FailOpen(AudioDevice::kBadFormat);
  EXPECT_EQ(player.WavePlayData(Ramp(300), 11025, 1, 8), AudioDevice::kBadFormat);
  EXPECT_EQ(fake.audio.open_calls, 101);
}

TEST_F(WavePlayerTest, RawDataIsCheckedAndNeverRewritten) {
  EXPECT_EQ(player_.WavePlayData(Ramp(300), 0, 1, 8), AudioDevice::kBadFormat);
  EXPECT_EQ(player_.WavePlayData(Ramp(300), 11025, 1, 24), AudioDevice::kBadFormat);
  EXPECT_EQ(fake_.audio.open_calls, 0);

  player_.SetWaveCondense(true);
  const auto samples = Voice(5000);
  const auto copy = samples;
  ASSERT_EQ(player_.WavePlayData(samples, 11025, 1, 8), 0);
  EXPECT_EQ(samples, copy);
  EXPECT_LT(fake_.audio.AllBytes().size(), samples.size());
}

TEST_F(WavePlayerTest, ImagesPlayOnlyWhatTheyHold) {
  EXPECT_EQ(player_.WavePlayMemory(Riff({{"data", Ramp(10)}})), -1);
  EXPECT_EQ(player_.WavePlayMemory({}), -1);
  EXPECT_EQ(fake_.audio.open_calls, 0);

  const auto image = Riff({{"fmt ", FormatBody(1, 1, 11025, 8)}, {"data", Ramp(300), 0xFFFFFFF0}});
  ASSERT_EQ(player_.WavePlayMemory(image), 0);
  ASSERT_EQ(fake_.audio.written.size(), 1u);
  EXPECT_EQ(fake_.audio.written[0].bytes.size(), 300u);
}

TEST_F(WavePlayerTest, UnprepareFailureIsShownAndWaitsForEnter) {
  struct Case {
    int code;
    const char* text;
  };
  const Case cases[] = {
      {33, "The data block pointed to by the pwh parameter is still in queue"},
      {7, "Unable to allocate or lock memory."},
      {11, ""},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    console::Console console(fake, dir_.string());
    WavePlayer player(console, fake.audio);
    fake.audio.FailUnprepare(c.code);
    fake.events.PostAt(5000, keys::Type("\r"));
    ASSERT_EQ(player.WavePlayData(Ramp(300), 11025, 1, 8), 0);
    while (player.WaveIsPlaying()) console.WaitMessage();
    EXPECT_GE(fake.clock.NowMs(), 5000) << c.code << ": waited for Enter";
    EXPECT_EQ(fake.screen.Text().substr(0, std::string(c.text).size()), c.text) << c.code;
    EXPECT_FALSE(fake.audio.IsOpen()) << c.code;
  }
}

TEST_F(WavePlayerTest, LateReportsAndStrangeBlockNumbersAreIgnored) {
  player_.WaveBlockDone(0);
  player_.WaveBlockDone(5);
  player_.WaveBlockDone(2);  // not queued
  EXPECT_TRUE(fake_.audio.unprepared.empty());
  ASSERT_EQ(player_.WavePlayData(Ramp(300), 11025, 1, 8), 0);
  EXPECT_EQ(player_.BlocksInFlight(), 1);
  EXPECT_TRUE(player_.WaveIsPlaying());
  player_.WaveStop();
  EXPECT_EQ(player_.BlocksInFlight(), 0);
  EXPECT_FALSE(fake_.audio.IsOpen());
}

}  // namespace
}  // namespace placarim::sound
