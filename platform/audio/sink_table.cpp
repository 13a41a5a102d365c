#include "platform/audio/sink_table.h"

#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/audio/sdl/sdl_sink.h"
#ifdef PLACARIM_SOUND_SERVER
#include "platform/audio/pulse/server_stream.h"
#endif

namespace placarim::platform::audio {

bool TriesSoundServer(const char* wanted) {
  std::string_view name = wanted != nullptr ? wanted : "";
  name = name.substr(0, name.find(','));  // the first of SDL's list
  return name.empty() || name == "pulseaudio" || name == "pulse";
}

namespace {

#ifdef PLACARIM_SOUND_SERVER
// A sound server's stream, when one answers: it keeps about 200 ms of sound
// at the server, so a busy machine does not leave it short.
std::unique_ptr<AudioSink> OpenServer(const OutputFormat& preferred, RenderSound render, BlockDone done,
                                      OutputFormat& output) {
  output = preferred;  // a server always takes it
  return pulse::OpenServerStream(preferred.rate, preferred.channels, std::move(render), std::move(done));
}
#endif

// SDL tries its drivers in its own order, ALSA before PipeWire's, and keeps
// the first that starts even when it opens no device: on a desktop whose
// PipeWire runs without its PulseAudio service, ALSA starts, finds no card,
// and there was no sound. So unless SDL_AUDIODRIVER names the drivers,
// SDL's PipeWire driver comes first (it starts only when a PipeWire answers).
bool DriverUnnamed() {
  const char* wanted = std::getenv("SDL_AUDIODRIVER");
  return wanted == nullptr || *wanted == '\0';
}

constexpr SinkDriver kDrivers[] = {
#ifdef PLACARIM_SOUND_SERVER
    {"server", [] { return TriesSoundServer(std::getenv("SDL_AUDIODRIVER")); }, &OpenServer, true},
#endif
    {"sdl-pipewire", &DriverUnnamed, &sdl::OpenSdlPipeWireSink, false},
    {"sdl", [] { return true; }, &sdl::OpenSdlSink, false},
};

}  // namespace

std::span<const SinkDriver> SinkDrivers() {
  return kDrivers;
}

}  // namespace placarim::platform::audio
