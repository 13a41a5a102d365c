// The daemon's key codes as the program takes them.
#include "platform/brlapi/brlapi_keys.h"

#include <brlapi.h>
#include <gtest/gtest.h>

namespace placarim::platform::brlapi {
namespace {

using Kind = BrailleKey::Kind;

TEST(BrlapiKeys, CodesBecomeTheDisplaysKeys) {
  CharCells cells{};
  cells['#'] = 0x3C;  // the daemon's table: # is dots 3456, a is dot 1
  cells['a'] = 0x01;
  const struct {
    uint64_t code;
    bool with_table;
    std::optional<BrailleKey> key;
  } cases[] = {
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_ROUTE | 7, true, BrailleKey{Kind::Routing, 7}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 0x3C, true, BrailleKey{Kind::Dots, 0x3C}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOTC, true, BrailleKey{Kind::Dots, 0}},  // space bar
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT, true, BrailleKey{Kind::PanLeft, 0}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT, true, BrailleKey{Kind::PanRight, 0}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP, true, std::nullopt},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_LINEFEED, true, BrailleKey{Kind::Enter, 0}},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_ESCAPE, true, BrailleKey{Kind::Escape, 0}},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_BACKSPACE, true, BrailleKey{Kind::Backspace, 0}},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_TAB, true, std::nullopt},
      // Characters the daemon made of typed dots: back to the dots with its
      // table, as they come without one.
      {BRLAPI_KEY_TYPE_SYM | '#', true, BrailleKey{Kind::Dots, 0x3C}},
      {BRLAPI_KEY_TYPE_SYM | 'a', false, BrailleKey{Kind::Char, 'a'}},
      {BRLAPI_KEY_TYPE_SYM | ' ', true, BrailleKey{Kind::Dots, 0}},
      {BRLAPI_KEY_TYPE_SYM | 'z', true, BrailleKey{Kind::Char, 'z'}},  // not in the table
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UNICODE | 0xE7, false, BrailleKey{Kind::Char, 0xE7}},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UNICODE | 0x263A, false, std::nullopt},  // beyond Windows-1252
      {BRLAPI_KEY_TYPE_SYM | 0x85, false, std::nullopt},                               // a C1 control
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_FLG_CONTROL | 'a', false, std::nullopt},
      {0x40000000, true, std::nullopt},  // another type
  };
  for (const auto& c : cases) {
    const auto key = KeyOfCode(c.code, c.with_table ? &cells : nullptr);
    EXPECT_EQ(key.has_value(), c.key.has_value()) << std::hex << c.code;
    if (key && c.key) EXPECT_EQ(*key, *c.key) << std::hex << c.code;
  }
}

}  // namespace
}  // namespace placarim::platform::brlapi
