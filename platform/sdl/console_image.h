// The console's picture kept in memory: ARGB pixels of the whole 80 × 25 cell
// screen. Drawing and scrolling change these pixels; the window only shows a
// copy of them, so scrolling moves pixels instead of redrawing 2,000 cells, and
// only the rows changed since the last upload travel to the screen.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/glyph_cache.h"

namespace placarim::platform::sdl {

struct PixelBand {  // rows [top, bottom) of the image; empty when top >= bottom
  int top = 0;
  int bottom = 0;
  bool Empty() const { return top >= bottom; }
};

class ConsoleImage {
 public:
  ConsoleImage(int columns, int rows, int cell_width, int cell_height);

  // Draws Windows-1252 bytes from cell (col, row) on; cells past the right
  // edge or outside the screen are not drawn.
  void DrawRun(GlyphCache& glyphs, int col, int row, const uint8_t* text, int count, Rgb fg,
               Rgb bg);
  // Moves the picture up by one cell row; the freed bottom row takes `fill`.
  void ScrollUp(Rgb fill);
  void FillCellRow(int row, Rgb fill);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const uint32_t* Pixels() const { return pixels_.data(); }
  uint32_t PixelAt(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

  // The rows changed since the last call.
  PixelBand TakeChangedRows();

 private:
  void MarkChanged(int top, int bottom);

  int columns_, rows_, cell_width_, cell_height_, width_, height_;
  std::vector<uint32_t> pixels_;
  PixelBand changed_;
};

}  // namespace placarim::platform::sdl
