// The in-process engine: espeak-ng through libespeak-ng, speaking Brazilian
// Portuguese. Text is synthesized on a worker thread into a SynthStream; the
// main thread hands the samples to wave playback in pieces whenever it polls
// IsSpeaking, so the engine is silenced by a key exactly like any recording.
//
// libespeak-ng keeps one engine per process, so only one bridge may be open at
// a time; a second Open fails.
#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "voices/voice.h"
#include "voices/synth_stream.h"

namespace placarim::voices {

class EspeakBridge final : public voices::Voice {
 public:
  EspeakBridge(sound::MainLoop& host, sound::SoundOutput& audio);
  ~EspeakBridge() override;
  EspeakBridge(const EspeakBridge&) = delete;
  EspeakBridge& operator=(const EspeakBridge&) = delete;

  // Voice n is the n-th Portuguese voice (0 counts as 1; past the last, the
  // last); rate in words per minute and pitch 0 to 100, each left at the
  // voice's own value when 0.
  bool Open(int voice, int rate, int pitch) override;
  void Speak(std::string_view text) override;
  bool IsSpeaking(int mode) override;
  void Stop() override;
  void Close() override;

  // The Portuguese voices the engine lists, Brazilian ones first: their
  // identifiers, each once. Needs an initialised engine.
  static std::vector<std::string> PortugueseVoices();

  // Samples per second of the engine's output (valid while open).
  uint32_t SampleRate() const { return sample_rate_; }

 private:
  struct SynthContext;
  void Work();
  bool HandOver(size_t max);
  void TopUp();

  sound::MainLoop& host_;
  sound::SoundOutput& audio_;
  SynthStream stream_;
  std::thread worker_;
  bool open_ = false;
  uint32_t sample_rate_ = 22050;
  bool active_ = false;  // a text was accepted and has not finished
  bool handed_ = false;  // some of it went to wave playback
  int64_t expected_end_ms_ = 0;
};

}  // namespace placarim::voices
