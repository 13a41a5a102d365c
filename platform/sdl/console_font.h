// The console font: the configured face found through fontconfig (falling back
// to a monospace face, then to any font, then to a built-in bitmap font, so a
// window always opens), opened with SDL_ttf at the
// pixel height asked for, measured into cell metrics, and turned into coverage
// masks one Windows-1252 byte at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct _TTF_Font;

namespace placarim::platform::sdl {

struct FontFile {
  std::string path;
  int index = 0;
  bool bold = false;  // the file's own weight is bold or heavier
};

// The file of `face` at the Windows `weight` (400 normal, 700 bold); when no
// installed family has that name, DejaVu Sans Mono, then any monospace face.
std::optional<FontFile> FindFontFile(const std::string& face, int weight);

// Every file worth trying, best first: those FindFontFile would give, then
// every font fontconfig has, the closest to a monospace face first.
std::vector<FontFile> FontFilesToTry(const std::string& face, int weight);

class ConsoleFont {
 public:
  // The first font file that opens; the built-in bitmap font when none does.
  static std::unique_ptr<ConsoleFont> Open(const WindowSettings& settings);
  ~ConsoleFont();
  ConsoleFont(const ConsoleFont&) = delete;
  ConsoleFont& operator=(const ConsoleFont&) = delete;

  const CellMetrics& Metrics() const { return metrics_; }
  // The glyph of `byte` as a cell-sized coverage mask (see GlyphCache).
  void RenderMask(uint8_t byte, std::vector<uint8_t>& mask) const;

 private:
  ConsoleFont(_TTF_Font* font, int advance, CellMetrics metrics);

  _TTF_Font* font_;  // null: the built-in bitmap font
  int advance_;  // the font's own character width, before stretching to the cell
  CellMetrics metrics_;
};

}  // namespace placarim::platform::sdl
