// The console's sixteen logical colours and how an attribute byte holds them:
// text colour in the low four bits, background in the high four. Backgrounds
// 8 to 15 are colours too: there is no blink bit.
#pragma once

#include <cstdint>

namespace placarim::console::colour {

inline constexpr int kBlack = 0;
inline constexpr int kBlue = 1;
inline constexpr int kGreen = 2;
inline constexpr int kCyan = 3;
inline constexpr int kRed = 4;
inline constexpr int kMagenta = 5;
inline constexpr int kBrown = 6;
inline constexpr int kLightGrey = 7;
inline constexpr int kDarkGrey = 8;
inline constexpr int kLightBlue = 9;
inline constexpr int kLightGreen = 10;
inline constexpr int kLightCyan = 11;
inline constexpr int kLightRed = 12;
inline constexpr int kLightMagenta = 13;
inline constexpr int kYellow = 14;
inline constexpr int kWhite = 15;

inline constexpr uint8_t kTextBits = 0x0F;
inline constexpr uint8_t kBackgroundBits = 0xF0;

// The attribute with the given text colour and background.
constexpr uint8_t Attribute(int text, int background) {
  return static_cast<uint8_t>((text & kTextBits) | ((background & 0x0F) << 4));
}

}  // namespace placarim::console::colour
