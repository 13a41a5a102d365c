#include "platform/sdl/console_image.h"

#include <algorithm>
#include <cstring>

namespace placarim::platform::sdl {
namespace {

// Copies one pixel row of a cell. Cells are a dozen or so pixels wide: fixed
// 16-byte moves the compiler inlines beat a library call per row.
inline void CopyPixels(uint32_t* out, const uint32_t* in, int count) {
  int x = 0;
  for (; x + 4 <= count; x += 4) std::memcpy(out + x, in + x, 16);
  for (; x < count; ++x) out[x] = in[x];
}

}  // namespace

ConsoleImage::ConsoleImage(int columns, int rows, int cell_width, int cell_height)
    : columns_(columns),
      rows_(rows),
      cell_width_(cell_width),
      cell_height_(cell_height),
      width_(columns * cell_width),
      height_(rows * cell_height),
      pixels_(static_cast<size_t>(width_) * height_, PackArgb(Rgb{})),
      changed_{0, height_} {}

void ConsoleImage::MarkChanged(int top, int bottom) {
  if (changed_.Empty()) {
    changed_ = {top, bottom};
  } else {
    changed_.top = std::min(changed_.top, top);
    changed_.bottom = std::max(changed_.bottom, bottom);
  }
}

void ConsoleImage::DrawRun(GlyphCache& glyphs, int col, int row, const uint8_t* text, int count,
                           Rgb fg, Rgb bg) {
  if (row < 0 || row >= rows_ || count <= 0) return;
  const int first = std::max(col, 0);
  const int end = std::min(col + count, columns_);
  if (first >= end) return;
  uint32_t* row_start = CellRowStart(row);
  for (int c = first; c < end; ++c) {
    const uint32_t* cell = glyphs.Cell(text[c - col], fg, bg);
    uint32_t* target = row_start + static_cast<size_t>(c) * cell_width_;
    for (int y = 0; y < cell_height_; ++y) {
      CopyPixels(target + static_cast<size_t>(y) * width_, cell + static_cast<size_t>(y) * cell_width_,
                 cell_width_);
    }
  }
  MarkChanged(row * cell_height_, (row + 1) * cell_height_);
}

void ConsoleImage::ScrollUp(Rgb fill) {
  first_row_ = (first_row_ + 1) % rows_;
  FillCellRow(rows_ - 1, fill);
  MarkChanged(0, height_);
}

void ConsoleImage::FillCellRow(int row, Rgb fill) {
  if (row < 0 || row >= rows_) return;
  uint32_t* begin = CellRowStart(row);
  std::fill(begin, begin + static_cast<size_t>(cell_height_) * width_, PackArgb(fill));
  MarkChanged(row * cell_height_, (row + 1) * cell_height_);
}

PixelBand ConsoleImage::TakeChangedRows() {
  const PixelBand band = changed_;
  changed_ = {};
  return band;
}

}  // namespace placarim::platform::sdl
