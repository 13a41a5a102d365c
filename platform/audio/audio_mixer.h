// What the audio device plays, mixed: the wave-out stream's queue of blocks
// and the tone slots beside it, all in the device's one format. Whatever
// plays the sound (SDL's device or a sound server's stream) pulls it through
// Render on its own thread; everything else comes from the main thread.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "platform/audio/block_queue.h"
#include "platform/audio/sound_converter.h"

namespace placarim::platform::audio {

class AudioMixer {
 public:
  static constexpr int kToneSlots = 2;

  OutputFormat Format() const;
  // A new device format: tones made for another one are dropped (the queue
  // is empty then: a lost device drops it).
  void SetFormat(const OutputFormat& format);

  // Queues block `id`, `sound` made for `format`; false when the format has
  // changed meanwhile, so the sound cannot play.
  bool Add(int id, std::span<const uint8_t> sound, const OutputFormat& format);
  // Empties the queue; the ids dropped, oldest first.
  std::vector<int> TakeAll();
  bool Contains(int id) const;
  bool QueueEmpty() const;

  void SetTone(int slot, std::vector<uint8_t> sound, bool loop, const OutputFormat& format);
  void ClearTone(int slot);
  // Whether a tone slot holds a sound (a one-shot one until it is cleared).
  bool HoldsTone() const;
  // Whether a looped tone, or a one-shot one not yet played through, is there.
  bool ToneSounding() const;

  // The next `length` bytes; appends each block whose last byte went out.
  // False when all of it is silence.
  bool Render(uint8_t* out, size_t length, std::vector<int>& finished);

 private:
  struct Tone {
    std::vector<uint8_t> sound;  // output format
    size_t position = 0;
    bool loop = false;
  };

  mutable std::mutex mutex_;
  OutputFormat format_;
  BlockQueue queue_;
  std::array<Tone, kToneSlots> tones_;
};

}  // namespace placarim::platform::audio
