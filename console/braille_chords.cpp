#include "console/braille_chords.h"

#include "lang/cp1252.h"
#include "platform/vk.h"

namespace placarim::console {
namespace {

namespace vk = platform::vk;

// Cells by their six dot bits (dot 1 = 1 ... dot 6 = 32), Windows-1252.
constexpr uint8_t kCells[64] = {
    ' ',  'a',  ',',  'b',  '\'', 'k',  ';',  'l',   // 0 to 7
    '^',  'c',  'i',  'f',  0xED, 'm',  's',  'p',   // 8 to 15: í
    '~',  'e',  ':',  'h',  '*',  'o',  '!',  'r',   // 16 to 23
    0xAC, 'd',  'j',  'g',  0xE3, 'n',  't',  'q',   // 24 to 31: ¬ ã
    0xFD, 0xE2, '?',  0xEA, '-',  'u',  '"',  'v',   // 32 to 39: ý â ê
    '{',  0xEE, 0xF5, 0xE0, 0xF3, 'x',  0xE8, 0xE7,  // 40 to 47: î õ à ó è ç
    '$',  0xFB, 0xFF, 0xFC, '}',  'z',  '=',  0xE1,  // 48 to 55: û ÿ ü á
    '_',  0xF4, 'w',  0xEF, '#',  'y',  0xFA, 0xE9,  // 56 to 63: ô ï ú é
};

constexpr uint8_t kSpaceBit = 64;

bool IsLetterKey(int k) { return k >= vk::kA && k < vk::kA + 26; }

}  // namespace

uint8_t BrailleChords::Cell(int dots) { return kCells[dots & 63]; }

uint8_t BrailleChords::DotBit(int k) {
  switch (k) {
    case vk::kA + ('F' - 'A'): return 1;
    case vk::kA + ('D' - 'A'): return 2;
    case vk::kA + ('S' - 'A'): return 4;
    case vk::kA + ('J' - 'A'): return 8;
    case vk::kA + ('K' - 'A'): return 16;
    case vk::kA + ('L' - 'A'): return 32;
    case vk::kSpace: return kSpaceBit;
    default: return 0;
  }
}

void BrailleChords::SetMode(int mode) {
  if (mode == 0) chord_ = held_ = 0;
  if (mode != mode_) EndSigns();
  mode_ = mode;
}

void BrailleChords::PressDot(int k) {
  chord_ |= DotBit(k);
  held_ |= DotBit(k);
}

BrailleChords::Release BrailleChords::KeyUp(int k, bool ctrl) {
  if (ctrl || (k != vk::kSpace && !IsLetterKey(k))) {
    EndSigns();
    return {};
  }
  held_ &= static_cast<uint8_t>(~DotBit(k));
  if (held_ != 0) return {true, std::nullopt};  // the chord is still being formed
  const uint8_t c = Translate();
  chord_ = 0;
  if (c == kNoCharacter) return {true, std::nullopt};
  return {true, c};
}

uint8_t BrailleChords::Translate() {
  if (chord_ >= kSpaceBit) {
    EndSigns();
    if (chord_ == kSpaceBit) return ' ';
    return Cell(chord_ & 63) & 31;  // space with dots: a control character
  }
  const uint8_t c = Cell(chord_);
  return mode_ == 2 ? ApplyMode2(c) : c;
}

uint8_t BrailleChords::ApplyMode2(uint8_t c) {
  if (number_) {
    if (c == '\'') {
      c = '.';
    } else if (c >= 'a' && c <= 'i') {
      c = static_cast<uint8_t>('1' + (c - 'a'));
    } else if (c == 'j') {
      c = '0';
    } else if (c == '~') {
      number_ = false;
    }
  }
  if ((capital_ || capital_lock_) && c >= 'a' && c <= 'z') c = lang::Byte(lang::UpperCase(static_cast<char>(c)));
  if (c == kNumberSign) {
    number_ = true;
    return kNoCharacter;
  }
  if (c == kCapitalSign) {
    if (capital_) capital_lock_ = true;
    capital_ = true;
    return kNoCharacter;
  }
  capital_ = false;
  return c;
}

}  // namespace placarim::console
