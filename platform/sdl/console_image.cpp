#include "platform/sdl/console_image.h"

#include <algorithm>
#include <cstring>

namespace placarim::platform::sdl {

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
  const size_t cell_row_bytes = static_cast<size_t>(cell_width_) * sizeof(uint32_t);
  for (int c = first; c < end; ++c) {
    const uint32_t* cell = glyphs.Cell(text[c - col], fg, bg);
    uint32_t* target = &pixels_[static_cast<size_t>(row) * cell_height_ * width_ +
                                static_cast<size_t>(c) * cell_width_];
    for (int y = 0; y < cell_height_; ++y) {
      std::memcpy(target + static_cast<size_t>(y) * width_,
                  cell + static_cast<size_t>(y) * cell_width_, cell_row_bytes);
    }
  }
  MarkChanged(row * cell_height_, (row + 1) * cell_height_);
}

void ConsoleImage::ScrollUp(Rgb fill) {
  const size_t row_pixels = static_cast<size_t>(width_) * cell_height_;
  std::memmove(pixels_.data(), pixels_.data() + row_pixels,
               (pixels_.size() - row_pixels) * sizeof(uint32_t));
  FillCellRow(rows_ - 1, fill);
  MarkChanged(0, height_);
}

void ConsoleImage::FillCellRow(int row, Rgb fill) {
  if (row < 0 || row >= rows_) return;
  const auto begin = pixels_.begin() + static_cast<ptrdiff_t>(row) * cell_height_ * width_;
  std::fill(begin, begin + static_cast<ptrdiff_t>(cell_height_) * width_, PackArgb(fill));
  MarkChanged(row * cell_height_, (row + 1) * cell_height_);
}

PixelBand ConsoleImage::TakeChangedRows() {
  const PixelBand band = changed_;
  changed_ = {};
  return band;
}

}  // namespace placarim::platform::sdl
