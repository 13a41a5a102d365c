#include "tools/difones/espeak_cutter.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "tools/difones/unit_samples.h"

namespace placarim::difones {
namespace {

Utterance* g_current = nullptr;  // the library's callback has no user pointer of ours

int OnSynth(short* wav, int count, espeak_EVENT* events) {
  if (!g_current) return 0;
  if (wav && count > 0) g_current->samples.insert(g_current->samples.end(), wav, wav + count);
  for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    if (e->type != espeakEVENT_PHONEME) continue;
    char name[9] = {0};
    std::memcpy(name, e->id.string, 8);
    g_current->phonemes.push_back({name, static_cast<size_t>(std::max(0, e->sample))});
  }
  return 0;
}

// ";" marks palatalisation of the phoneme before it and "_" pauses: neither
// is a phoneme of a unit.
bool IsMarker(const std::string& name) { return name == ";" || name.empty() || name[0] == '_'; }

}  // namespace

bool EspeakCutter::Start() {
  sample_rate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_PHONEME_EVENTS);
  if (sample_rate_ <= 0) return false;
  if (espeak_SetVoiceByName("pt-br") != EE_OK) return false;
  espeak_SetSynthCallback(OnSynth);
  espeak_SetParameter(espeakPITCH, 45, 0);
  espeak_SetParameter(espeakRANGE, 0, 0);  // flat pitch: units join without jumps
  return true;
}

void EspeakCutter::SetRate(int words_per_minute) { espeak_SetParameter(espeakRATE, words_per_minute, 0); }

Utterance EspeakCutter::Synthesize(const std::string& phoneme_input) {
  Utterance u;
  u.sample_rate = sample_rate_;
  g_current = &u;
  const std::string text = "[[" + phoneme_input + "]]";
  espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_AUTO | espeakPHONEMES,
               nullptr, nullptr);
  espeak_Synchronize();
  g_current = nullptr;
  std::vector<Phoneme> kept;
  for (auto& p : u.phonemes) {
    if (!IsMarker(p.name)) kept.push_back(std::move(p));
  }
  // The end of the speech closes the last phoneme.
  kept.push_back({"_", u.samples.size()});
  u.phonemes = std::move(kept);
  return u;
}

std::optional<std::vector<uint8_t>> EspeakCutter::Cut(const UnitRecipe& r, double vowel_cap_ms, size_t trim,
                                                     std::string& why) {
  const Utterance u = Synthesize(r.carrier);
  if (u.phonemes.size() != r.phonemes.size() + 1) {
    why = "espeak-ng reported " + std::to_string(u.phonemes.size() - 1) + " phonemes for " + r.carrier;
    return std::nullopt;
  }
  for (size_t i = 0; i < r.phonemes.size(); ++i) {
    if (u.phonemes[i].name != r.phonemes[i]) {
      why = "phoneme " + u.phonemes[i].name + " where " + r.phonemes[i] + " was meant in " + r.carrier;
      return std::nullopt;
    }
  }
  // Cut in the converted utterance, so the converter's filter sees the
  // sound on both sides of each cut.
  const auto converted = ToUnitRate(u.samples, u.sample_rate);
  auto at = [&](size_t i) { return i * kUnitRate / size_t(u.sample_rate); };
  const size_t first_start = u.phonemes[r.first].start;
  const size_t first_end = u.phonemes[r.first + 1].start;
  size_t begin = at(first_start + static_cast<size_t>(r.start_fraction * double(first_end - first_start)));
  size_t end = at(std::min(u.phonemes[r.first + r.count].start, u.samples.size()));
  if (r.ends_in_vowel) {
    const size_t last_start = at(u.phonemes[r.first + r.count - 1].start);
    const auto cap = static_cast<size_t>(vowel_cap_ms * kUnitRate / 1000.0);
    end = std::min(end, std::max(last_start + cap, begin + 1));
  }
  // A unit never ends in silence (espeak-ng reports some phonemes after
  // the sound has stopped): it would be a gap inside a word.
  auto quiet = [&](size_t point) {
    double sum = 0;
    for (size_t i = point - 55; i < point; ++i) sum += double(converted[i]) * double(converted[i]);
    return sum / 55.0 < 220.0 * 220.0;
  };
  while (end > begin + 110 && end <= converted.size() && quiet(end)) end -= 55;
  // Within 2 ms of each cut, the rising zero crossing: units meet on the
  // middle line, and a fade of under a millisecond is enough against clicks.
  begin = NearestRisingCrossing(converted, begin, 22);
  end = trim > 0 && end > begin + trim + 132 ? EndForTrim(converted, end, trim) : NearestRisingCrossing(converted, end, 22);
  if (end <= begin + 8) {
    why = "empty cut in " + r.carrier;
    return std::nullopt;
  }
  return ToUnitBytes(converted, begin, end, 8);
}

}  // namespace placarim::difones
