// Ready-made character cells for the console image. The font is asked once per
// byte for the glyph's coverage mask; each (byte, foreground, background)
// combination is then blended once into a cell of ARGB pixels that drawing
// only copies, so a full repaint of 2,000 cells renders no glyph afresh.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"

namespace placarim::platform::sdl {

// Opaque ARGB8888 pixel, the console image's format.
constexpr uint32_t PackArgb(Rgb c) {
  return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

class GlyphCache {
 public:
  // Fills `mask` (width × height coverage bytes, row-major, 255 = ink) with the
  // glyph of a Windows-1252 byte; it arrives zeroed.
  using MaskRenderer = std::function<void(uint8_t byte, std::vector<uint8_t>& mask)>;

  GlyphCache(int cell_width, int cell_height, MaskRenderer render_mask,
             size_t max_cells = 8192);

  // width × height pixels of the byte in the given colours; valid until the
  // next call (the cache may be emptied when it grows past its limit).
  const uint32_t* Cell(uint8_t byte, Rgb fg, Rgb bg);

  int Width() const { return width_; }
  int Height() const { return height_; }
  size_t MasksRendered() const { return masks_rendered_; }
  size_t CellsBlended() const { return cells_blended_; }

 private:
  const std::vector<uint8_t>& Mask(uint8_t byte);

  int width_, height_;
  MaskRenderer render_mask_;
  size_t max_cells_;
  std::vector<std::unique_ptr<std::vector<uint8_t>>> masks_;  // per byte, rendered on first use
  std::unordered_map<uint64_t, std::vector<uint32_t>> cells_;
  // The cells of the colour pair asked for last, by byte: runs share their
  // colours, so most lookups end here without hashing.
  uint64_t page_colours_ = ~uint64_t{0};
  std::array<const uint32_t*, 256> page_{};
  size_t masks_rendered_ = 0;
  size_t cells_blended_ = 0;
};

// Linear resampling of a coverage mask to another width (the configured
// character width may differ from the font's own advance).
std::vector<uint8_t> StretchMaskWidth(const std::vector<uint8_t>& mask, int width, int height,
                                      int new_width);

}  // namespace placarim::platform::sdl
