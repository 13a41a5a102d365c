// The built-in bitmap font, drawn without a display: every printable byte
// shows, letters and digits are told apart, and an accented letter is its
// base letter with a mark added.
#include "platform/sdl/builtin_font.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace placarim::platform::sdl {
namespace {

int Dots(const std::vector<uint8_t>& mask) {
  int n = 0;
  for (uint8_t m : mask) n += m != 0;
  return n;
}

TEST(BuiltInFont, EveryPrintableByteShowsAndBlanksStayBlank) {
  for (const CellMetrics cell : {BuiltInFontMetrics(0, 0), BuiltInFontMetrics(13, 28), BuiltInFontMetrics(7, 9)}) {
    std::vector<uint8_t> mask;
    for (int byte = 32; byte < 256; ++byte) {
      if (byte == 127 || (byte >= 128 && byte < 0xA1)) continue;  // unused and control codes
      RenderBuiltInGlyph(static_cast<uint8_t>(byte), cell, mask);
      ASSERT_EQ(mask.size(), static_cast<size_t>(cell.width) * cell.height);
      if (byte == 32) {
        EXPECT_EQ(Dots(mask), 0);
      } else {
        EXPECT_GT(Dots(mask), 0) << byte << " in " << cell.width << "x" << cell.height;
      }
    }
  }
}

TEST(BuiltInFont, LettersAndDigitsAreToldApart) {
  const CellMetrics cell = BuiltInFontMetrics(12, 22);
  std::map<std::vector<uint8_t>, char> seen;
  for (const char* range : {"AZ", "az", "09"}) {
    for (char c = range[0]; c <= range[1]; ++c) {
      std::vector<uint8_t> mask;
      RenderBuiltInGlyph(static_cast<uint8_t>(c), cell, mask);
      const auto [at, fresh] = seen.emplace(mask, c);
      EXPECT_TRUE(fresh) << c << " looks like " << at->second;
    }
  }
}

TEST(BuiltInFont, AccentedLettersAreTheirBaseWithAMark) {
  const CellMetrics cell = BuiltInFontMetrics(12, 22);
  const std::pair<uint8_t, char> letters[] = {{0xE1, 'a'}, {0xE3, 'a'}, {0xE0, 'a'}, {0xE2, 'a'}, {0xE7, 'c'},
                                              {0xE9, 'e'}, {0xEA, 'e'}, {0xF3, 'o'}, {0xF4, 'o'}, {0xF5, 'o'},
                                              {0xFA, 'u'}, {0xFC, 'u'}, {0xC1, 'A'}, {0xC3, 'A'}, {0xC7, 'C'},
                                              {0xC9, 'E'}, {0xD5, 'O'}, {0xDA, 'U'}, {0xD1, 'N'}, {0xFF, 'y'}};
  for (const auto& [accented, base] : letters) {
    std::vector<uint8_t> with, without;
    RenderBuiltInGlyph(accented, cell, with);
    RenderBuiltInGlyph(static_cast<uint8_t>(base), cell, without);
    EXPECT_GT(Dots(with), Dots(without)) << int{accented};
    for (size_t i = 0; i < with.size(); ++i) {
      if (without[i] != 0 && with[i] == 0) {
        ADD_FAILURE() << int{accented} << " lost a dot of " << base;
        break;
      }
    }
  }
}

}  // namespace
}  // namespace placarim::platform::sdl
