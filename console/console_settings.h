// The console's settings, read once when its window is created: section VIDEO
// of FALDEK.INI (colours, scrolling, magnifier, font, window size) and the
// braille mode of section BRAILLE.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace placarim::console {

// Logical colour (0 to 15) -> palette index; an index outside 0 to 15 shows black.
using ColorTable = std::array<int, 16>;

struct ConsoleSettings {
  ColorTable color_table{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  bool fixed_colors = false;  // CORESFIXAS: colour changes refused
  bool slow_scroll = false;   // LENTO: scroll by moving pixels in place
  uint8_t attribute = 0x0F;   // from CORFUNDO and CORLETRA
  int magnifier = 2;          // AMPLIF
  std::string font_face = "Lucida Console";
  int char_width = 13;
  int char_height = 28;
  int weight = 700;
  bool maximized = false;  // CANTOTELA not yes
  int braille_mode = 0;    // BRAILLE/MODO, 0 to 3 (3 means 1)
  bool computer_braille = false;  // BRAILLE/TABELA: the display daemon's own text table
};

// BRAILLE/TABELA: "BRLTTY" (any case) hands text to the braille display's
// daemon to write with its own table (computer braille); anything else, or no
// value, writes the school's literary braille with its maths signs.
bool ComputerBrailleChosen(const std::optional<std::string>& tabela);

// Looks a value up by section and key; nothing when absent.
using SettingLookup = std::function<std::optional<std::string>(std::string_view, std::string_view)>;

ConsoleSettings ReadConsoleSettings(const SettingLookup& lookup, platform::WorkArea work_area);

// TABCORES: up to 16 decimal items separated by commas; parsing stops at the
// first bad item, which takes the value of its leading digits.
ColorTable ParseColorTable(std::string_view value);

// The RGB colour shown for logical colour `color` (0 to 15).
platform::Rgb ColorOf(const ColorTable& table, int color);

}  // namespace placarim::console
