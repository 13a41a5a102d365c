// The console's key queue: 64 byte codes, first in first out. An extended key
// takes two entries, 0 and then its code. Each entry keeps the modifiers held
// when its key went down: by the time a reader takes it, the modifier keys
// may long be up again.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace placarim::console {

class KeyQueue {
 public:
  static constexpr int kCapacity = 64;

  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  // Appends one entry; false (the key is lost) when the queue is full.
  bool Push(uint8_t code, platform::Modifiers mods = {}) {
    if (count_ == kCapacity) return false;
    const auto at = static_cast<size_t>((head_ + count_++) % kCapacity);
    items_[at] = code;
    mods_[at] = mods;
    return true;
  }
  // Appends an extended key's two entries, both or neither.
  bool PushPair(uint8_t first, uint8_t second, platform::Modifiers mods = {}) {
    if (count_ > kCapacity - 2) return false;
    Push(first, mods);
    Push(second, mods);
    return true;
  }
  // Takes the oldest entry; 0 when the queue is empty (callers check first).
  uint8_t Pop() {
    if (count_ == 0) return 0;
    const uint8_t code = items_[static_cast<size_t>(head_)];
    last_mods_ = mods_[static_cast<size_t>(head_)];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return code;
  }
  void Clear() { head_ = count_ = 0; }
  // The modifiers of the entry Pop took last.
  platform::Modifiers LastModifiers() const { return last_mods_; }

 private:
  std::array<uint8_t, kCapacity> items_{};
  std::array<platform::Modifiers, kCapacity> mods_{};
  platform::Modifiers last_mods_;
  int head_ = 0;
  int count_ = 0;
};

}  // namespace placarim::console
