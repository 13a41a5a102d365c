#include "platform/sdl/sdl_audio.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/sdl/wave_image.h"

namespace placarim::platform::sdl {
namespace {

constexpr Uint16 kDeviceFrames = 256;

std::optional<SDL_AudioFormat> SdlFormatOf(uint16_t bits) {
  switch (bits) {
    case 8: return AUDIO_U8;
    case 16: return AUDIO_S16LSB;  // wave data is little-endian on every machine
    case 32: return AUDIO_S32LSB;
    default: return std::nullopt;
  }
}

bool Supported(const AudioFormat& format) {
  return SdlFormatOf(format.bits) && format.channels >= 1 && format.channels <= 8 &&
         format.rate >= 1000 && format.rate <= 384000;
}

// Opens a device that takes `format` as it is (SDL converts for the hardware).
SDL_AudioDeviceID OpenDevice(const AudioFormat& format, SDL_AudioCallback callback, void* self,
                             Uint8& silence) {
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(format.rate);
  want.format = *SdlFormatOf(format.bits);
  want.channels = static_cast<Uint8>(format.channels);
  want.samples = kDeviceFrames;
  want.callback = callback;
  want.userdata = self;
  SDL_AudioSpec have{};
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  silence = have.silence;
  return id;
}

int OpenError() {
  const std::string error = SDL_GetError();
  const bool busy = error.find("busy") != std::string::npos || error.find("Busy") != std::string::npos;
  return busy ? AudioDevice::kBusy : AudioDevice::kNoDriver;
}

}  // namespace

AudioSubsystem::~AudioSubsystem() {
  if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioSubsystem::Ensure() {
  if (!started_) started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  return started_;
}

SdlAudioDevice::SdlAudioDevice(AudioSubsystem& subsystem, std::function<void(int)> block_done)
    : subsystem_(subsystem), block_done_(std::move(block_done)) {
  finished_.reserve(64);
}

SdlAudioDevice::~SdlAudioDevice() {
  Close();
}

int SdlAudioDevice::Open(const AudioFormat& format) {
  Close();
  if (!Supported(format)) return kBadFormat;
  if (!subsystem_.Ensure()) return kNoDriver;
  device_ = OpenDevice(format, &SdlAudioDevice::Callback, this, silence_);
  if (device_ == 0) return OpenError();
  SDL_PauseAudioDevice(device_, 0);
  return kNoError;
}

int SdlAudioDevice::Write(int block, const uint8_t* data, size_t length) {
  if (device_ == 0) return kInvalidHandle;
  if (length == 0) {  // nothing to play: done at once
    block_done_(block);
    return kNoError;
  }
  std::lock_guard lock(mutex_);
  queue_.Add(block, data, length);
  return kNoError;
}

void SdlAudioDevice::Reset() {
  std::vector<int> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped = queue_.TakeAll();
  }
  // Once the lock is released the callback never touches these bytes again.
  for (const int block : dropped) block_done_(block);
}

void SdlAudioDevice::Close() {
  if (device_ == 0) return;
  Reset();
  SDL_CloseAudioDevice(device_);
  device_ = 0;
}

int SdlAudioDevice::Unprepare(int block) {
  std::lock_guard lock(mutex_);
  return queue_.Contains(block) ? kStillPlaying : kNoError;
}

void SdlAudioDevice::Callback(void* self, Uint8* stream, int length) {
  auto& device = *static_cast<SdlAudioDevice*>(self);
  device.finished_.clear();
  {
    std::lock_guard lock(device.mutex_);
    device.queue_.Fill(stream, static_cast<size_t>(length), device.silence_, device.finished_);
  }
  for (const int block : device.finished_) device.block_done_(block);
}

SdlTonePlayer::SdlTonePlayer(AudioSubsystem& subsystem) : subsystem_(subsystem) {}

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
  if (!wave || wave->samples.empty() || !Supported(wave->format) || !subsystem_.Ensure()) return;
  const size_t frame = size_t{wave->format.channels} * (wave->format.bits / 8);
  samples_.assign(wave->samples.begin(),
                  wave->samples.begin() + static_cast<ptrdiff_t>(wave->samples.size() / frame * frame));
  if (samples_.empty()) return;
  position_ = 0;
  loop_ = loop;
  device_ = OpenDevice(wave->format, &SdlTonePlayer::Callback, this, silence_);
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

void SdlTonePlayer::Stop() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);  // waits for the callback to return
  device_ = 0;
}

void SdlTonePlayer::Callback(void* self, Uint8* stream, int length) {
  auto& player = *static_cast<SdlTonePlayer*>(self);
  size_t filled = 0;
  const size_t size = static_cast<size_t>(length);
  while (filled < size && player.position_ < player.samples_.size()) {
    const size_t piece = std::min(size - filled, player.samples_.size() - player.position_);
    std::memcpy(stream + filled, player.samples_.data() + player.position_, piece);
    filled += piece;
    player.position_ += piece;
    if (player.loop_ && player.position_ == player.samples_.size()) player.position_ = 0;
  }
  std::memset(stream + filled, player.silence_, size - filled);
}

}  // namespace placarim::platform::sdl
