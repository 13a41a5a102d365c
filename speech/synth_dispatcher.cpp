#include "speech/synth_dispatcher.h"

#include <algorithm>

#include <utility>

namespace placarim::speech {

SynthDispatcher::SynthDispatcher(sound::MainLoop& host, VoiceMaker factory)
    : host_(host), factory_(std::move(factory)) {}

SynthDispatcher::~SynthDispatcher() { SynthClose(); }

int SynthDispatcher::SubstituteRate(int service_rate) {
  constexpr int kNormal = 175, kFastest = 450, kSlowest = 80;
  const int r = std::clamp(service_rate, -10, 10);
  if (r == 0) return 0;
  return r > 0 ? kNormal + r * (kFastest - kNormal) / 10 : kNormal + r * (kNormal - kSlowest) / 10;
}

bool SynthDispatcher::SynthOpen(int voice, int rate, int pitch, int type) {
  type_ = type;
  rate_ = rate;
  SynthClose();
  std::unique_ptr<voices::Voice> bridge = factory_ ? factory_(type) : nullptr;
  if (!bridge) return false;
  const bool opened = bridge->Open(voice, rate, pitch);
  if (!opened && !MayBeSubstituted(type)) return false;
  bridge_ = std::move(bridge);
  if (!opened) {
    TurnToSubstitute(bridge_->LossNotice());
    if (speaking_ == Speaking::kLayer) {
      // Nothing external speaks: the layer's own voice, as for any failed open.
      bridge_.reset();
      speaking_ = Speaking::kChosen;
      notice_.clear();
      return false;
    }
  }
  WaitForSilence();
  return true;
}

void SynthDispatcher::WaitForSilence() {
  for (int waited = 0; SynthIsSpeaking(1); waited += kOpenPollMs) {
    if (waited >= kOpenSilenceLimitMs) {
      if (voices::Voice* active = Active()) active->Stop();
      break;
    }
    host_.Delay(kOpenPollMs);
  }
}

voices::Voice* SynthDispatcher::Active() const {
  switch (speaking_) {
    case Speaking::kChosen: return bridge_.get();
    case Speaking::kSubstitute: return substitute_.get();
    case Speaking::kLayer: return nullptr;
  }
  return nullptr;
}

void SynthDispatcher::TurnToSubstitute(std::string notice) {
  notice_ = std::move(notice);
  next_retry_ms_ = host_.NowMs() + kRetryMs;
  if (!substitute_) {
    substitute_ = factory_ ? factory_(voices::kVoiceEngine) : nullptr;
    if (substitute_ && !substitute_->Open(1, SubstituteRate(rate_), 0)) substitute_.reset();
  }
  speaking_ = substitute_ ? Speaking::kSubstitute : Speaking::kLayer;
}

void SynthDispatcher::TryChosenAgain() {
  if (speaking_ == Speaking::kChosen || host_.NowMs() < next_retry_ms_) return;
  next_retry_ms_ = host_.NowMs() + kRetryMs;
  if (!bridge_->Reopen()) return;
  if (substitute_) {
    substitute_->Stop();
    substitute_->Close();
    substitute_.reset();
  }
  speaking_ = Speaking::kChosen;
  notice_.clear();
}

void SynthDispatcher::SynthSpeak(std::string_view text) {
  if (!bridge_) return;
  TryChosenAgain();
  if (speaking_ == Speaking::kChosen) {
    bridge_->Speak(text);
    if (!bridge_->Lost() || !MayBeSubstituted(type_)) return;
    // The service is gone (a refused text was beeped): another voice says it.
    TurnToSubstitute(bridge_->LossNotice());
  }
  if (speaking_ == Speaking::kSubstitute) {
    if (!notice_.empty()) substitute_->Speak(notice_);
    notice_.clear();
    substitute_->Speak(text);
  }
}

bool SynthDispatcher::SynthIsSpeaking(int mode) {
  host_.PumpAllMessages();
  voices::Voice* active = Active();
  if (!active) return false;
  const bool speaking = active->IsSpeaking(mode);
  // A service lost in the middle of a text: the next text goes elsewhere.
  if (speaking_ == Speaking::kChosen && MayBeSubstituted(type_) && bridge_->Lost()) {
    TurnToSubstitute(bridge_->LossNotice());
    return false;
  }
  return speaking;
}

void SynthDispatcher::SynthStop() {
  if (voices::Voice* active = Active()) active->Stop();
}

void SynthDispatcher::SynthClose() {
  if (substitute_) {
    substitute_->Close();
    substitute_.reset();
  }
  if (bridge_) {
    bridge_->Close();
    bridge_.reset();
  }
  speaking_ = Speaking::kChosen;
  notice_.clear();
}

bool SynthDispatcher::SynthCanSpeak() {
  if (!bridge_) return true;
  TryChosenAgain();
  return speaking_ != Speaking::kLayer;
}

std::string SynthDispatcher::SynthTakeNotice() {
  if (speaking_ != Speaking::kLayer) return {};
  return std::exchange(notice_, {});
}

VoiceMaker SystemVoices(const voices::VoicePorts& ports) {
  return [ports](int type) -> std::unique_ptr<voices::Voice> {
    const voices::VoiceDriver& driver = voices::FindVoiceDriver(type);
    return driver.make != nullptr ? driver.make(ports) : nullptr;
  };
}

}  // namespace placarim::speech
