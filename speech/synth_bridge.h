// The seams between the synthesizer dispatcher, its bridges and the rest of
// the program. A bridge maps the dispatcher's five operations onto one engine;
// the host gives it the console's message pump, delays and keys, and the audio
// sink gives the in-process engine the same wave playback every other sound
// goes through, so a key silences it like any recording.
//
// Threads: every method is called on the main thread. Bridges that receive
// work from other threads (the engine's worker, the speech service's listener)
// touch only their own locked queue or atomics there and call
// SynthHost::PostWakeUp, which is safe from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace placarim::speech {

// The private wake-up code the bridges post to end a wait for a message.
inline constexpr int kSynthWakeUp = 2980;

// The values of SynthType that select a bridge; any other value selects the
// in-process engine, as 4 does.
enum SynthTypes : int {
  kSynthSecondVoice = 3,
  kSynthInProcess = 4,
  kSynthService = 5,
  kSynthServiceAlt = 54,
};

class SynthHost {
 public:
  virtual ~SynthHost() = default;
  // Handles every pending window message (blocks done, keys, wake-ups).
  virtual void PumpAllMessages() = 0;
  // Lets `ms` milliseconds pass while pumping messages.
  virtual void Delay(int ms) = 0;
  // Whether a key waits in the console's queue; the key stays there.
  virtual bool KeyPressed() = 0;
  // Queues a wake-up message; any thread may call it.
  virtual void PostWakeUp(int code) = 0;
  // The platform's default message beep.
  virtual void Beep() = 0;
  // Monotonic milliseconds of the platform's clock.
  virtual int64_t NowMs() = 0;
  // Writes one line (Windows-1252) on the console for the teacher.
  virtual void WriteLine(std::string_view text) = 0;
};

// Wave playback as the in-process engine needs it.
class SynthAudio {
 public:
  virtual ~SynthAudio() = default;
  // Queues raw PCM and returns once the last block is queued; 0 or the
  // device's error. Played as given: without speed-up or condensing, which
  // are meant for the built-in voice and the recordings.
  virtual int Play(const int16_t* samples, size_t count, uint32_t rate) = 0;
  // Whether queued sound is still playing; stops it when a key waits and
  // stop-on-key is on (the key stays in the queue).
  virtual bool IsPlaying() = 0;
  // Samples (16-bit mono) that Play can take now without waiting for room.
  virtual size_t Room() = 0;
  virtual void Stop() = 0;
  // Whether a pending key is meant to stop sound.
  virtual bool StopOnKey() = 0;
};

// One external synthesizer. Open may fail (false); the others are no-ops on a
// bridge that is not open.
class SynthBridge {
 public:
  virtual ~SynthBridge() = default;
  virtual bool Open(int voice, int rate, int pitch) = 0;
  // `text` is Windows-1252; the bridge converts it for its engine.
  virtual void Speak(std::string_view text) = 0;
  // mode 1: text handed over and not yet finished; mode 0: that, or sound
  // still running.
  virtual bool IsSpeaking(int mode) = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
  // Whether the engine has stopped working for good (its service died, froze
  // or refused a text): the dispatcher then turns to another voice.
  virtual bool Lost() { return false; }
  // Tries once more to reach an engine that was lost, without waiting
  // noticeably; true when it can speak again.
  virtual bool Reopen() { return false; }
  // Why the engine cannot speak, as one Windows-1252 sentence for the
  // listener; empty when it can (or when it never could: a plain failure).
  virtual std::string LossNotice() { return {}; }
};

}  // namespace placarim::speech
