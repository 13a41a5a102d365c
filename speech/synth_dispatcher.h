// The synthesizer dispatcher: the five operations the speech layer uses for
// an external synthesizer, each passed to the bridge that SynthType selects.
// 3 selects the Ilvra voice; 5 and 54 the desktop's speech service; any
// other value the in-process engine.
//
// Threads: main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "speech/synth_bridge.h"
#include "speech/synth_ilvra.h"
#include "speech/synthesizer.h"

namespace placarim::speech {

// Makes the bridge for a synthesizer type; nullptr when there is none.
using SynthBridgeFactory = std::function<std::unique_ptr<SynthBridge>(int type)>;

class SynthDispatcher final : public Synthesizer {
 public:
  SynthDispatcher(SynthHost& host, SynthBridgeFactory factory);
  ~SynthDispatcher() override;
  SynthDispatcher(const SynthDispatcher&) = delete;
  SynthDispatcher& operator=(const SynthDispatcher&) = delete;

  // Records the type, opens its bridge and, on success, waits (polling every
  // 50 ms) until the synthesizer is silent before returning true. The wait is
  // bounded: a synthesizer that never falls silent is stopped.
  bool SynthOpen(int voice, int rate, int pitch, int type) override;
  void SynthSpeak(std::string_view text) override;
  // Pumps every pending message first, then asks the bridge.
  bool SynthIsSpeaking(int mode) override;
  void SynthStop() override;
  void SynthClose() override;

  int SynthType() const { return type_; }
  bool IsOpen() const { return bridge_ != nullptr; }

  static constexpr int kOpenPollMs = 50;
  static constexpr int kOpenSilenceLimitMs = 10000;

 private:
  SynthHost& host_;
  SynthBridgeFactory factory_;
  std::unique_ptr<SynthBridge> bridge_;
  int type_ = kSynthInProcess;
};

// The bridges of the system: the in-process engine, the speech service and
// the Ilvra voice with its files as `ilvra` names them.
SynthBridgeFactory SystemSynthBridges(SynthHost& host, SynthAudio& audio, IlvraSettings ilvra = {});

}  // namespace placarim::speech
