#include "tools/difones/espeak_cutter.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

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

std::optional<std::vector<uint8_t>> EspeakCutter::Cut(const UnitRecipe& r, double vowel_cap_ms,
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
  const size_t first_start = u.phonemes[r.first].start;
  const size_t first_end = u.phonemes[r.first + 1].start;
  const size_t begin = first_start + static_cast<size_t>(r.start_fraction * double(first_end - first_start));
  size_t end = std::min(u.phonemes[r.first + r.count].start, u.samples.size());
  if (r.ends_in_vowel) {
    const size_t last_start = u.phonemes[r.first + r.count - 1].start;
    const auto cap = static_cast<size_t>(vowel_cap_ms * u.sample_rate / 1000.0);
    end = std::min(end, std::max(last_start + cap, begin + 1));
  }
  if (end <= begin + 8) {
    why = "empty cut in " + r.carrier;
    return std::nullopt;
  }
  return ToUnitSamples(u.samples, begin, end, u.sample_rate);
}

std::vector<uint8_t> ToUnitSamples(const std::vector<int16_t>& s, size_t begin, size_t end, int rate) {
  const int step = std::max(1, rate / 11025);
  auto at = [&s](size_t i) { return i < s.size() ? double(s[i]) : 0.0; };
  std::vector<uint8_t> out;
  for (size_t i = begin; i < end; i += step) {
    const double v = step == 2 ? (at(i - (i > 0)) + 2 * at(i) + at(i + 1)) / 4.0 : at(i);
    out.push_back(0);
    out.back() = static_cast<uint8_t>(std::clamp(std::lround(v / 220.0) + 128, 0L, 255L));
  }
  // Fades of 2 ms in and 4 ms out.
  const size_t fade_in = std::min<size_t>(22, out.size() / 4);
  const size_t fade_out = std::min<size_t>(44, out.size() / 4);
  for (size_t i = 0; i < fade_in; ++i) {
    out[i] = static_cast<uint8_t>(128 + (out[i] - 128) * double(i) / double(fade_in));
  }
  for (size_t i = 0; i < fade_out; ++i) {
    uint8_t& b = out[out.size() - 1 - i];
    b = static_cast<uint8_t>(128 + (b - 128) * double(i) / double(fade_out));
  }
  return out;
}

}  // namespace placarim::difones
