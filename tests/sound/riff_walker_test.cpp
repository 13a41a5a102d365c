#include "sound/riff_walker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/wave_builder.h"

namespace placarim::sound {
namespace {

using platform::AudioFormat;
using testing::Chunk;
using testing::ExtensibleBody;
using testing::FormatBody;
using testing::Riff;

const std::vector<uint8_t> kSamples = {1, 2, 3, 4, 5, 6};
const Chunk kFmt8 = {"fmt ", FormatBody(1, 1, 11025, 8)};
const Chunk kData = {"data", kSamples};

struct HeaderCase {
  const char* what;
  std::vector<uint8_t> bytes;
  WaveError error;
  AudioFormat format = {};
  uint64_t data_length = 0;
};

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

std::vector<HeaderCase> HeaderCases() {
  const auto good = Riff({kFmt8, kData});
  return {
      {"canonical 8-bit mono", good, WaveError::kNone, {11025, 8, 1}, 6},
      {"16-bit stereo", Riff({{"fmt ", FormatBody(1, 2, 44100, 16)}, kData}), WaveError::kNone,
       {44100, 16, 2}, 6},
      {"names in lower case", Riff({{"fmt ", kFmt8.body}, {"DATA", kSamples}}, "riff"),
       WaveError::kNone, {11025, 8, 1}, 6},
      {"format chunk of 18 bytes", Riff({{"fmt ", FormatBody(1, 1, 16000, 16, {0, 0})}, kData}),
       WaveError::kNone, {16000, 16, 1}, 6},
      {"RIFF length not trusted", [&] { auto b = good; b[4] = b[5] = b[6] = b[7] = 0xFF; return b; }(),
       WaveError::kNone, {11025, 8, 1}, 6},
      {"data length beyond the end", Riff({kFmt8, {"data", kSamples, 0xFFFFFFFF}}),
       WaveError::kNone, {11025, 8, 1}, 0xFFFFFFFF},
      {"empty", {}, WaveError::kNotRiff},
      {"11 bytes", Cut(good, 11), WaveError::kNotRiff},
      {"big-endian RIFX", Riff({kFmt8, kData}, "RIFX"), WaveError::kNotRiff},
      {"header cut inside fmt name", Cut(good, 14), WaveError::kNoFormat},
      {"format chunk cut short", Cut(good, 30), WaveError::kNoFormat},
      {"data before fmt", Riff({kData, kFmt8}), WaveError::kNoFormat},
      {"LIST before fmt", Riff({{"LIST", {'I', 'N', 'F', 'O'}}, kFmt8, kData}),
       WaveError::kNoFormat},
      {"format length past the end", Riff({{"fmt ", kFmt8.body, 1000}}), WaveError::kNoFormat},
      {"format length 0xFFFFFFFF", Riff({{"fmt ", kFmt8.body, 0xFFFFFFFF}, kData}),
       WaveError::kNoFormat},
      {"format length 0", Riff({{"fmt ", {}}, kData}), WaveError::kBadFormat},
      {"format of 14 bytes", Riff({{"fmt ", Cut(kFmt8.body, 14)}, kData}), WaveError::kBadFormat},
      {"0 channels", Riff({{"fmt ", FormatBody(1, 0, 11025, 8)}, kData}), WaveError::kBadFormat},
      {"3 channels", Riff({{"fmt ", FormatBody(1, 3, 11025, 8)}, kData}), WaveError::kBadFormat},
      {"rate 0", Riff({{"fmt ", FormatBody(1, 1, 0, 8)}, kData}), WaveError::kBadFormat},
      {"rate 999", Riff({{"fmt ", FormatBody(1, 1, 999, 8)}, kData}), WaveError::kBadFormat},
      {"rate 0xFFFFFFFF", Riff({{"fmt ", FormatBody(1, 1, 0xFFFFFFFF, 8)}, kData}),
       WaveError::kBadFormat},
      {"0 bits", Riff({{"fmt ", FormatBody(1, 1, 11025, 0)}, kData}), WaveError::kBadFormat},
      {"7 bits", Riff({{"fmt ", FormatBody(1, 1, 11025, 7)}, kData}), WaveError::kBadFormat},
      {"24 bits", Riff({{"fmt ", FormatBody(1, 1, 11025, 24)}, kData}), WaveError::kBadFormat},
      {"32-bit float", Riff({{"fmt ", FormatBody(3, 1, 11025, 32)}, kData}),
       WaveError::kBadFormat},
      {"A-law tag with 8 bits", Riff({{"fmt ", FormatBody(6, 1, 8000, 8)}, kData}),
       WaveError::kBadFormat},
      {"extensible PCM stereo", Riff({{"fmt ", ExtensibleBody(2, 22050, 16, 1)}, kData}),
       WaveError::kNone, {22050, 16, 2}, 6},
      {"extensible 4 channels", Riff({{"fmt ", ExtensibleBody(4, 22050, 16, 1)}, kData}),
       WaveError::kBadFormat},
      {"extensible float", Riff({{"fmt ", ExtensibleBody(1, 22050, 32, 3)}, kData}),
       WaveError::kBadFormat},
      {"extensible tag without sub-format",
       Riff({{"fmt ", FormatBody(0xFFFE, 1, 22050, 16, {0, 0})}, kData}), WaveError::kBadFormat},
      {"two fmt chunks: the first counts",
       Riff({kFmt8, {"fmt ", FormatBody(1, 2, 44100, 16)}, kData}), WaveError::kNone,
       {11025, 8, 1}, 6},
      {"no data chunk", Riff({kFmt8, {"LIST", {'I', 'N', 'F', 'O'}}}), WaveError::kNoData},
      {"data header cut short", Cut(good, 38), WaveError::kNoData},
      {"chunk length 0xFFFFFFFF before data",
       Riff({kFmt8, {"LIST", {'a', 'b'}, 0xFFFFFFFF}, kData}), WaveError::kNoData},
      {"chunk length 0xFFFFFFF8 (wraps to -8) before data",
       Riff({kFmt8, {"junk", {}, 0xFFFFFFF8}, kData}), WaveError::kNoData},
      {"odd chunk with pad byte", Riff({kFmt8, {"LIST", {'I', 'N', 'F'}, {}, true}, kData}),
       WaveError::kNone, {11025, 8, 1}, 6},
      {"odd chunk without pad byte", Riff({kFmt8, {"LIST", {'I', 'N', 'F'}, {}, false}, kData}),
       WaveError::kNone, {11025, 8, 1}, 6},
      {"odd format chunk with pad byte",
       Riff({{"fmt ", FormatBody(1, 1, 11025, 8, {7}), {}, true}, kData}), WaveError::kNone,
       {11025, 8, 1}, 6},
  };
}

TEST(RiffWalker, ReadsHeadersOrNamesWhatIsWrong) {
  for (const HeaderCase& c : HeaderCases()) {
    MemorySource source(c.bytes);
    const WaveHeader header = ReadWaveHeader(source);
    EXPECT_EQ(header.error, c.error) << c.what;
    if (c.error != WaveError::kNone || header.error != WaveError::kNone) continue;
    EXPECT_EQ(header.format, c.format) << c.what;
    EXPECT_EQ(header.data_length, c.data_length) << c.what;
    uint8_t first = 0;
    ASSERT_TRUE(source.Peek(first)) << c.what;
    EXPECT_EQ(first, kSamples[0]) << c.what << ": the source stands at the first sample";
  }
}

TEST(RiffWalker, ImageSamplesAreCutToWhatTheImageHolds) {
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
    std::vector<uint8_t> samples;
  };
  const Case cases[] = {
      {"whole", Riff({kFmt8, kData}), kSamples},
      {"data longer than the image", Riff({kFmt8, {"data", kSamples, 1000}}), kSamples},
      {"data length 0xFFFFFFFF", Riff({kFmt8, {"data", kSamples, 0xFFFFFFFF}}), kSamples},
      {"image ends at the data header", Riff({kFmt8, {"data", {}, 50}}), {}},
      {"data shorter than what follows",
       Riff({kFmt8, {"data", kSamples, 4}}), {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    const auto found = FindImageSamples(c.image);
    ASSERT_TRUE(found.has_value()) << c.what;
    EXPECT_EQ(std::vector<uint8_t>(found->samples.begin(), found->samples.end()), c.samples)
        << c.what;
  }
  EXPECT_FALSE(FindImageSamples(Riff({kData, kFmt8})).has_value());
  EXPECT_FALSE(FindImageSamples({}).has_value());
}

class FileSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("placarim-wave-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::filesystem::path dir_;
};

TEST_F(FileSourceTest, OnlyRegularFilesOpen) {
  FileSource source;
  EXPECT_FALSE(source.Open((dir_ / "missing.wav").string()));
  EXPECT_FALSE(source.Open(dir_.string())) << "a directory";
  const auto fifo = dir_ / "pipe.wav";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(source.Open(fifo.string())) << "a pipe would block";
  EXPECT_FALSE(source.Open("/dev/zero")) << "a device never ends";
  EXPECT_TRUE(source.Open(Write("empty.wav", {})));
  EXPECT_EQ(ReadWaveHeader(source).error, WaveError::kNotRiff);
}

TEST_F(FileSourceTest, WalksFilesLikeImages) {
  const auto bytes = Riff({kFmt8, {"LIST", {'I', 'N', 'F'}, {}, true}, kData});
  FileSource source;
  ASSERT_TRUE(source.Open(Write("a.wav", bytes)));
  const WaveHeader header = ReadWaveHeader(source);
  ASSERT_TRUE(header.ok());
  uint8_t read_back[6] = {};
  EXPECT_EQ(ReadFully(source, read_back, 6), 6u);
  EXPECT_EQ(std::vector<uint8_t>(read_back, read_back + 6), kSamples);

  const auto wrapped = Riff({kFmt8, {"junk", {}, 0xFFFFFFF8}, kData});
  ASSERT_TRUE(source.Open(Write("b.wav", wrapped)));
  EXPECT_EQ(ReadWaveHeader(source).error, WaveError::kNoData);
}

TEST_F(FileSourceTest, SkipPastTheEndFailsAndStaysAtTheEnd) {
  FileSource source;
  ASSERT_TRUE(source.Open(Write("c.wav", {1, 2, 3, 4})));
  EXPECT_TRUE(source.Skip(2));
  uint8_t byte = 0;
  ASSERT_TRUE(source.Peek(byte));
  EXPECT_EQ(byte, 3);
  EXPECT_FALSE(source.Skip(3));
  EXPECT_FALSE(source.Peek(byte));
  EXPECT_EQ(source.Read(&byte, 1), 0u);
}

}  // namespace
}  // namespace placarim::sound

namespace placarim::sound {
namespace {

// Files written by another program (the fuzz seeds, made with sox).
TEST(RiffWalker, FilesFromAnotherWriter) {
  const char* source_dir = std::getenv("PLACARIM_SOURCE_DIR");
  ASSERT_NE(source_dir, nullptr);
  const std::string dir = std::string(source_dir) + "/fuzz/sound/corpus/wave_file_fuzzer/";
  struct Case {
    const char* file;
    WaveError error;
    platform::AudioFormat format = {};
  };
  const Case cases[] = {
      {"u8-mono.wav", WaveError::kNone, {11025, 8, 1}},
      {"s16-mono.wav", WaveError::kNone, {16000, 16, 1}},
      {"s16-stereo.wav", WaveError::kNone, {22050, 16, 2}},
      {"u8-list.wav", WaveError::kNone, {11025, 8, 1}},
      {"s16-list-odd-padded.wav", WaveError::kNone, {16000, 16, 1}},
      {"u8-list-odd-unpadded.wav", WaveError::kNone, {11025, 8, 1}},
      {"s24-mono.wav", WaveError::kBadFormat},
      {"s16-4ch-extensible.wav", WaveError::kBadFormat},
      {"f32-mono.wav", WaveError::kBadFormat},
  };
  for (const Case& c : cases) {
    FileSource file;
    ASSERT_TRUE(file.Open(dir + c.file)) << c.file;
    const WaveHeader header = ReadWaveHeader(file);
    EXPECT_EQ(header.error, c.error) << c.file;
    if (header.ok()) {
      EXPECT_EQ(header.format, c.format) << c.file;
      // 0.01 s of sound: the whole data chunk is there.
      const uint64_t frame = c.format.channels * c.format.bits / 8;
      EXPECT_EQ(header.data_length, c.format.rate / 100 * frame) << c.file;
    }
  }
}

}  // namespace
}  // namespace placarim::sound
