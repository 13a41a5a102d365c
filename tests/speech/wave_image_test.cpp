#include "speech/wave_image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace placarim::speech {
namespace {

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Get16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

TEST(MakeWaveHeader, FieldsFollowTheArguments) {
  std::vector<uint8_t> image(kWaveHeaderSize);
  MakeWaveHeader(image.data(), 512, 16000, 2, 16);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "RIFF");
  EXPECT_EQ(std::string(image.begin() + 8, image.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(std::string(image.begin() + 36, image.begin() + 40), "data");
  EXPECT_EQ(Get32(image, 4), 512u + 36);
  EXPECT_EQ(Get32(image, 16), 16u);
  EXPECT_EQ(Get16(image, 20), 1);
  EXPECT_EQ(Get16(image, 22), 2);
  EXPECT_EQ(Get32(image, 24), 16000u);
  EXPECT_EQ(Get32(image, 28), 64000u);
  EXPECT_EQ(Get16(image, 32), 1);  // block alignment stays 1
  EXPECT_EQ(Get16(image, 34), 16);
  EXPECT_EQ(Get32(image, 40), 512u);
}

TEST(GeneratedSounds, BeepIsATriangleEndingOnSilence) {
  const std::vector<uint8_t> beep = MakeBeepSamples();
  ASSERT_EQ(beep.size(), 512u);
  const std::vector<uint8_t> period = {128, 112, 96, 80, 64, 80, 96, 112};
  EXPECT_TRUE(std::equal(period.begin(), period.end(), beep.begin()));
  EXPECT_TRUE(std::equal(period.begin(), period.end(), beep.begin() + 8 * 30));
  EXPECT_EQ(beep[511], 128);
  EXPECT_EQ(beep[510], 96);
}

TEST(GeneratedSounds, ClickIsNoiseThenSilence) {
  std::mt19937 random(1);
  const std::vector<uint8_t> click = MakeClickSamples(random);
  ASSERT_EQ(click.size(), 256u);
  EXPECT_TRUE(std::all_of(click.begin(), click.begin() + 64, [](uint8_t s) { return s >= 128 && s <= 187; }));
  EXPECT_TRUE(std::all_of(click.begin() + 64, click.end(), [](uint8_t s) { return s == 128; }));
  EXPECT_FALSE(std::all_of(click.begin(), click.begin() + 64, [](uint8_t s) { return s == 128; }));
}

TEST(SpeechWaveFiles, OnlyEightBitMonoWaveFilesAreWordRecordings) {
  const uint8_t word[] = {100, 150, 200};
  const std::vector<uint8_t> good = MakeSpeechImage(word, sizeof word);
  const auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } refused[] = {
      {"stereo", with(22, 2)},
      {"16-bit", with(34, 16)},
      {"not PCM", with(20, 7)},
      {"text", std::vector<uint8_t>(100, 'a')},
      {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 43)},
  };
  for (const auto& r : refused) EXPECT_FALSE(SpeechWaveSamples(r.bytes)) << r.name;

  const auto samples = [](const std::vector<uint8_t>& bytes) {
    const auto s = SpeechWaveSamples(bytes);
    return s ? std::vector<uint8_t>(s->begin(), s->end()) : std::vector<uint8_t>{99};
  };
  const std::vector<uint8_t> expected(word, word + sizeof word);
  EXPECT_EQ(samples(good), expected);
  // A recorder's LIST chunk before the samples and another after them are
  // not sound; a data length past the end is cut to what is there.
  std::vector<uint8_t> tagged(good.begin(), good.begin() + 36);
  const uint8_t list[] = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
  tagged.insert(tagged.end(), list, list + sizeof list);
  tagged.insert(tagged.end(), good.begin() + 36, good.end());
  tagged.push_back(0);  // the pad byte after three samples
  tagged.insert(tagged.end(), list, list + sizeof list);
  EXPECT_EQ(samples(tagged), expected);
  std::vector<uint8_t> long_header = with(40, 200);
  EXPECT_EQ(samples(long_header), expected);
}

}  // namespace
}  // namespace placarim::speech
