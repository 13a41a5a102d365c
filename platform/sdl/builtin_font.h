// The console's last-resort font: a small bitmap font of this project's own,
// drawn when fontconfig finds no font SDL_ttf can open, so that the window
// (and with it the keyboard) is always there. Glyphs are 5 by 7 dots in a
// box of 6 by 11 (two rows above for the accents of capitals, two below for
// descenders), scaled to the cell; the accented letters of Windows-1252 are a
// base letter with its mark, and the few other symbols show as a hollow box.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace placarim::platform::sdl {

// The cell of the built-in font at the pixel size asked for (0: a default).
CellMetrics BuiltInFontMetrics(int char_width, int char_height);

// The glyph of a Windows-1252 byte as a cell-sized coverage mask (0 or 255);
// blank bytes give an empty mask.
void RenderBuiltInGlyph(uint8_t byte, const CellMetrics& cell, std::vector<uint8_t>& mask);

}  // namespace placarim::platform::sdl
