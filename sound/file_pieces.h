// How a wave file's data chunk is cut into pieces for the block queue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "sound/riff_walker.h"

namespace placarim::sound {

// The size of the next piece of a data chunk with `remaining` bytes left,
// after a piece of `previous` bytes (kBlockSize before the first). Pieces are
// full blocks, except that a remainder just above one block is split as
// 65,278 + (257..511) so the last block never needs padding to 256 bytes.
size_t NextFilePiece(uint64_t remaining, size_t previous);

// Reads the data chunk from `source` piece by piece into `buffer` (at least
// kBlockSize bytes) and hands each piece to `play`.
// Result: 0 when every piece was played or `stop` asked to end after a piece;
// -1 when the source ran out before the chunk's end (the bytes that were
// there are played first); the first non-zero result of `play` otherwise.
int StreamFilePieces(WaveSource& source, uint64_t data_length, std::span<uint8_t> buffer,
                     const std::function<int(std::span<const uint8_t>)>& play,
                     const std::function<bool()>& stop);

}  // namespace placarim::sound
