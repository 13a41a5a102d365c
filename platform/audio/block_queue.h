// The blocks written to the audio device and not yet played, in order. The
// audio thread copies bytes out of them; the bytes belong to the writer, who
// keeps them valid until the block is reported done. Not locked: the device
// guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace placarim::platform::audio {

class BlockQueue {
 public:
  void Add(int id, const uint8_t* data, size_t length);
  // Fills `out` with the next `size` bytes of the queued blocks, then with
  // `silence`; appends the id of every block whose last byte was taken.
  // Returns how many bytes came from blocks.
  size_t Fill(uint8_t* out, size_t size, uint8_t silence, std::vector<int>& finished);
  // Empties the queue; the ids of the blocks dropped, oldest first.
  std::vector<int> TakeAll();
  bool Contains(int id) const;
  bool Empty() const { return blocks_.empty(); }

 private:
  struct Block {
    int id;
    const uint8_t* data;
    size_t length;
    size_t played;
  };
  std::deque<Block> blocks_;
};

}  // namespace placarim::platform::audio
