#include "platform/sdl/glyph_cache.h"

#include <algorithm>

namespace placarim::platform::sdl {
namespace {

uint64_t CellKey(uint8_t byte, Rgb fg, Rgb bg) {
  const uint64_t fg24 = PackArgb(fg) & 0xFFFFFFu;
  const uint64_t bg24 = PackArgb(bg) & 0xFFFFFFu;
  return (uint64_t{byte} << 48) | (fg24 << 24) | bg24;
}

uint8_t Mix(uint8_t bg, uint8_t fg, uint8_t alpha) {
  const int value = bg * (255 - alpha) + fg * alpha;
  return static_cast<uint8_t>((value + 127) / 255);
}

}  // namespace

GlyphCache::GlyphCache(int cell_width, int cell_height, MaskRenderer render_mask,
                       size_t max_cells)
    : width_(cell_width),
      height_(cell_height),
      render_mask_(std::move(render_mask)),
      max_cells_(max_cells),
      masks_(256) {}

const std::vector<uint8_t>& GlyphCache::Mask(uint8_t byte) {
  auto& slot = masks_[byte];
  if (!slot) {
    slot = std::make_unique<std::vector<uint8_t>>(static_cast<size_t>(width_) * height_, 0);
    render_mask_(byte, *slot);
    slot->resize(static_cast<size_t>(width_) * height_, 0);  // a renderer may not shrink it
    ++masks_rendered_;
  }
  return *slot;
}

const uint32_t* GlyphCache::Cell(uint8_t byte, Rgb fg, Rgb bg) {
  const uint64_t key = CellKey(byte, fg, bg);
  const uint64_t colours = key & 0xFFFFFFFFFFFFu;
  if (colours != page_colours_) {
    page_colours_ = colours;
    page_.fill(nullptr);
  }
  if (page_[byte]) return page_[byte];
  if (auto found = cells_.find(key); found != cells_.end()) return page_[byte] = found->second.data();
  if (cells_.size() >= max_cells_) {  // colour churn: start over rather than grow
    cells_.clear();
    page_.fill(nullptr);
  }

  const std::vector<uint8_t>& mask = Mask(byte);
  std::vector<uint32_t> pixels(mask.size());
  for (size_t i = 0; i < mask.size(); ++i) {
    const uint8_t a = mask[i];
    pixels[i] = PackArgb(Rgb{Mix(bg.r, fg.r, a), Mix(bg.g, fg.g, a), Mix(bg.b, fg.b, a)});
  }
  ++cells_blended_;
  return page_[byte] = cells_.emplace(key, std::move(pixels)).first->second.data();
}

std::vector<uint8_t> StretchMaskWidth(const std::vector<uint8_t>& mask, int width, int height,
                                      int new_width) {
  if (new_width == width || width <= 0) return mask;
  std::vector<uint8_t> out(static_cast<size_t>(new_width) * height, 0);
  const double scale = static_cast<double>(width) / new_width;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = &mask[static_cast<size_t>(y) * width];
    for (int x = 0; x < new_width; ++x) {
      // Sample at the centre of the new pixel, interpolating between neighbours.
      const double source = (x + 0.5) * scale - 0.5;
      const int left = std::clamp(static_cast<int>(source), 0, width - 1);
      const int right = std::min(left + 1, width - 1);
      const double t = std::clamp(source - left, 0.0, 1.0);
      const double value = row[left] * (1.0 - t) + row[right] * t;
      out[static_cast<size_t>(y) * new_width + x] = static_cast<uint8_t>(value + 0.5);
    }
  }
  return out;
}

}  // namespace placarim::platform::sdl
