#include <gtest/gtest.h>

#include <numeric>

#include "platform/audio/audio_mixer.h"
#include "platform/audio/block_queue.h"
#include "platform/audio/sdl/sdl_sink.h"
#include "platform/audio/sink_table.h"
#include "platform/audio/sound_converter.h"
#include "platform/audio/wave_image.h"

namespace placarim::platform::audio {
namespace {

std::vector<uint8_t> Bytes(size_t n, uint8_t first) {
  std::vector<uint8_t> bytes(n);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

// Tests and benchmarks name SDL's disk or dummy driver and must never reach a
// user's sound server; a desktop with none named goes to its server.
TEST(AudioOutputDriver, TheServerIsTriedOnlyWhenNoOtherDriverIsNamed) {
  const struct {
    const char* wanted;
    bool server;
  } cases[] = {{nullptr, true},  {"", true},       {"pulseaudio", true}, {"pulseaudio,alsa", true},
               {"pulse", true},  {"disk", false},  {"dummy", false},     {"alsa,pulseaudio", false},
               {"pipewire", false}};
  for (const auto& c : cases) EXPECT_EQ(TriesSoundServer(c.wanted), c.server) << (c.wanted ? c.wanted : "unset");
  EXPECT_EQ(sdl::DeviceFramesFor("pipewire"), sdl::kServerFrames);
  EXPECT_EQ(sdl::DeviceFramesFor("disk"), sdl::kDeviceFrames);
  // Whatever else a build holds, SDL's device is the last resort: always
  // available, tried after every other sink.
  const auto drivers = SinkDrivers();
  ASSERT_FALSE(drivers.empty());
  EXPECT_STREQ(drivers.back().name, "sdl");
  EXPECT_TRUE(drivers.back().available());
  for (const SinkDriver& driver : drivers.first(drivers.size() - 1)) EXPECT_STRNE(driver.name, "sdl");
}

// Render's answer decides whether the sound held at a server may be replaced:
// it must say "silence" only when nothing at all was mixed in.
TEST(AudioMixer, TellsSilenceFromSoundAndEndsAOneShotTone) {
  AudioMixer mixer;
  const OutputFormat format = mixer.Format();
  std::vector<int> finished;
  std::vector<uint8_t> out(64, 0xFF);
  EXPECT_FALSE(mixer.Render(out.data(), out.size(), finished));
  EXPECT_EQ(out, std::vector<uint8_t>(64, 0));

  const std::vector<uint8_t> block(16, 0x10);
  ASSERT_TRUE(mixer.Add(7, block, format));
  EXPECT_FALSE(mixer.Add(8, block, OutputFormat{format.format, 22050, 1}));  // made for another device
  EXPECT_TRUE(mixer.Render(out.data(), out.size(), finished));
  EXPECT_EQ(finished, std::vector<int>{7});
  EXPECT_TRUE(mixer.QueueEmpty());

  mixer.SetTone(1, std::vector<uint8_t>(24, 0x01), false, format);
  EXPECT_TRUE(mixer.ToneSounding());
  EXPECT_TRUE(mixer.Render(out.data(), 16, finished));
  EXPECT_TRUE(mixer.Render(out.data(), 16, finished));  // its last 8 bytes
  EXPECT_FALSE(mixer.ToneSounding());
  EXPECT_TRUE(mixer.HoldsTone());  // until stopped: the device stays running
  EXPECT_FALSE(mixer.Render(out.data(), 16, finished));
  mixer.ClearTone(1);
  EXPECT_FALSE(mixer.HoldsTone());
}

TEST(BlockQueue, CopiesBlocksInOrderAcrossBuffersAndReportsEachWhenFinished) {
  const std::vector<uint8_t> a = Bytes(5, 10), b = Bytes(3, 50);
  BlockQueue queue;
  queue.Add(1, a.data(), a.size());
  queue.Add(2, b.data(), b.size());
  std::vector<int> finished;
  uint8_t out[4];

  queue.Fill(out, 4, 128, finished);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{10, 11, 12, 13}));
  EXPECT_TRUE(finished.empty());

