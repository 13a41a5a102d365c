#include <gtest/gtest.h>

#include <map>

#include "platform/sdl/console_image.h"
#include "platform/sdl/glyph_cache.h"

namespace placarim::platform::sdl {
namespace {

constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// A 4 × 3 cell whose left column is ink, with a byte-dependent middle so that
// different bytes give different cells.
struct FakeFont {
  std::map<uint8_t, int> renders;
  GlyphCache::MaskRenderer Renderer() {
    return [this](uint8_t byte, std::vector<uint8_t>& mask) {
      ++renders[byte];
      for (int y = 0; y < 3; ++y) mask[y * 4] = 255;
      mask[5] = byte;
    };
  }
};

TEST(GlyphCache, RendersEachByteOnceAndBlendsEachColourPairOnce) {
  FakeFont font;
  GlyphCache cache(4, 3, font.Renderer());
  const uint32_t* first = cache.Cell('A', kYellow, kBlue);
  EXPECT_EQ(cache.Cell('A', kYellow, kBlue), first);
  EXPECT_EQ(cache.CellsBlended(), 1u);

  // Other colours need a new cell but not a new glyph; another byte needs both.
  EXPECT_NE(cache.Cell('A', kBlue, kYellow), first);
  EXPECT_NE(cache.Cell('A', kYellow, kBlack), first);
  cache.Cell('B', kYellow, kBlue);
  EXPECT_EQ(cache.CellsBlended(), 4u);
  EXPECT_EQ(cache.MasksRendered(), 2u);
  EXPECT_EQ(font.renders['A'], 1);
}

TEST(GlyphCache, BlendsCoverageBetweenBackgroundAndForeground) {
  FakeFont font;
  GlyphCache cache(4, 3, font.Renderer());
  const uint32_t* cell = cache.Cell(128, kWhite, kBlack);
  EXPECT_EQ(cell[0], PackArgb(kWhite));       // full ink
  EXPECT_EQ(cell[1], PackArgb(kBlack));       // no ink
  EXPECT_EQ(cell[5], PackArgb(Rgb{128, 128, 128}));  // half ink
  const uint32_t* coloured = cache.Cell(128, kYellow, kBlue);
  EXPECT_EQ(coloured[0], PackArgb(kYellow));
  EXPECT_EQ(coloured[1], PackArgb(kBlue));
}

TEST(GlyphCache, StaysCorrectWhenEmptiedAtItsLimit) {
  FakeFont font;
  GlyphCache cache(4, 3, font.Renderer(), 2);
  for (uint8_t shade = 0; shade < 10; ++shade) {
    const Rgb fg{shade, 0, 0};
    EXPECT_EQ(cache.Cell('x', fg, kBlack)[0], PackArgb(fg));
  }
  EXPECT_EQ(cache.MasksRendered(), 1u);
}

TEST(GlyphCache, StretchesMasksToTheCellWidth) {
  const std::vector<uint8_t> mask = {0, 255, 255, 0,  //
                                     255, 0, 0, 255};
  const std::vector<uint8_t> same = StretchMaskWidth(mask, 4, 2, 4);
  EXPECT_EQ(same, mask);
  const std::vector<uint8_t> wide = StretchMaskWidth(mask, 4, 2, 8);
  ASSERT_EQ(wide.size(), 16u);
  EXPECT_EQ(wide[0], 0);
  EXPECT_EQ(wide[3], 255);  // the ink stays in the middle
  EXPECT_EQ(wide[4], 255);
  EXPECT_EQ(wide[8], 255);  // second row starts with ink
  const std::vector<uint8_t> narrow = StretchMaskWidth(mask, 4, 2, 2);
  ASSERT_EQ(narrow.size(), 4u);
  EXPECT_GT(narrow[0], 0);
  EXPECT_LT(narrow[0], 255);
}

class ConsoleImageTest : public ::testing::Test {
 protected:
  FakeFont font;
  GlyphCache glyphs{4, 3, font.Renderer()};
  ConsoleImage image{5, 3, 4, 3};  // 5 columns × 3 rows of 4 × 3 pixel cells

