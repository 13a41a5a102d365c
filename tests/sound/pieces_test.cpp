// Cutting data into pieces, filling blocks, and the format rules.
#include <gtest/gtest.h>

#include <vector>

#include "sound/block_fill.h"
#include "sound/file_pieces.h"
#include "sound/wave_format.h"
#include "sound/riff_walker.h"

namespace placarim::sound {
namespace {

using platform::AudioFormat;

std::vector<size_t> PiecesOf(uint64_t data_length) {
  std::vector<size_t> pieces;
  size_t previous = kBlockSize;
  while (data_length > 0) {
    previous = NextFilePiece(data_length, previous);
    pieces.push_back(previous);
    data_length -= previous;
  }
  return pieces;
}

TEST(FilePieces, LastPieceNeverNeedsPadding) {
  struct Case {
    uint64_t length;
    std::vector<size_t> pieces;
  };
  const Case cases[] = {
      {0, {}},
      {100, {100}},
      {65534, {65534}},
      {65535, {65278, 257}},
      {65600, {65278, 322}},
      {65789, {65278, 511}},
      {65790, {65534, 256}},
      {131068, {65534, 65534}},
      {131069, {65534, 65278, 257}},
      {200000, {65534, 65534, 65534, 3398}},
  };
  for (const Case& c : cases) EXPECT_EQ(PiecesOf(c.length), c.pieces) << c.length;
}

struct Streamed {
  int result;
  std::vector<size_t> played;
};

Streamed Stream(const std::vector<uint8_t>& bytes, uint64_t data_length, int fail_at = -1,
                int stop_after = -1) {
  MemorySource source(bytes);
  std::vector<uint8_t> buffer(kBlockSize);
  Streamed out{0, {}};
  out.result = StreamFilePieces(
      source, data_length, buffer,
      [&](std::span<const uint8_t> piece) {
        out.played.push_back(piece.size());
        return static_cast<int>(out.played.size()) == fail_at ? 32 : 0;
      },
      [&] { return static_cast<int>(out.played.size()) == stop_after; });
  return out;
}

TEST(FilePieces, StreamingEndsOnShortDataErrorsAndStops) {
  const std::vector<uint8_t> bytes(70000, 7);
  struct Case {
    const char* what;
    uint64_t data_length;
    int fail_at, stop_after;
    int result;
    std::vector<size_t> played;
  };
  const Case cases[] = {
      {"all there", 65600, -1, -1, 0, {65278, 322}},
      {"nothing stated", 0, -1, -1, 0, {}},
      {"stated past the end: what is there plays, then -1", 140000, -1, -1, -1, {65534, 4466}},
      {"stated 0xFFFFFFFF", 0xFFFFFFFF, -1, -1, -1, {65534, 4466}},
      {"device error ends it", 131068, 1, -1, 32, {65534}},
      {"a key ends it with 0", 131068, -1, 1, 0, {65534}},
  };
  for (const Case& c : cases) {
    const Streamed s = Stream(bytes, c.data_length, c.fail_at, c.stop_after);
    EXPECT_EQ(s.result, c.result) << c.what;
    EXPECT_EQ(s.played, c.played) << c.what;
  }
}

TEST(BlockFill, ShortBlocksArePaddedWithTheFormatsSilence) {
  struct Case {
    const char* what;
    AudioFormat format;
    size_t count;
    size_t length;
    uint8_t last_sound_byte;  // block[count - 1] afterwards
    uint8_t pad;              // bytes count..255
  };
  const Case cases[] = {
      {"mono 8-bit, 100 bytes", {11025, 8, 1}, 100, 256, 128, 128},
      {"mono 8-bit, 300 bytes", {11025, 8, 1}, 300, 300, 128, 0},
      {"mono 8-bit full block keeps its end", {11025, 8, 1}, kBlockSize, kBlockSize, 9, 0},
      {"stereo 8-bit", {11025, 8, 2}, 100, 256, 9, 128},
      {"mono 16-bit", {16000, 16, 1}, 100, 256, 9, 0},
      {"stereo 16-bit", {44100, 16, 2}, 300, 300, 9, 0},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> block(kBlockSize, 0x55);  // a stale previous sound
    std::fill(block.begin(), block.begin() + c.count, 9);
    EXPECT_EQ(FinishBlock(block, c.count, c.format), c.length) << c.what;
    EXPECT_EQ(block[c.count - 1], c.last_sound_byte) << c.what;
    EXPECT_EQ(block[c.count - 2], 9) << c.what;
    for (size_t i = c.count; i < kMinBlockLength; ++i) {
      ASSERT_EQ(block[i], c.pad) << c.what << " at " << i;
    }
  }
  std::vector<uint8_t> block(kBlockSize, 0x55);
  EXPECT_EQ(FinishBlock(block, 0, {11025, 8, 1}), 256u) << "nothing left after condensing";
  EXPECT_EQ(block[0], 128);
  EXPECT_EQ(block[255], 128);
}

TEST(WaveFormat, SpeedUpRoundsHalvesToEven) {
  const std::pair<uint32_t, uint64_t> cases[] = {
      {11025, 16538}, {16000, 24000}, {22050, 33075}, {1, 2},
      {3, 4},         {5, 8},         {0xFFFFFFFF, 6442450942},
  };
  for (const auto& [rate, sped] : cases) EXPECT_EQ(SpeedUpRate(rate), sped) << rate;
}

}  // namespace
}  // namespace placarim::sound