  queue.Fill(out, 4, 128, finished);  // end of a, most of b
  EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{14, 50, 51, 52}));
  EXPECT_EQ(finished, (std::vector<int>{1, 2}));  // b ended exactly at the buffer's end
  EXPECT_TRUE(queue.Empty());

  finished.clear();
  queue.Fill(out, 4, 128, finished);  // nothing queued: silence
  EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{128, 128, 128, 128}));
  EXPECT_TRUE(finished.empty());
}

TEST(BlockQueue, ResetDropsEveryBlockOldestFirst) {
  const std::vector<uint8_t> data = Bytes(8, 0);
  BlockQueue queue;
  queue.Add(3, data.data(), 8);
  queue.Add(4, data.data(), 8);
  queue.Add(1, data.data(), 8);
  std::vector<int> finished;
  uint8_t out[2];
  queue.Fill(out, 2, 0, finished);  // block 3 partly played
  EXPECT_TRUE(queue.Contains(3));
  EXPECT_FALSE(queue.Contains(2));
  EXPECT_EQ(queue.TakeAll(), (std::vector<int>{3, 4, 1}));
  EXPECT_FALSE(queue.Contains(3));
  queue.Fill(out, 2, 7, finished);
  EXPECT_EQ(out[0], 7);
  EXPECT_TRUE(finished.empty());
}

TEST(WaveImage, ReadsBackWhatItMakes) {
  const std::vector<uint8_t> samples = Bytes(11, 100);
  const std::vector<uint8_t> image = MakeWaveImage(AudioFormat{16000, 16, 2}, samples);
  ASSERT_EQ(image.size(), 44u + 11u);
  const auto wave = ReadWaveImage(image);
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->format, (AudioFormat{16000, 16, 2}));
  EXPECT_EQ(std::vector<uint8_t>(wave->samples.begin(), wave->samples.end()), samples);
}

TEST(WaveImage, TheBeepIsAShortTone) {
  const std::vector<uint8_t> image = MakeBeepImage();
  const auto wave = ReadWaveImage(image);
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->format, (AudioFormat{11025, 8, 1}));
  EXPECT_NEAR(wave->samples.size(), 882u, 2u);  // 80 ms
  EXPECT_NEAR(wave->samples.front(), 128, 2);   // faded in and out
  EXPECT_NEAR(wave->samples.back(), 128, 2);
  const auto [low, high] = std::minmax_element(wave->samples.begin(), wave->samples.end());
  EXPECT_LT(*low, 60);
  EXPECT_GT(*high, 196);
}

// Patches a canonical 8-bit image (4 samples) at `offset` with `bytes`.
std::vector<uint8_t> Patched(size_t offset, std::vector<uint8_t> bytes, size_t keep = 48) {
  std::vector<uint8_t> image = MakeWaveImage(AudioFormat{11025, 8, 1}, Bytes(4, 1));
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<ptrdiff_t>(offset));
  image.resize(std::min(keep, image.size()));
  return image;
}

struct BadImage {
  const char* what;
  std::vector<uint8_t> image;
  long samples;  // -1: refused
};

