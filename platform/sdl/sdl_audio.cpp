#include "platform/sdl/sdl_audio.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string_view>

#include "platform/sdl/wave_image.h"

namespace placarim::platform::sdl {
namespace {

constexpr auto kRetryInterval = std::chrono::seconds(1);
constexpr auto kWatchInterval = std::chrono::milliseconds(500);
constexpr int kOpenWaitMs = 100;

bool Supported(const AudioFormat& format) {
  return SdlFormatOf(format.bits) != 0 && format.channels >= 1 && format.channels <= 8 &&
         format.rate >= 1000 && format.rate <= 384000;
}

}  // namespace

int DeviceFramesFor(const char* driver) {
  const std::string_view name = driver != nullptr ? driver : "";
  const bool server = name == "pulseaudio" || name == "pipewire" || name == "jack";
  return server ? AudioOutput::kServerFrames : AudioOutput::kDeviceFrames;
}

std::mutex& SdlSubsystemLock() {
  static std::mutex lock;
  return lock;
}

AudioOutput::AudioOutput(std::function<void(int)> block_done) : block_done_(std::move(block_done)) {
  finished_.reserve(64);
}

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
  if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for the callback to return
  device_ = 0;
  for (const int id : [&] {
         std::lock_guard lock(mix_mutex_);
         return queue_.TakeAll();
       }()) {
    block_done_(id);
  }
  if (audio_started_) {
    std::lock_guard lock(SdlSubsystemLock());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  audio_started_ = false;
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
    if (device_ == 0) {
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
      if (state_ != State::Stopping && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
        lock.unlock();
        CloseLost();
        lock.lock();
        if (state_ != State::Stopping) state_ = State::Missing;
      }
    }
  }
}

