// Feeds arbitrary bytes, as a file on disk, through the path a wave file takes:
// the header walk, the pieces of the data chunk, condensing and block filling.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound/block_fill.h"
#include "sound/condense.h"
#include "sound/file_pieces.h"
#include "sound/riff_walker.h"
#include "sound/wave_format.h"
#include "sound/riff_walker.h"

using namespace placarim::sound;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("wave", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
    std::abort();
  }
  FileSource file;
  if (!file.Open("/proc/self/fd/" + std::to_string(fd))) std::abort();
  const WaveHeader header = ReadWaveHeader(file);
  if (!header.ok()) return 0;
  if (!IsPlayableFormat(header.format)) std::abort();

  std::vector<uint8_t> buffer(kBlockSize);
  std::vector<uint8_t> block(kBlockSize);
  uint64_t played = 0;
  const int result = StreamFilePieces(
      file, header.data_length, buffer,
      [&](std::span<const uint8_t> piece) {
        if (piece.empty() || piece.size() > kBlockSize) std::abort();
        played += piece.size();
        std::copy(piece.begin(), piece.end(), block.begin());
        size_t count = piece.size();
        if (header.format.channels == 1) {
          count = CondenseMono({block.data(), count}, header.format.bits, header.format.rate);
        }
        if (FinishBlock(block, count, header.format) < kMinBlockLength) std::abort();
        return 0;
      },
      [] { return false; });
  if (played > size || played > header.data_length) std::abort();
  if (result != 0 && result != -1) std::abort();
  return 0;
}
