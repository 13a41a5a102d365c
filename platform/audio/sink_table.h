// The sinks sound may go to, in the order they are tried: the first that is
// available and opens plays everything until it is lost. A new sink is one
// more row here and a folder of its own beside sdl/ and pulse/.
#pragma once

#include <memory>
#include <span>

#include "platform/audio/audio_sink.h"
#include "platform/audio/sound_converter.h"

namespace placarim::platform::audio {

struct SinkDriver {
  const char* name;
  // Whether the sink may be tried now; the environment may rule it out.
  bool (*available)();
  // Opens the sink, paused, near `preferred`; `output` is the format it took.
  // Null when it cannot be opened. Called on the opener thread.
  std::unique_ptr<AudioSink> (*open)(const OutputFormat& preferred, RenderSound render, BlockDone done,
                                     OutputFormat& output);
  // The sink may pull sound before `open` returns, so the mixer must be in
  // the preferred format first.
  bool renders_while_opening;
};

std::span<const SinkDriver> SinkDrivers();

// Whether a sound server is tried before SDL: SDL_AUDIODRIVER (`wanted`, null
// when unset) names none or names SDL's driver for that server.
bool TriesSoundServer(const char* wanted);

}  // namespace placarim::platform::audio