// Opener thread. Each failed attempt shuts SDL's audio down again, so that the
// next one looks for drivers afresh (a sound server that started late).
bool AudioOutput::TryOpen() {
  if (!audio_started_) {
    std::lock_guard lock(SdlSubsystemLock());
    audio_started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  if (!audio_started_) return false;
  const OutputFormat preferred;
  SDL_AudioSpec want{};
  want.freq = preferred.rate;
  want.format = preferred.format;
  want.channels = static_cast<Uint8>(preferred.channels);
  want.samples = static_cast<Uint16>(DeviceFramesFor(SDL_GetCurrentAudioDriver()));
  want.callback = &AudioOutput::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(
      nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (id == 0) {
    std::lock_guard lock(SdlSubsystemLock());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_started_ = false;
    return false;
  }
  const OutputFormat output{have.format, have.freq, have.channels};
  {
    std::lock_guard lock(mix_mutex_);
    if (!(output_ == output)) {
      // Another device took another format: what was converted for the old
      // one cannot play (the queue is empty: a lost device drops it).
      output_ = output;
      for (Tone& tone : tones_) tone = Tone{};
    }
  }
  std::lock_guard lock(state_mutex_);
  device_ = id;
  paused_ = true;  // SDL opens devices paused
  return true;
}

// Opener thread: the device went away (unplugged, server gone). Its sound is
// lost; every queued block is reported done so that nobody waits for it.
void AudioOutput::CloseLost() {
  SDL_AudioDeviceID id = 0;
  {
    std::lock_guard lock(state_mutex_);
    id = device_;
    device_ = 0;
  }
  SDL_CloseAudioDevice(id);
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
  OutputFormat output;
  {
    std::lock_guard lock(mix_mutex_);
    output = output_;
  }
  // Converted outside the lock: the callback must never wait for it.
  std::span<const uint8_t> sound;
  if (converter_.SetSource(wave_format_, output)) sound = converter_.Convert(id, {data, length});
  bool queued = false;
  {
    std::lock_guard lock(mix_mutex_);
    if (!sound.empty() && output_ == output) {
      queue_.Add(id, sound.data(), sound.size());
      queued = true;
    }
  }
  if (!queued) {
    block_done_(id);  // nothing that this device can play
    return;
  }
  // A device lost meanwhile has dropped what it held; this block too, or it
  // would wait for ever.
  bool lost = false;
  {
    std::lock_guard lock(state_mutex_);
    lost = device_ == 0;
  }
  if (lost) DropBlocks();
}

void AudioOutput::DropBlocks() {
  std::vector<int> dropped;
  {
    std::lock_guard lock(mix_mutex_);
    dropped = queue_.TakeAll();
  }
  // Once the lock is released the callback never touches these bytes again.
  for (const int id : dropped) block_done_(id);
}

bool AudioOutput::HoldsBlock(int id) const {
  std::lock_guard lock(mix_mutex_);
  return queue_.Contains(id);
}

void AudioOutput::SetWaveActive(bool active) {
  std::lock_guard lock(state_mutex_);
  wave_active_ = active;
  UpdatePause();
}

void AudioOutput::PlayTone(int slot, const AudioFormat& format, std::span<const uint8_t> samples,
                           bool loop) {
  if (slot < 0 || slot >= kToneSlots || !Ready(kOpenWaitMs)) return;
  OutputFormat output;
  {
    std::lock_guard lock(mix_mutex_);
    output = output_;
  }
  Tone tone{ConvertSound(format, samples, output), 0, loop};
  {
    std::lock_guard lock(mix_mutex_);
    std::swap(tones_[static_cast<size_t>(slot)], tone);
  }
  std::lock_guard lock(state_mutex_);
  UpdatePause();
}

void AudioOutput::StopTone(int slot) {
  if (slot < 0 || slot >= kToneSlots) return;
  Tone stopped;
  {
    std::lock_guard lock(mix_mutex_);
    std::swap(tones_[static_cast<size_t>(slot)], stopped);
  }
  std::lock_guard lock(state_mutex_);
  UpdatePause();
}

// The device runs while a sound or a tone may play and is paused otherwise.
// Called with state_mutex_ held; never with mix_mutex_ held, since pausing
// waits for the callback.
void AudioOutput::UpdatePause() {
  if (device_ == 0) return;
  bool tone_playing = false;
  {
    std::lock_guard lock(mix_mutex_);
    for (const Tone& tone : tones_) tone_playing |= !tone.sound.empty();
  }
  const bool pause = !wave_active_ && !tone_playing;
  if (pause != paused_) SDL_PauseAudioDevice(device_, pause ? 1 : 0);
  paused_ = pause;
}

void AudioOutput::Callback(void* self, Uint8* stream, int length) {
  auto& output = *static_cast<AudioOutput*>(self);
  output.finished_.clear();
  output.Mix(stream, static_cast<size_t>(length));
  for (const int block : output.finished_) output.block_done_(block);
}

void AudioOutput::Mix(Uint8* stream, size_t length) {
  std::lock_guard lock(mix_mutex_);
  queue_.Fill(stream, length, output_.Silence(), finished_);
  const SDL_AudioFormat format = output_.format;
  for (Tone& tone : tones_) {
    if (tone.sound.empty()) continue;
    size_t filled = 0;
    while (filled < length && tone.position < tone.sound.size()) {
      const size_t piece = std::min(length - filled, tone.sound.size() - tone.position);
      SDL_MixAudioFormat(stream + filled, tone.sound.data() + tone.position, format,
                         static_cast<Uint32>(piece), SDL_MIX_MAXVOLUME);
      filled += piece;
      tone.position += piece;
      if (tone.loop && tone.position == tone.sound.size()) tone.position = 0;
    }
  }
}

SdlAudioDevice::~SdlAudioDevice() {
  Close();
}

int SdlAudioDevice::Open(const AudioFormat& format) {
  Close();
  if (!Supported(format)) return kBadFormat;
  if (!output_.Ready(kOpenWaitMs)) return kNoDriver;
  if (!output_.SetWaveFormat(format)) return kBadFormat;
  open_ = true;
  output_.SetWaveActive(true);
  return kNoError;
}

int SdlAudioDevice::Write(int block, const uint8_t* data, size_t length) {
  if (!open_) return kInvalidHandle;
  if (length == 0) {  // nothing to play: done at once
    output_.ReportDone(block);
    return kNoError;
  }
  output_.AddBlock(block, data, length);
  return kNoError;
}

void SdlAudioDevice::Reset() {
  output_.ResetWave();
}

void SdlAudioDevice::Close() {
  if (!open_) return;
  Reset();
  open_ = false;
  output_.SetWaveActive(false);
}

int SdlAudioDevice::Unprepare(int block) {
  return output_.HoldsBlock(block) ? kStillPlaying : kNoError;
}

SdlTonePlayer::~SdlTonePlayer() {
  Stop();
}

void SdlTonePlayer::PlayLooped(const std::vector<uint8_t>& wave_image) {
  Play(wave_image, true);
}

void SdlTonePlayer::PlayOnce(const std::vector<uint8_t>& wave_image) {
  Play(wave_image, false);
}

void SdlTonePlayer::Play(const std::vector<uint8_t>& wave_image, bool loop) {
  Stop();
  const std::optional<WaveView> wave = ReadWaveImage(wave_image);
  if (!wave || wave->samples.empty() || !Supported(wave->format)) return;
  output_.PlayTone(slot_, wave->format, wave->samples, loop);
}

void SdlTonePlayer::Stop() {
  output_.StopTone(slot_);
}

}  // namespace placarim::platform::sdl
