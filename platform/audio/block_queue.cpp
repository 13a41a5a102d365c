#include "platform/audio/block_queue.h"

#include <algorithm>
#include <cstring>

namespace placarim::platform::audio {

void BlockQueue::Add(int id, const uint8_t* data, size_t length) {
  blocks_.push_back(Block{id, data, length, 0});
}

size_t BlockQueue::Fill(uint8_t* out, size_t size, uint8_t silence, std::vector<int>& finished) {
  size_t filled = 0;
  while (!blocks_.empty()) {
    Block& block = blocks_.front();
    const size_t piece = std::min(size - filled, block.length - block.played);
    if (piece > 0) std::memcpy(out + filled, block.data + block.played, piece);
    filled += piece;
    block.played += piece;
    if (block.played < block.length) break;  // `out` is full
    finished.push_back(block.id);
    blocks_.pop_front();
  }
  std::memset(out + filled, silence, size - filled);
  return filled;
}

std::vector<int> BlockQueue::TakeAll() {
  std::vector<int> ids;
  ids.reserve(blocks_.size());
  for (const Block& block : blocks_) ids.push_back(block.id);
  blocks_.clear();
  return ids;
}

bool BlockQueue::Contains(int id) const {
  return std::any_of(blocks_.begin(), blocks_.end(), [id](const Block& b) { return b.id == id; });
}

}  // namespace placarim::platform::audio
