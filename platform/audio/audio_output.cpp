#include "platform/audio/audio_output.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/audio/sink_table.h"
#include "platform/audio/wave_image.h"

namespace placarim::platform::audio {
namespace {

constexpr auto kRetryInterval = std::chrono::seconds(1);
constexpr auto kWatchInterval = std::chrono::milliseconds(500);
// A sound asked for while the first attempt to open the device is still under
// way waits for it: usually a few milliseconds, but a busy machine or a slow
// sound server can take much longer, and giving up early would lose the sound
// and tell the user there is no device when there is one. Only a server that
// does not answer at all holds the program this long; once an attempt has
// failed, sounds fail at once until the device appears.
constexpr int kOpenWaitMs = 3000;

bool Supported(const AudioFormat& format) {
  return SdlFormatOf(format.bits) != 0 && format.channels >= 1 && format.channels <= 8 &&
         format.rate >= 1000 && format.rate <= 384000;
}

}  // namespace

AudioOutput::AudioOutput(std::function<void(int)> block_done) : block_done_(std::move(block_done)) {}

AudioOutput::~AudioOutput() {
  Shutdown();
}

void AudioOutput::Start() {
  std::lock_guard lock(state_mutex_);
  if (!opener_.joinable() && state_ != State::Stopping) {
    opener_ = std::thread([this] {
      Run();
      SDL_TLSCleanup();  // SDL's error text of this thread, which SDL frees only for its own threads
    });
  }
}

void AudioOutput::Shutdown() {
  {
    std::lock_guard lock(state_mutex_);
    state_ = State::Stopping;
  }
  state_changed_.notify_all();
  if (opener_.joinable()) opener_.join();
  sink_.reset();  // reports what it held; never renders again
  for (const int id : mixer_.TakeAll()) block_done_(id);
}

bool AudioOutput::Ready(int wait_ms) {
  std::unique_lock lock(state_mutex_);
  state_changed_.wait_for(lock, std::chrono::milliseconds(wait_ms),
                          [&] { return state_ != State::Opening; });
  return state_ == State::Open;
}

// The opener thread: opens the device, then watches that it stays; while there
// is none it tries again every second.
void AudioOutput::Run() {
  std::unique_lock lock(state_mutex_);
  while (state_ != State::Stopping) {
    if (sink_ == nullptr) {
      lock.unlock();
      const bool opened = TryOpen();
      lock.lock();
      if (state_ == State::Stopping) break;
      state_ = opened ? State::Open : State::Missing;
      if (opened) UpdatePause();
      state_changed_.notify_all();
      if (!opened) state_changed_.wait_for(lock, kRetryInterval, [&] { return state_ == State::Stopping; });
    } else {
      state_changed_.wait_for(lock, kWatchInterval, [&] { return state_ == State::Stopping; });
      if (state_ != State::Stopping && sink_->Lost()) {
        lock.unlock();
        CloseLost();
        lock.lock();
        if (state_ != State::Stopping) state_ = State::Missing;
      }
    }
  }
}

// Opener thread: the first sink of the table that is available and opens.
bool AudioOutput::TryOpen() {
  const OutputFormat preferred;
  for (const SinkDriver& driver : SinkDrivers()) {
    if (!driver.available()) continue;
    if (driver.renders_while_opening) mixer_.SetFormat(preferred);
    OutputFormat output;
    std::unique_ptr<AudioSink> sink = driver.open(
        preferred,
        [this](uint8_t* out, size_t length, std::vector<int>& finished) {
          return mixer_.Render(out, length, finished);
        },
        [this](int block) { block_done_(block); }, output);
    if (sink == nullptr) continue;
    mixer_.SetFormat(output);  // before the device first runs
    std::lock_guard lock(state_mutex_);
    sink_ = std::move(sink);
    paused_ = true;  // every sink opens paused
    return true;
  }
  return false;
}

// Opener thread: the device went away (unplugged, server gone). Its sound is
// lost; every queued block is reported done so that nobody waits for it.
void AudioOutput::CloseLost() {
  std::unique_ptr<AudioSink> lost;
  {
    std::lock_guard lock(state_mutex_);
    lost = std::move(sink_);
  }
  lost.reset();  // reports the blocks it held
  DropBlocks();
}

bool AudioOutput::SetWaveFormat(const AudioFormat& format) {
  if (SdlFormatOf(format.bits) == 0 || format.channels == 0) return false;
  wave_format_ = format;
  converter_.DropPartialFrame();
  return true;
}

void AudioOutput::ResetWave() {
  converter_.DropPartialFrame();
  DropBlocks();
}

void AudioOutput::AddBlock(int id, const uint8_t* data, size_t length) {
  const OutputFormat output = mixer_.Format();
  // Converted outside any lock: the device must never wait for it.
  std::span<const uint8_t> sound;
  if (converter_.SetSource(wave_format_, output)) sound = converter_.Convert(id, {data, length});
  bool queued = false;
  bool lost = false;
  {
    std::lock_guard lock(state_mutex_);
    const auto add = [&] { queued = mixer_.Add(id, sound, output); };
    if (sink_ != nullptr) {
      sink_->StartSound(add);
    } else {
      add();
      lost = true;
    }
  }
  if (!queued) {
    block_done_(id);  // nothing that this device can play
    return;
  }
  // A device lost meanwhile has dropped what it held; this block too, or it
  // would wait for ever.
  if (lost) DropBlocks();
}

// Every block queued or held by the device is reported done, oldest first;
// what the device held is dropped unheard.
void AudioOutput::DropBlocks() {
  std::vector<int> held;
  std::vector<int> dropped;
  {
    std::lock_guard lock(state_mutex_);
    const auto take = [&](bool unheard) {
      dropped = mixer_.TakeAll();
      return unheard || !dropped.empty();  // a sound that ended by itself leaves the tones alone
    };
    if (sink_ != nullptr) {
      held = sink_->Flush(take);
    } else {
      take(false);
    }
  }
  // Once taken the device never touches these bytes again.
  for (const int id : held) block_done_(id);
  for (const int id : dropped) block_done_(id);
}

bool AudioOutput::HoldsBlock(int id) const {
  return mixer_.Contains(id);
}

void AudioOutput::SetWaveActive(bool active) {
  std::lock_guard lock(state_mutex_);
  wave_active_ = active;
  UpdatePause();
}

void AudioOutput::PlayTone(int slot, const AudioFormat& format, std::span<const uint8_t> samples,
                           bool loop) {
  if (slot < 0 || slot >= kToneSlots || !Ready(kOpenWaitMs)) return;
  const OutputFormat output = mixer_.Format();
  std::vector<uint8_t> sound = ConvertSound(format, samples, output);
  std::lock_guard lock(state_mutex_);
  const auto add = [&] { mixer_.SetTone(slot, std::move(sound), loop, output); };
  if (sink_ != nullptr) {
    sink_->StartSound(add);
  } else {
    add();
  }
  UpdatePause();
}

void AudioOutput::StopTone(int slot) {
  if (slot < 0 || slot >= kToneSlots) return;
  std::vector<int> held;
  {
    std::lock_guard lock(state_mutex_);
    const auto clear = [&](bool unheard) {
      mixer_.ClearTone(slot);
      // Silence at once, unless that would cut short a sound still to be heard.
      return !unheard && mixer_.QueueEmpty() && !mixer_.ToneSounding();
    };
    if (sink_ != nullptr) {
      held = sink_->Flush(clear);
    } else {
      clear(false);
    }
    UpdatePause();
  }
  for (const int id : held) block_done_(id);
}

// The device runs while a sound or a tone may play and is paused otherwise.
// Called with state_mutex_ held.
void AudioOutput::UpdatePause() {
  if (sink_ == nullptr) return;
  const bool pause = !wave_active_ && !mixer_.HoldsTone();
  if (pause != paused_) sink_->SetRunning(!pause);
  paused_ = pause;
}

WaveOutDevice::~WaveOutDevice() {
  Close();
}

int WaveOutDevice::Open(const AudioFormat& format) {
  Close();
  if (!Supported(format)) return kBadFormat;
  if (!output_.Ready(kOpenWaitMs)) return kNoDriver;
  if (!output_.SetWaveFormat(format)) return kBadFormat;
  open_ = true;
  output_.SetWaveActive(true);
  return kNoError;
}

int WaveOutDevice::Write(int block, const uint8_t* data, size_t length) {
  if (!open_) return kInvalidHandle;
  if (length == 0) {  // nothing to play: done at once
    output_.ReportDone(block);
    return kNoError;
  }
  output_.AddBlock(block, data, length);
  return kNoError;
}

void WaveOutDevice::Reset() {
  output_.ResetWave();
}

void WaveOutDevice::Close() {
  if (!open_) return;
  Reset();
  open_ = false;
  output_.SetWaveActive(false);
}

int WaveOutDevice::Unprepare(int block) {
  return output_.HoldsBlock(block) ? kStillPlaying : kNoError;
}

MixedTonePlayer::~MixedTonePlayer() {
  Stop();
}

void MixedTonePlayer::PlayLooped(const std::vector<uint8_t>& wave_image) {
  Play(wave_image, true);
}

void MixedTonePlayer::PlayOnce(const std::vector<uint8_t>& wave_image) {
  Play(wave_image, false);
}

void MixedTonePlayer::Play(const std::vector<uint8_t>& wave_image, bool loop) {
  Stop();
  const std::optional<WaveView> wave = ReadWaveImage(wave_image);
  if (!wave || wave->samples.empty() || !Supported(wave->format)) return;
  output_.PlayTone(slot_, wave->format, wave->samples, loop);
}

void MixedTonePlayer::Stop() {
  output_.StopTone(slot_);
}

}  // namespace placarim::platform::audio
