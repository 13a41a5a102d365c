// Windows virtual-key codes: the key rules of the console are written for them,
// so every platform translates its key events into these.
#pragma once

namespace placarim::platform::vk {

constexpr int kCancel = 0x03;  // Ctrl+Break
constexpr int kBack = 0x08;
constexpr int kTab = 0x09;
constexpr int kReturn = 0x0D;
constexpr int kShift = 0x10;
constexpr int kControl = 0x11;
constexpr int kMenu = 0x12;  // Alt
constexpr int kPause = 0x13;
constexpr int kEscape = 0x1B;
constexpr int kSpace = 0x20;
constexpr int kPrior = 0x21;  // Page Up
constexpr int kNext = 0x22;   // Page Down
constexpr int kEnd = 0x23;
constexpr int kHome = 0x24;
constexpr int kLeft = 0x25;
constexpr int kUp = 0x26;
constexpr int kRight = 0x27;
constexpr int kDown = 0x28;
constexpr int kInsert = 0x2D;
constexpr int kDelete = 0x2E;
constexpr int k0 = 0x30;  // '0'..'9' are 0x30..0x39
constexpr int kA = 0x41;  // 'A'..'Z' are 0x41..0x5A
constexpr int kF1 = 0x70;  // F1..F12 are 0x70..0x7B
constexpr int kF10 = 0x79;
constexpr int kF11 = 0x7A;
constexpr int kF12 = 0x7B;

// Windows virtual keys the console never names but that still reach it (the
// braille rules need to tell letters from every other key).
constexpr int kClear = 0x0C;
constexpr int kCapital = 0x14;
constexpr int kSnapshot = 0x2C;
constexpr int kLeftWin = 0x5B;
constexpr int kRightWin = 0x5C;
constexpr int kApps = 0x5D;
constexpr int kNumpad0 = 0x60;
constexpr int kMultiply = 0x6A;
constexpr int kAdd = 0x6B;
constexpr int kSubtract = 0x6D;
constexpr int kDecimal = 0x6E;
constexpr int kDivide = 0x6F;
constexpr int kF13 = 0x7C;
constexpr int kNumLock = 0x90;
constexpr int kScroll = 0x91;
constexpr int kOem1 = 0xBA;  // ;: on US keyboards, ç on Brazilian ones
constexpr int kOemPlus = 0xBB;
constexpr int kOemComma = 0xBC;
constexpr int kOemMinus = 0xBD;
constexpr int kOemPeriod = 0xBE;
constexpr int kOem2 = 0xBF;
constexpr int kOem3 = 0xC0;
constexpr int kAbntC1 = 0xC1;
constexpr int kOem4 = 0xDB;
constexpr int kOem5 = 0xDC;
constexpr int kOem6 = 0xDD;
constexpr int kOem7 = 0xDE;
constexpr int kOem102 = 0xE2;

}  // namespace placarim::platform::vk
