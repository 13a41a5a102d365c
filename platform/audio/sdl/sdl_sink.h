// SDL's audio device as a sink: SDL's own drivers (ALSA, its sound-server
// drivers, the disk and dummy drivers the tests name). Its callback, on SDL's
// audio thread, renders one small buffer and reports at once the blocks that
// ended in it, as SDL holds no more than that buffer.
//
// Opening starts SDL's audio subsystem and closing the sink ends it again, so
// each attempt after a failure or a lost device looks for drivers afresh (a
// sound server that started late). Open and close are called on the audio
// output's opener thread or, at shutdown, the main thread.
#pragma once

#include <memory>
#include <mutex>

#include "platform/audio/audio_sink.h"
#include "platform/audio/sound_converter.h"

namespace placarim::platform::audio::sdl {

// Frames per device buffer: a key silences the sound within about two.
constexpr int kDeviceFrames = 256;
// A sound server wants its client a buffer ahead of it; SDL keeps only one
// there, so a buffer of 5 ms leaves the server short whenever the machine is
// busy for a moment (underruns: clicks and gaps).
constexpr int kServerFrames = 1024;

// Held around SDL_InitSubSystem and SDL_QuitSubSystem: the audio device is
// opened on a thread of its own while the main thread starts video, and both
// count their use of SDL's event subsystem.
std::mutex& SdlSubsystemLock();

// The device buffer for SDL's audio driver `driver`: a larger one for sound
// servers.
int DeviceFramesFor(const char* driver);

// SDL's default device, paused, near `preferred`; `output` is the format it
// took. Null when SDL finds no driver or no device.
std::unique_ptr<AudioSink> OpenSdlSink(const OutputFormat& preferred, RenderSound render, BlockDone done,
                                       OutputFormat& output);
// The same through SDL's PipeWire driver only; null unless a PipeWire answers.
std::unique_ptr<AudioSink> OpenSdlPipeWireSink(const OutputFormat& preferred, RenderSound render, BlockDone done,
                                               OutputFormat& output);

}  // namespace placarim::platform::audio::sdl
