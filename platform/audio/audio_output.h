// Sound output on one audio device, opened once and kept open for the whole
// run at one fixed format (48 kHz, 16-bit, stereo unless an SDL device
// prefers another rate or channel count). Each sound is turned into that
// format by SDL's converter, so a new sound format never reopens the device:
// ending a sound only clears the queue and pauses SDL's device (a server's
// stream plays silence instead).
//
// Where the sound goes is the first sink of the table (sink_table.h) that
// opens: when a sound server answers (PulseAudio, or PipeWire through its
// PulseAudio service) and SDL_AUDIODRIVER names no other driver, a stream of
// the server's own (audio/pulse), which keeps about 200 ms of sound at the
// server so a busy machine does not leave it short, and drops them when a
// key silences the sound. Otherwise SDL's device (audio/sdl: its PipeWire
// driver first when SDL_AUDIODRIVER is unset, then SDL's order), with a small
// buffer (256 frames, about 5 ms; 1,024 frames on SDL's own server drivers,
// which keep a single buffer at the server and need the slack). A key
// silences the sound within a few milliseconds, or within about two of those
// larger buffers on SDL's server drivers.
//
// The device is opened on a thread of its own, so the program starts while
// the sound server answers. When there is no device (no driver, no server,
// no card) the thread keeps trying every second and the sound starts as soon
// as one appears; meanwhile every sound fails at once with kNoDriver. A device
// that goes away is closed, its queued sound reported done, and looked for
// again.
//
// Errors: the wave-out device answers with the platform's codes (kNoDriver
// while there is no device, kBadFormat for a format it cannot convert); the
// tone players stay silent. Nothing is thrown.
//
// Blocks are converted when written, on the main thread. The device's thread
// only mixes bytes (AudioMixer) and reports each block done, once played,
// through `block_done` (an event the platform posts), so completions are counted on the
// main thread by whoever pumps events. The tone players mix their looped
// sounds into the same device.
#pragma once

#include <SDL2/SDL.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "platform/audio/audio_mixer.h"
#include "platform/audio/audio_sink.h"
#include "platform/audio/sound_converter.h"
#include "platform/platform.h"

namespace placarim::platform::audio {

class AudioOutput {
 public:
  static constexpr int kToneSlots = AudioMixer::kToneSlots;

  // `block_done` may be called from the device's thread.
  explicit AudioOutput(std::function<void(int block)> block_done);
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Starts looking for the device in the background; once is enough.
  void Start();
  // Stops looking and closes the device; before SDL is shut down.
  void Shutdown();
  // Whether the device is open, waiting up to `wait_ms` while the first
  // attempt to open it is still under way.
  bool Ready(int wait_ms);

  // The wave-out stream. Main thread.
  bool SetWaveFormat(const AudioFormat& format);
  void AddBlock(int id, const uint8_t* data, size_t length);
  // Reports every queued block done at once.
  void DropBlocks();
  // The same, and the next block starts a new sound.
  void ResetWave();
  void ReportDone(int id) { block_done_(id); }
  bool HoldsBlock(int id) const;
  void SetWaveActive(bool active);

  // The looped or one-shot sounds mixed in beside the wave-out stream.
  void PlayTone(int slot, const AudioFormat& format, std::span<const uint8_t> samples, bool loop);
  void StopTone(int slot);

 private:
  enum class State { Opening, Open, Missing, Stopping };

  void Run();
  bool TryOpen();
  void CloseLost();
  void UpdatePause();

  std::function<void(int)> block_done_;
  std::thread opener_;

  // Device state, shared with the opener thread.
  std::mutex state_mutex_;
  std::condition_variable state_changed_;
  State state_ = State::Opening;
  std::unique_ptr<AudioSink> sink_;
  bool wave_active_ = false;
  bool paused_ = true;

  // Main thread: the wave-out stream's format and its converter.
  AudioFormat wave_format_;
  BlockConverter converter_;

  // What the device plays.
  AudioMixer mixer_;
};

class WaveOutDevice final : public AudioDevice {
 public:
  explicit WaveOutDevice(AudioOutput& output) : output_(output) {}
  ~WaveOutDevice() override;

  // Main thread. Opening an open device closes it first. While the first
  // attempt to open the device is under way it waits for it (at most 3 s);
  // kNoDriver when there is no device.
  int Open(const AudioFormat& format) override;
  bool IsOpen() const override { return open_; }
  int Write(int block, const uint8_t* data, size_t length) override;
  void Reset() override;
  void Close() override;
  int Unprepare(int block) override;

 private:
  AudioOutput& output_;
  bool open_ = false;
};

// The simple in-memory sound player: plays a RIFF/WAVE image, looped until
// Stop or once, mixed into the one device.
class MixedTonePlayer final : public TonePlayer {
 public:
  MixedTonePlayer(AudioOutput& output, int slot) : output_(output), slot_(slot) {}
  ~MixedTonePlayer() override;
  void PlayLooped(const std::vector<uint8_t>& wave_image) override;
  void PlayOnce(const std::vector<uint8_t>& wave_image);
  void Stop() override;

 private:
  void Play(const std::vector<uint8_t>& wave_image, bool loop);

  AudioOutput& output_;
  int slot_;
};

}  // namespace placarim::platform::audio
