#include "sound/file_pieces.h"

#include <algorithm>

#include "sound/wave_format.h"

namespace placarim::sound {
namespace {
constexpr size_t kShortenedPiece = 65278;
constexpr uint64_t kSplitLimit = 65790;  // kShortenedPiece + 2 * 256
}  // namespace

size_t NextFilePiece(uint64_t remaining, size_t previous) {
  if (remaining > kBlockSize && remaining < kSplitLimit) return kShortenedPiece;
  if (remaining <= previous && remaining <= kBlockSize) return static_cast<size_t>(remaining);
  return static_cast<size_t>(std::min<uint64_t>(remaining, kBlockSize));
}

int StreamFilePieces(WaveSource& source, uint64_t data_length, std::span<uint8_t> buffer,
                     const std::function<int(std::span<const uint8_t>)>& play,
                     const std::function<bool()>& stop) {
  uint64_t remaining = data_length;
  size_t previous = kBlockSize;
  while (remaining > 0) {
    const size_t piece = std::min(NextFilePiece(remaining, previous), buffer.size());
    const size_t got = ReadFully(source, buffer.data(), piece);
    if (got == 0) return -1;
    const int result = play(buffer.first(got));
    if (result != 0) return result;
    if (stop()) return 0;
    remaining -= got;
    previous = piece;
  }
  return 0;
}

}  // namespace placarim::sound
