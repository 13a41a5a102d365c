// The synthesizer dispatcher: the five operations the speech layer uses for
// an external synthesizer, each passed to the bridge that SynthType selects.
// 3 selects the Ilvra voice; 5 and 54 the desktop's speech service; any
// other value the in-process engine.
//
// Fallback: a speech service that cannot be opened (not answering, no
// Portuguese voice), or that is lost later (it died, froze or refused a
// text), is replaced for the rest of the session by the in-process engine,
// and when that fails too, by the layer's own voice (SynthCanSpeak false).
// The listener hears once why, before the next text. Every kRetryMs of texts
// the service is tried again, and speaks again as soon as it answers. The
// engine speaks at the speed chosen for the service (SubstituteRate), so a
// child used to slow speech does not suddenly hear it fast.
//
// Threads: main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "speech/synth_bridge.h"
#include "voices/ilvra/synth_ilvra.h"
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
  bool SynthCanSpeak() override;
  std::string SynthTakeNotice() override;

  int SynthType() const { return type_; }
  bool IsOpen() const { return bridge_ != nullptr; }
  // Whether another voice speaks for the bridge that SynthType chose.
  bool Substituting() const { return speaking_ != Speaking::kChosen; }

  static constexpr int kOpenPollMs = 50;
  static constexpr int kOpenSilenceLimitMs = 10000;
  static constexpr int kRetryMs = 3000;

  // The in-process engine's words per minute for the speech service's rate
  // (-10 to 10, 0 the service's default): 0 stays the engine's default
  // (175), 10 is its fastest (450) and -10 its slowest (80).
  static int SubstituteRate(int service_rate);

 private:
  enum class Speaking { kChosen, kSubstitute, kLayer };
  static bool MayBeSubstituted(int type) { return type == kSynthService || type == kSynthServiceAlt; }
  // The bridge that speaks now; null when the layer's own voice does.
  SynthBridge* Active() const;
  void WaitForSilence();
  void TurnToSubstitute(std::string notice);
  void TryChosenAgain();

  SynthHost& host_;
  SynthBridgeFactory factory_;
  std::unique_ptr<SynthBridge> bridge_;      // the one SynthType chose (kept while lost)
  std::unique_ptr<SynthBridge> substitute_;  // the in-process engine, while substituting
  Speaking speaking_ = Speaking::kChosen;
  std::string notice_;            // said once, before the next text
  int64_t next_retry_ms_ = 0;
  int type_ = kSynthInProcess;
  int rate_ = 0;  // as SynthOpen was given it
};

// The bridges of the system: the in-process engine, the speech service and
// the Ilvra voice with its files as `ilvra` names them.
SynthBridgeFactory SystemSynthBridges(SynthHost& host, SynthAudio& audio, IlvraSettings ilvra = {});

}  // namespace placarim::speech
