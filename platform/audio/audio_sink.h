// Where the mixed sound is played: a sound card through SDL, or a stream of a
// sound server. A sink pulls the sound from its render function on a thread
// of its own, as the device asks for it, and reports each block done once the
// block's last byte has been played (or dropped).
//
// Threads: the audio output calls every method with its state locked, from
// the main thread or its opener thread; render and done run on the sink's
// own thread (SDL's callback, the sound server's loop). Errors: a sink that
// cannot be had is never made (its open gives null); once made, a sink
// reports trouble only through Lost, polled by the opener thread. Flush and
// StartSound block for as long as the sink's thread takes to finish one
// buffer, never longer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace placarim::platform::audio {

// Fills `out` with the next `length` bytes of sound and appends the id of each
// block whose last byte went into it; false when all of it is silence.
using RenderSound = std::function<bool(uint8_t* out, size_t length, std::vector<int>& finished)>;
// A block has been played; called on the sink's own thread.
using BlockDone = std::function<void(int block)>;

class AudioSink {
 public:
  virtual ~AudioSink() = default;
  // Plays, or holds still without the pause counting as a gap in the sound.
  virtual void SetRunning(bool running) = 0;
  // Runs `decide` while nothing is rendered, telling it whether blocks already
  // rendered are still unheard; when it returns true, every sound the sink
  // holds and has not played is dropped. Returns the blocks so dropped,
  // oldest first, for the caller to report done.
  virtual std::vector<int> Flush(const std::function<bool(bool unheard_blocks)>& decide) = 0;
  // Runs `add`, which gives the renderer a new sound, while nothing is
  // rendered. When everything rendered before has been heard, the silence
  // held after it is dropped first, so the new sound is heard at once.
  virtual void StartSound(const std::function<void()>& add) = 0;
  // The device or the server went away: nothing will be played any more.
  virtual bool Lost() = 0;
};

}  // namespace placarim::platform::audio
