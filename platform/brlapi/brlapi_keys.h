// What a key code from the braille daemon means to the program. Pure: the
// daemon's codes are outside input, so this is fuzzed and table-tested.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/braille_display.h"

namespace placarim::platform::brlapi {

// The daemon's own text table, character -> cell, for the characters 0 to 255
// (0 where the table has none): a typed chord the daemon has already turned
// into a character is turned back into its cell, so that the program reads
// it with the braille the child learnt.
using CharCells = std::array<uint8_t, 256>;

// The key, or nothing for codes the program has no use for. `cells` is null
// when characters are to be taken as they come (computer braille).
std::optional<BrailleKey> KeyOfCode(uint64_t code, const CharCells* cells);

}  // namespace placarim::platform::brlapi