  uint32_t CellInk(int col, int row) const { return image.PixelAt(col * 4, row * 3 + 1); }
  uint32_t CellPaper(int col, int row) const { return image.PixelAt(col * 4 + 2, row * 3 + 2); }
};

TEST_F(ConsoleImageTest, DrawsRunsInTheirColoursAndClipsAtTheEdges) {
  const uint8_t text[] = {'a', 'b', 'c'};
  image.DrawRun(glyphs, 3, 1, text, 3, kYellow, kBlue);  // 'c' falls off the right edge
  EXPECT_EQ(CellInk(3, 1), PackArgb(kYellow));
  EXPECT_EQ(CellPaper(4, 1), PackArgb(kBlue));
  EXPECT_EQ(CellPaper(2, 1), PackArgb(kBlack));
  EXPECT_EQ(font.renders.count('c'), 0u);

  image.DrawRun(glyphs, -1, 0, text, 3, kWhite, kBlue);  // 'a' falls off the left edge
  EXPECT_EQ(CellInk(0, 0), PackArgb(kWhite));
  EXPECT_EQ(CellPaper(1, 0), PackArgb(kBlue));
  image.DrawRun(glyphs, 0, 3, text, 3, kWhite, kBlue);  // below the last row: nothing
  image.DrawRun(glyphs, 0, -1, text, 3, kWhite, kBlue);
  EXPECT_EQ(CellPaper(0, 2), PackArgb(kBlack));
}

TEST_F(ConsoleImageTest, ScrollingMovesPixelsUpAndFillsTheBottomRow) {
  const uint8_t one[] = {'1'};
  const uint8_t two[] = {'2'};
  image.DrawRun(glyphs, 0, 1, one, 1, kYellow, kBlue);
  image.DrawRun(glyphs, 0, 2, two, 1, kWhite, kBlack);
  image.ScrollUp(kBlue);
  EXPECT_EQ(CellInk(0, 0), PackArgb(kYellow));
  EXPECT_EQ(CellPaper(0, 0), PackArgb(kBlue));
  EXPECT_EQ(CellInk(0, 1), PackArgb(kWhite));
  for (int col = 0; col < 5; ++col) EXPECT_EQ(CellInk(col, 2), PackArgb(kBlue)) << col;
}

TEST_F(ConsoleImageTest, ReportsOnlyTheRowsChangedSinceTheLastUpload) {
  const uint8_t text[] = {'x'};
  image.TakeChangedRows();  // the new image is all changed
  EXPECT_TRUE(image.TakeChangedRows().Empty());
  image.DrawRun(glyphs, 2, 1, text, 1, kWhite, kBlack);
  PixelBand band = image.TakeChangedRows();
  EXPECT_EQ(band.top, 3);
  EXPECT_EQ(band.bottom, 6);
  image.FillCellRow(0, kBlue);
  image.DrawRun(glyphs, 2, 1, text, 1, kWhite, kBlack);
  band = image.TakeChangedRows();
  EXPECT_EQ(band.top, 0);
  EXPECT_EQ(band.bottom, 6);
  image.ScrollUp(kBlack);
  band = image.TakeChangedRows();
  EXPECT_EQ(band.top, 0);
  EXPECT_EQ(band.bottom, 9);
}

TEST_F(ConsoleImageTest, KeepsRowsInOrderAcrossManyScrolls) {
  // Row r gets background shade r; four scrolls wrap the three-row ring.
  const uint8_t blank[] = {' '};
  for (int line = 0; line < 7; ++line) {
    if (line >= 3) image.ScrollUp(kBlack);
    image.DrawRun(glyphs, 0, std::min(line, 2), blank, 1, kWhite, Rgb{uint8_t(line), 0, 0});
  }
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(CellPaper(0, row), PackArgb(Rgb{uint8_t(row + 4), 0, 0})) << row;
  }
  // The stored runs cover any band exactly once, top to bottom, with the same pixels.
  for (const PixelBand band : {PixelBand{0, 9}, PixelBand{2, 7}, PixelBand{4, 5}}) {
    int next = band.top;
    image.ForEachStoredRun(band, [&](int top, int count, const uint32_t* pixels) {
      EXPECT_EQ(top, next);
      for (int y = 0; y < count; ++y) EXPECT_EQ(pixels[y * image.Width()], image.PixelAt(0, top + y));
      next = top + count;
    });
    EXPECT_EQ(next, band.bottom);
  }
}

}  // namespace
}  // namespace placarim::platform::sdl
