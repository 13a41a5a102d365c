// The table of voices, one entry per driver this build holds.
#include <algorithm>
#include <array>

#include "voices/voice.h"
#include "voices/ilvra/synth_ilvra.h"
#if PLACARIM_WITH_ENGINES
#include "voices/espeak/synth_espeak.h"
#else
#include "voices/browser/browser_voice.h"
#endif
#if PLACARIM_WITH_SPEECHD
#include "voices/speechd/synth_speechd.h"
#endif

namespace placarim::voices {
namespace {

std::unique_ptr<Voice> MakeIlvra(const VoicePorts& ports) {
  const IlvraSettings settings =
      ports.settings != nullptr ? ReadIlvraSettings(*ports.settings) : IlvraSettings{};
  return std::make_unique<IlvraBridge>(ports.loop, ports.sound, settings);
}

#if PLACARIM_WITH_ENGINES

std::unique_ptr<Voice> MakeEngine(const VoicePorts& ports) {
  return std::make_unique<EspeakBridge>(ports.loop, ports.sound);
}

constexpr VoiceFlags kSynthesizer{.reads_numbers_itself = true};

#else

std::unique_ptr<Voice> MakeBrowser(const VoicePorts&) { return std::make_unique<browser::BrowserVoice>(); }

#endif

#if PLACARIM_WITH_SPEECHD
std::unique_ptr<Voice> MakeService(const VoicePorts& ports) {
  return std::make_unique<SpeechServiceBridge>(ports.loop);
}

constexpr VoiceFlags kService{.reads_numbers_itself = true, .may_be_substituted = true};
#endif

const auto kDrivers = std::to_array<VoiceDriver>({
#if PLACARIM_WITH_ENGINES
    {kVoiceEngine, "espeak-ng", kSynthesizer, MakeEngine},
#else
    // In a web page the browser's voice stands for every external type. It
    // takes text whole, and a key cancels it even when it reports silence, as
    // the browser may still be about to start an utterance.
    {kVoiceBrowser, "browser", {.reads_numbers_itself = true, .stop_when_quiet = true}, MakeBrowser},
#endif
    // The Ilvra voice, whose engine the browser build links in.
    {kVoiceIlvra, "Ilvra", {.reads_numbers_itself = true, .stop_when_quiet = true}, MakeIlvra},
    {kVoiceBuiltIn, "built-in diphone voice", {.blocks_until_heard = true}, nullptr},
#if PLACARIM_WITH_SPEECHD
    {kVoiceService, "speech-dispatcher", kService, MakeService},
    {kVoiceServiceAlt, "speech-dispatcher", kService, MakeService},
#endif
});

}  // namespace

std::span<const VoiceDriver> VoiceDrivers() { return kDrivers; }

const VoiceDriver& FindVoiceDriver(int type) {
  const auto* found = std::find_if(kDrivers.begin(), kDrivers.end(), [type](const VoiceDriver& d) { return d.type == type; });
  return found != kDrivers.end() ? *found : kDrivers.front();
}

}  // namespace placarim::voices
