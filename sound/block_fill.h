// Preparing one block for the device.
#pragma once

#include <cstddef>
#include <span>

#include "platform/platform.h"

namespace placarim::sound {

// `block` (kBlockSize bytes) holds `count` bytes of sound in `format`. Pads a
// short block with silence up to 256 bytes and, for mono 8-bit sound that does
// not fill the block, sets the last sound byte to the silence level so the
// block ends without a click. Returns the length to hand to the device.
size_t FinishBlock(std::span<uint8_t> block, size_t count, const platform::AudioFormat& format);

// The text written when the device cannot release a finished block; empty for
// codes without one.
const char* UnprepareErrorText(int code);

}  // namespace placarim::sound