TEST(WaveImage, ChecksEverySizeAgainstTheBytesPresent) {
  const BadImage cases[] = {
      {"empty", {}, -1},
      {"truncated header", Patched(0, {}, 30), -1},
      {"not RIFF", Patched(0, {'R', 'I', 'F', 'X'}), -1},
      {"not WAVE", Patched(8, {'A', 'V', 'I', ' '}), -1},
      {"not PCM", Patched(20, {3, 0}), -1},
      {"no channels", Patched(22, {0, 0}), -1},
      {"zero rate", Patched(24, {0, 0, 0, 0}), -1},
      {"odd bits", Patched(34, {12, 0}), -1},
      {"format chunk too short", Patched(16, {8, 0, 0, 0}), -1},
      {"format length near 4 GiB", Patched(16, {0xF8, 0xFF, 0xFF, 0xFF}), -1},
      {"data before fmt", Patched(12, {'d', 'a', 't', 'a'}), -1},
      {"data longer than the image", Patched(40, {0xFF, 0xFF, 0xFF, 0xFF}), 4},
      {"data cut short", Patched(0, {}, 46), 2},
      {"empty data", Patched(40, {0, 0, 0, 0}), 0},
  };
  for (const BadImage& c : cases) {
    const auto wave = ReadWaveImage(c.image);
    if (c.samples < 0) {
      EXPECT_FALSE(wave) << c.what;
    } else {
      ASSERT_TRUE(wave) << c.what;
      EXPECT_EQ(static_cast<long>(wave->samples.size()), c.samples) << c.what;
    }
  }
}

TEST(WaveImage, SkipsOtherChunksWithTheirPadByte) {
  std::vector<uint8_t> image = MakeWaveImage(AudioFormat{11025, 8, 1}, Bytes(4, 1));
  // Insert an odd-length LIST chunk (3 bytes + pad) between fmt and data.
  const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  image.insert(image.begin() + 36, list.begin(), list.end());
  const auto wave = ReadWaveImage(image);
  ASSERT_TRUE(wave);
  EXPECT_EQ(std::vector<uint8_t>(wave->samples.begin(), wave->samples.end()), Bytes(4, 1));
}

// Converted sound keeps its length in time, however long the sound (SDL's
// converter loses sound when handed too much at once).
TEST(SoundConverter, ConvertedSoundKeepsItsLength) {
  struct Case {
    AudioFormat source;
    size_t frames;
  };
  const Case cases[] = {{{11025, 8, 1}, 22050}, {{16000, 16, 1}, 65534 / 2}, {{22050, 16, 2}, 16383}, {{48000, 16, 2}, 100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source.rate);
    const std::vector<uint8_t> sound(c.frames * c.source.channels * (c.source.bits / 8u), 0x40);
    const std::vector<uint8_t> out = ConvertSound(c.source, sound, OutputFormat{});
    const double expected = static_cast<double>(c.frames) * 48000 / c.source.rate;
    EXPECT_NEAR(static_cast<double>(out.size() / 4), expected, 48);  // within 1 ms
  }
}

// 65,534-byte blocks of 16-bit stereo end in the middle of a frame: the frame
// is finished by the next block, so the channels never swap.
TEST(SoundConverter, AFrameSplitBetweenBlocksStaysWhole) {
  BlockConverter converter;
  ASSERT_TRUE(converter.SetSource({48000, 16, 2}, OutputFormat{}));
  const std::vector<uint8_t> first = {0x11, 0x11, 0x22, 0x22, 0x11, 0x11};  // a frame and a half
  const std::vector<uint8_t> second = {0x22, 0x22, 0x11, 0x11, 0x22, 0x22};
  const auto a = converter.Convert(1, first);
  EXPECT_EQ(std::vector<uint8_t>(a.begin(), a.end()), (std::vector<uint8_t>{0x11, 0x11, 0x22, 0x22}));
  const auto b = converter.Convert(2, second);
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.end()),
            (std::vector<uint8_t>{0x11, 0x11, 0x22, 0x22, 0x11, 0x11, 0x22, 0x22}));
  // A new sound starts with a whole frame.
  converter.DropPartialFrame();
  const std::vector<uint8_t> third = {0x33, 0x33, 0x44, 0x44, 0x55};
  const auto c = converter.Convert(3, third);
  EXPECT_EQ(std::vector<uint8_t>(c.begin(), c.end()), (std::vector<uint8_t>{0x33, 0x33, 0x44, 0x44}));
}

}  // namespace
}  // namespace placarim::platform::audio
