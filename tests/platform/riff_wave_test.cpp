// The one RIFF/WAVE walker under each reader's tolerance, and the canonical
// header it writes.
#include "platform/riff_wave.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/wave_builder.h"

namespace placarim::platform::riff {
namespace {

using sound::testing::Chunk;
using sound::testing::FormatBody;
using sound::testing::Riff;

const std::vector<uint8_t> kSamples = {1, 2, 3, 4, 5};
const std::vector<uint8_t> kOddBody = {9, 9, 9};

// The readers' tolerances, from the strictest to the most forgiving.
constexpr WaveReadOptions kStrict{};
constexpr WaveReadOptions kLetters{.riff_any_case = true, .form_type_checked = false,
                                   .format_chunk_first = true, .pad = PadByte::kNever};
constexpr WaveReadOptions kPlayback{.riff_any_case = true, .chunk_names_any_case = true,
                                    .form_type_checked = false, .format_chunk_first = true,
                                    .pad = PadByte::kWhenZero};

std::vector<uint8_t> WithFormType(std::vector<uint8_t> image, const std::string& form) {
  std::copy(form.begin(), form.end(), image.begin() + 8);
  return image;
}

WaveChunks Walk(const std::vector<uint8_t>& image, const WaveReadOptions& options, size_t* at = nullptr) {
  MemorySource source(image);
  WaveChunks chunks = ReadWaveChunks(source, options);
  if (at != nullptr) *at = source.Position();
  return chunks;
}

TEST(ReadWaveChunks, EachReaderForgivesWhatItsOptionsSay) {
  const Chunk fmt{"fmt ", FormatBody(1, 1, 11025, 8)};
  const Chunk data{"data", kSamples};
  struct Case {
    const char* name;
    std::vector<uint8_t> image;
    WaveWalkError strict, letters, playback;
  };
  const WaveWalkError ok = WaveWalkError::kNone, not_riff = WaveWalkError::kNotRiff,
                      no_format = WaveWalkError::kNoFormat, no_data = WaveWalkError::kNoData;
  const Case cases[] = {
      {"canonical", Riff({fmt, data}), ok, ok, ok},
      {"lower-case riff", Riff({fmt, data}, "riff"), not_riff, ok, ok},
      {"upper-case chunk names", Riff({{"FMT ", fmt.body}, {"DATA", kSamples}}), no_format, no_format, ok},
      {"another form type", WithFormType(Riff({fmt, data}), "AVI "), not_riff, ok, ok},
      {"a chunk before fmt", Riff({{"LIST", {1, 2}}, fmt, data}), ok, no_format, no_format},
      {"data before fmt", Riff({data, fmt}), no_data, no_format, no_format},
      {"padded odd chunk", Riff({fmt, {"junk", kOddBody}, data}), ok, no_data, ok},
      {"unpadded odd chunk", Riff({fmt, {"junk", kOddBody, std::nullopt, false}, data}), no_data, ok, ok},
      {"fmt cut short", Riff({{"fmt ", fmt.body, 400}}), no_format, no_format, no_format},
      {"nothing after the header", Riff({}), no_format, no_format, no_format},
      {"no data chunk", Riff({fmt}), no_data, no_data, no_data},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Walk(c.image, kStrict).error, c.strict) << c.name;
    EXPECT_EQ(Walk(c.image, kLetters).error, c.letters) << c.name;
    EXPECT_EQ(Walk(c.image, kPlayback).error, c.playback) << c.name;
  }
}

TEST(ReadWaveChunks, StopsAtTheFirstDataByteAndKeepsTheStatedLength) {
  const auto image = Riff({{"fmt ", FormatBody(1, 2, 22050, 16)}, {"data", kSamples, 1000}});
  size_t at = 0;
  const WaveChunks chunks = Walk(image, kStrict, &at);
  ASSERT_TRUE(chunks.ok());
  EXPECT_EQ(chunks.data_length, 1000u);  // the caller cuts it to what is there
  EXPECT_EQ(at, kCanonicalHeaderSize);
  PcmFields fields;
  ASSERT_TRUE(ReadPcmFields(chunks.FormatBytes(), fields));
  EXPECT_EQ(fields.tag, 1);
  EXPECT_EQ(fields.format, (AudioFormat{22050, 16, 2}));
  EXPECT_FALSE(ReadPcmFields(chunks.FormatBytes().first(15), fields));
}

TEST(CanonicalHeader, ReadsBackAndStatesItsSizes) {
  for (const AudioFormat& format : {AudioFormat{11025, 8, 1}, AudioFormat{44100, 16, 2}}) {
    const std::vector<uint8_t> image = MakeWaveImage(format, kSamples);
    ASSERT_EQ(image.size(), kCanonicalHeaderSize + kSamples.size());
    EXPECT_EQ(Le32(&image[4]), 36 + kSamples.size());
    EXPECT_EQ(Le32(&image[28]), format.rate * format.channels * format.bits / 8);
    EXPECT_EQ(Le16(&image[32]), format.channels * format.bits / 8);
    size_t at = 0;
    const WaveChunks chunks = Walk(image, kStrict, &at);
    PcmFields fields;
    ASSERT_TRUE(chunks.ok() && ReadPcmFields(chunks.FormatBytes(), fields));
    EXPECT_EQ(fields.format, format);
    EXPECT_EQ(at, kCanonicalHeaderSize);
    EXPECT_EQ(chunks.data_length, kSamples.size());
  }
  uint8_t header[kCanonicalHeaderSize];
  WriteCanonicalHeader(header, AudioFormat{16000, 16, 2}, 8, 1);
  EXPECT_EQ(Le16(header + 32), 1);  // an alignment given is written as given
}

}  // namespace
}  // namespace placarim::platform::riff
