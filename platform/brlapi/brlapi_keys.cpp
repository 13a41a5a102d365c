#include "platform/brlapi/brlapi_keys.h"

#include <brlapi.h>

namespace placarim::platform::brlapi {
namespace {

using Kind = BrailleKey::Kind;

std::optional<BrailleKey> CommandKey(uint64_t code) {
  const uint64_t block = code & BRLAPI_KEY_CMD_BLK_MASK;
  const int argument = static_cast<int>(code & BRLAPI_KEY_CMD_ARG_MASK);
  if (block == BRLAPI_KEY_CMD_ROUTE) return BrailleKey{Kind::Routing, argument};
  // A chord with the space bar (dot C) alone is a space.
  if (block == BRLAPI_KEY_CMD_PASSDOTS) return BrailleKey{Kind::Dots, argument & 0xFF};
  switch (code & BRLAPI_KEY_CODE_MASK) {
    case BRLAPI_KEY_CMD_FWINLT: return BrailleKey{Kind::PanLeft, 0};
    case BRLAPI_KEY_CMD_FWINRT: return BrailleKey{Kind::PanRight, 0};
    default: return std::nullopt;
  }
}

std::optional<BrailleKey> SymbolKey(uint64_t code, const CharCells* cells) {
  const uint64_t symbol = code & BRLAPI_KEY_CODE_MASK;
  switch (symbol) {
    case BRLAPI_KEY_SYM_LINEFEED: return BrailleKey{Kind::Enter, 0};
    case BRLAPI_KEY_SYM_ESCAPE: return BrailleKey{Kind::Escape, 0};
    case BRLAPI_KEY_SYM_BACKSPACE: return BrailleKey{Kind::Backspace, 0};
    default: break;
  }
  // Latin-1 characters come plain or flagged as Unicode; both agree with
  // Windows-1252 outside 0x80 to 0x9F, which are control codes here.
  const uint64_t character = symbol & (BRLAPI_KEY_SYM_UNICODE - 1);
  if ((symbol != character && (symbol & ~(BRLAPI_KEY_SYM_UNICODE - 1)) != BRLAPI_KEY_SYM_UNICODE) ||
      character > 0xFF || character < 0x20 || (character >= 0x7F && character < 0xA0)) {
    return std::nullopt;
  }
  if (code & (BRLAPI_KEY_FLG_CONTROL | BRLAPI_KEY_FLG_META)) return std::nullopt;
  if (cells != nullptr && (character == ' ' || (*cells)[character] != 0)) {
    return BrailleKey{Kind::Dots, (*cells)[character]};
  }
  return BrailleKey{Kind::Char, static_cast<int>(character)};
}

}  // namespace

std::optional<BrailleKey> KeyOfCode(uint64_t code, const CharCells* cells) {
  switch (code & BRLAPI_KEY_TYPE_MASK) {
    case BRLAPI_KEY_TYPE_CMD: return CommandKey(code);
    case BRLAPI_KEY_TYPE_SYM: return SymbolKey(code, cells);
    default: return std::nullopt;
  }
}

}  // namespace placarim::platform::brlapi
