// The synthesizer dispatcher: the five operations the speech layer uses for
// an external synthesizer, each passed to the voice that SynthType selects in
// the table of voices (voices/voice.h): 3 the Ilvra voice, 5 and 54 the
// desktop's speech service, any other value the in-process engine.
//
// Fallback: a voice whose flags allow a substitute (the speech service) that
// cannot be opened (not answering, no
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

#include "speech/synthesizer.h"
#include "voices/voice.h"

namespace placarim::speech {

// Makes the voice for a synthesizer type; nullptr when there is none.
using VoiceMaker = std::function<std::unique_ptr<voices::Voice>(int type)>;

class SynthDispatcher final : public Synthesizer {
 public:
  SynthDispatcher(sound::MainLoop& host, VoiceMaker factory);
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
  static bool MayBeSubstituted(int type) { return voices::FindVoiceDriver(type).flags.may_be_substituted; }
  // The voice that speaks now; null when the layer's own voice does.
  voices::Voice* Active() const;
  void WaitForSilence();
  void TurnToSubstitute(std::string notice);
  void TryChosenAgain();

  sound::MainLoop& host_;
  VoiceMaker factory_;
  std::unique_ptr<voices::Voice> bridge_;      // the one SynthType chose (kept while lost)
  std::unique_ptr<voices::Voice> substitute_;  // the in-process engine, while substituting
  Speaking speaking_ = Speaking::kChosen;
  std::string notice_;            // said once, before the next text
  int64_t next_retry_ms_ = 0;
  int type_ = voices::kVoiceEngine;
  int rate_ = 0;  // as SynthOpen was given it
};

// The voices of the table, made with `ports`.
VoiceMaker SystemVoices(const voices::VoicePorts& ports);

}  // namespace placarim::speech
