#include "speech/synth_dispatcher.h"

#include "speech/synth_espeak.h"
#include "speech/synth_speechd.h"

namespace placarim::speech {

SynthDispatcher::SynthDispatcher(SynthHost& host, SynthBridgeFactory factory)
    : host_(host), factory_(std::move(factory)) {}

SynthDispatcher::~SynthDispatcher() { SynthClose(); }

bool SynthDispatcher::SynthOpen(int voice, int rate, int pitch, int type) {
  type_ = type;
  SynthClose();
  std::unique_ptr<SynthBridge> bridge = factory_ ? factory_(type) : nullptr;
  if (!bridge || !bridge->Open(voice, rate, pitch)) return false;
  bridge_ = std::move(bridge);
  for (int waited = 0; SynthIsSpeaking(1); waited += kOpenPollMs) {
    if (waited >= kOpenSilenceLimitMs) {
      bridge_->Stop();
      break;
    }
    host_.Delay(kOpenPollMs);
  }
  return true;
}

void SynthDispatcher::SynthSpeak(std::string_view text) {
  if (bridge_) bridge_->Speak(text);
}

bool SynthDispatcher::SynthIsSpeaking(int mode) {
  host_.PumpAllMessages();
  return bridge_ && bridge_->IsSpeaking(mode);
}

void SynthDispatcher::SynthStop() {
  if (bridge_) bridge_->Stop();
}

void SynthDispatcher::SynthClose() {
  if (!bridge_) return;
  bridge_->Close();
  bridge_.reset();
}

SynthBridgeFactory SystemSynthBridges(SynthHost& host, SynthAudio& audio, IlvraSettings ilvra) {
  return [&host, &audio, ilvra = std::move(ilvra)](int type) -> std::unique_ptr<SynthBridge> {
    switch (type) {
      case kSynthSecondVoice:
        return std::make_unique<IlvraBridge>(host, audio, ilvra);
      case kSynthService:
      case kSynthServiceAlt:
        return std::make_unique<SpeechServiceBridge>(host);
      default:
        return std::make_unique<EspeakBridge>(host, audio);
    }
  };
}

}  // namespace placarim::speech
