// The console's picture kept in memory: ARGB pixels of the whole 80 × 25 cell
// screen. Drawing and scrolling change these pixels; the window only shows a
// copy of them, so scrolling moves pixels instead of redrawing 2,000 cells, and
// only the rows changed since the last upload travel to the screen. The cell
// rows are kept as a ring: scrolling moves the ring's start and clears one
// row, so it costs one row however large the picture is.
#pragma once

#include <algorithm>
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
  // Pixel row y of the picture as shown (0 at the top).
  const uint32_t* Row(int y) const { return &pixels_[StoredRow(y) * static_cast<size_t>(width_)]; }
  uint32_t PixelAt(int x, int y) const { return Row(y)[x]; }
  // Calls `copy(first_row, row_count, pixels)` for runs of rows [top, bottom)
  // that lie together in memory (at most two), rows `width` pixels apart.
  template <typename Copy>
  void ForEachStoredRun(PixelBand band, Copy copy) const {
    int y = band.top;
    while (y < band.bottom) {
      const int cell_row = y / cell_height_;
      const int stored_cell_row = (cell_row + first_row_) % rows_;
      // Rows stay together up to the end of the storage.
      const int run_end = std::min(band.bottom, (cell_row + rows_ - stored_cell_row) * cell_height_);
      copy(y, run_end - y, Row(y));
      y = run_end;
    }
  }

  // The rows changed since the last call.
  PixelBand TakeChangedRows();

 private:
  void MarkChanged(int top, int bottom);
  size_t StoredRow(int y) const {
    return static_cast<size_t>((y / cell_height_ + first_row_) % rows_) * cell_height_ + y % cell_height_;
  }
  uint32_t* CellRowStart(int row) {
    return &pixels_[static_cast<size_t>((row + first_row_) % rows_) * cell_height_ * width_];
  }

  int columns_, rows_, cell_width_, cell_height_, width_, height_;
  std::vector<uint32_t> pixels_;
  int first_row_ = 0;  // the stored cell row shown at the top
  PixelBand changed_;
};

}  // namespace placarim::platform::sdl
