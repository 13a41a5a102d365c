#include "tools/soundkit/espeak_voice.h"

#include <espeak-ng/speak_lib.h>

namespace placarim::soundkit {
namespace {

// The library's state is global and its callback takes no context of ours,
// so the one open voice and the utterance being collected live here.
bool g_library_in_use = false;
std::vector<float>* g_collecting = nullptr;

// Called by the library, synchronously inside espeak_Synth, with each block
// of 16-bit samples.
int CollectSamples(short* wav, int count, espeak_EVENT* /*events*/) {
  if (wav == nullptr || count <= 0 || g_collecting == nullptr) return 0;
  for (int i = 0; i < count; ++i) g_collecting->push_back(static_cast<float>(wav[i]) / 32768.0f);
  return 0;
}

}  // namespace

EspeakVoice::~EspeakVoice() {
  if (open_) {
    espeak_Terminate();
    g_library_in_use = false;
  }
}

std::string EspeakVoice::Open(const std::string& voice) {
  if (open_) return {};
  if (g_library_in_use) return "espeak-ng is already in use by another voice";
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 500, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) return "espeak-ng could not start (is espeak-ng-data installed?)";
  g_library_in_use = true;
  open_ = true;
  sample_rate_ = rate;
  espeak_SetSynthCallback(CollectSamples);
  if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) return "espeak-ng has no voice named \"" + voice + "\"";
  return {};
}

std::string EspeakVoice::Speak(std::string_view text, int words_per_minute, std::vector<float>& samples) {
  samples.clear();
  if (!open_) return "espeak-ng is not open";
  espeak_SetParameter(espeakRATE, words_per_minute, 0);
  const std::string zero_terminated(text);
  g_collecting = &samples;
  const espeak_ERROR result = espeak_Synth(zero_terminated.c_str(), zero_terminated.size() + 1, 0, POS_CHARACTER, 0,
                                           espeakCHARS_UTF8, nullptr, nullptr);
  const espeak_ERROR finished = result == EE_OK ? espeak_Synchronize() : result;
  g_collecting = nullptr;
  if (result != EE_OK) return "espeak-ng refused the text (error " + std::to_string(result) + ")";
  if (finished != EE_OK) return "espeak-ng did not finish the text";
  return {};
}

}  // namespace placarim::soundkit
