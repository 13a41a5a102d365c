#include "platform/audio/sdl/sdl_sink.h"

#include <SDL2/SDL.h>

#include <string_view>
#include <utility>
#include <vector>

namespace placarim::platform::audio::sdl {

int DeviceFramesFor(const char* driver) {
  const std::string_view name = driver != nullptr ? driver : "";
  const bool server = name == "pulseaudio" || name == "pipewire" || name == "jack";
  return server ? kServerFrames : kDeviceFrames;
}

std::mutex& SdlSubsystemLock() {
  static std::mutex lock;
  return lock;
}

namespace {

class SdlSink final : public AudioSink {
 public:
  SdlSink(RenderSound render, BlockDone done) : render_(std::move(render)), done_(std::move(done)) {
    finished_.reserve(64);
  }
  ~SdlSink() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for the callback to return
    if (started_) {
      std::lock_guard lock(SdlSubsystemLock());
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
  }
  // `driver`: the one SDL driver to start, or null for SDL's choice.
  bool Open(const char* driver, const OutputFormat& preferred, OutputFormat& output) {
    {
      std::lock_guard lock(SdlSubsystemLock());
      if (driver != nullptr) SDL_SetHint(SDL_HINT_AUDIODRIVER, driver);
      started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
      if (driver != nullptr) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    if (!started_) return false;
    SDL_AudioSpec want{};
    want.freq = preferred.rate;
    want.format = preferred.format;
    want.channels = static_cast<Uint8>(preferred.channels);
    want.samples = static_cast<Uint16>(DeviceFramesFor(SDL_GetCurrentAudioDriver()));
    want.callback = &SdlSink::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                  SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    output = OutputFormat{have.format, have.freq, have.channels};
    return device_ != 0;
  }
  void SetRunning(bool running) override { SDL_PauseAudioDevice(device_, running ? 0 : 1); }
  std::vector<int> Flush(const std::function<bool(bool)>& decide) override {
    SDL_LockAudioDevice(device_);
    decide(false);
    SDL_UnlockAudioDevice(device_);
    return {};
  }
  void StartSound(const std::function<void()>& add) override { add(); }
  bool Lost() override { return SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED; }

 private:
  static void Callback(void* self, Uint8* stream, int length) {
    auto& sink = *static_cast<SdlSink*>(self);
    sink.finished_.clear();
    sink.render_(stream, static_cast<size_t>(length), sink.finished_);
    for (const int block : sink.finished_) sink.done_(block);
  }

  RenderSound render_;
  BlockDone done_;
  bool started_ = false;  // SDL's audio subsystem
  SDL_AudioDeviceID device_ = 0;
  std::vector<int> finished_;  // audio thread only
};

std::unique_ptr<AudioSink> Open(const char* driver, const OutputFormat& preferred, RenderSound render,
                                BlockDone done, OutputFormat& output) {
  auto sink = std::make_unique<SdlSink>(std::move(render), std::move(done));
  if (!sink->Open(driver, preferred, output)) return nullptr;
  return sink;
}

}  // namespace

std::unique_ptr<AudioSink> OpenSdlSink(const OutputFormat& preferred, RenderSound render, BlockDone done,
                                       OutputFormat& output) {
  return Open(nullptr, preferred, std::move(render), std::move(done), output);
}

std::unique_ptr<AudioSink> OpenSdlPipeWireSink(const OutputFormat& preferred, RenderSound render, BlockDone done,
                                               OutputFormat& output) {
  return Open("pipewire", preferred, std::move(render), std::move(done), output);
}

}  // namespace placarim::platform::audio::sdl
