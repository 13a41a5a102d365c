// Sound played through a sound server (PulseAudio, or PipeWire through its
// PulseAudio service) by the server's own client library: one playback stream
// of 16-bit samples, kept the whole run.
//
// The server holds about kTargetMs of sound ahead of what is heard and asks
// for more every kRequestMs, so a busy machine may keep the program's threads
// waiting that long without a gap in the sound. A key still silences at once.
// On PulseAudio the stream is corked and flushed, which drops what the server
// holds, the sink's own mix included. On PipeWire, which takes back no cycle
// once run, the stream asks for cycles of one request (about 5 ms) and a key
// replaces what the service holds with one write. Blocks are reported done when the
// server has played them, not when they were handed over, so that whoever
// waits for a sound to end waits until it is heard. While nothing plays the
// stream plays silence, as a sound card would, so the server never finds it
// empty (an underrun); a new sound drops the silence held before it.
#pragma once

#include <memory>
#include <string>

#include "platform/audio/audio_sink.h"

namespace placarim::platform::audio::pulse {

// Sound the server holds ahead of the ear, and how much it asks for at once.
constexpr int kTargetMs = 200;
constexpr int kRequestMs = 10;

// A playback stream of 16-bit native-endian samples at `rate` with `channels`
// on the server that PULSE_SERVER names, or else the user's own; none is
// started. Null when no server answers within a few seconds (`why` tells).
std::unique_ptr<AudioSink> OpenServerStream(int rate, int channels, RenderSound render, BlockDone done,
                                            std::string* why = nullptr);

}  // namespace placarim::platform::audio::pulse
