// Makes the Ilvra engine's diphone database and its diphone list from
// espeak-ng's Brazilian Portuguese voice: a female variant at a flat pitch
// near 230 Hz speaks every pair of phonemes (with phoneme input), its
// phoneme events tell where each phoneme starts, and each diphone is cut
// between the steady middles of its two phonemes.
//
//   ilvra_make_voice DATABASE DIPHONE-LIST
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tools/ilvra_voice/voice_cutter.h"
#include "tools/soundkit/resampler.h"

namespace {

using placarim::ilvra_voice::DatabaseBuilder;
using placarim::ilvra_voice::Phonemes;
using placarim::ilvra_voice::Spoken;

constexpr int kRate = 16000;
constexpr const char* kVoice = "pt-br+f3";
constexpr int kEspeakPitch = 74;  // about 230 Hz with this variant
constexpr size_t kChunk = 24;     // phonemes per carrier utterance

struct Raw {
  std::vector<int16_t> samples;
  std::vector<std::pair<std::string, size_t>> events;
};
Raw* current = nullptr;

int OnSynth(short* wav, int count, espeak_EVENT* events) {
  if (!current) return 0;
  if (wav && count > 0) current->samples.insert(current->samples.end(), wav, wav + count);
  for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    if (e->type != espeakEVENT_PHONEME) continue;
    char name[9] = {0};
    std::memcpy(name, e->id.string, 8);
    current->events.emplace_back(name, static_cast<size_t>(std::max(0, e->sample)));
  }
  return 0;
}

int espeak_rate = 0;

// Speaks `phonemes` (indices into Phonemes()) as one utterance. False when
// espeak-ng reports other phonemes than were asked for.
// espeak-ng's other glide: after l, j is swallowed by the l.
std::string Mnemonic(int phoneme, bool alternative) {
  const auto& p = Phonemes()[static_cast<size_t>(phoneme)];
  return alternative && p.name == "y" ? "y" : std::string(p.espeak);
}

bool Speak(const std::vector<int>& phonemes, Spoken& spoken, std::string& why, bool alternative = false) {
  std::string input = "[[";
  for (size_t i = 0; i < phonemes.size(); ++i) {
    const auto& p = Phonemes()[static_cast<size_t>(phonemes[i])];
    input += (i ? "|" : "") + std::string(p.vowel ? "'" : "") + Mnemonic(phonemes[i], alternative);
  }
  input += "]]";
  Raw raw;
  current = &raw;
  espeak_Synth(input.c_str(), input.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_AUTO | espeakPHONEMES, nullptr,
               nullptr);
  espeak_Synchronize();
  current = nullptr;
  std::vector<size_t> starts;
  size_t end = raw.samples.size();
  for (const auto& [name, at] : raw.events) {
    if (name == ";" || name.empty()) continue;
    if (name[0] == '_') {
      if (starts.size() == phonemes.size()) end = std::min(end, at);
      continue;
    }
    if (starts.size() >= phonemes.size() || name != Mnemonic(phonemes[starts.size()], alternative)) {
      why = "espeak-ng said " + name + " in " + input;
      return false;
    }
    starts.push_back(at);
  }
  if (starts.size() != phonemes.size()) {
    why = "espeak-ng said fewer phonemes in " + input;
    return false;
  }
  std::vector<float> in(raw.samples.begin(), raw.samples.end());
  const std::vector<float> out = placarim::soundkit::Resample(in, espeak_rate, kRate);
  const double scale = double(kRate) / espeak_rate;
  spoken.samples.resize(out.size());
  for (size_t i = 0; i < out.size(); ++i) {
    spoken.samples[i] = static_cast<int16_t>(std::clamp(std::lround(out[i]), -32768L, 32767L));
  }
  spoken.phonemes = phonemes;
  spoken.starts.clear();
  for (size_t s : starts) spoken.starts.push_back(static_cast<size_t>(std::lround(double(s) * scale)));
  spoken.end = std::min(spoken.samples.size(), static_cast<size_t>(std::lround(double(end) * scale)));
  return true;
}

// Pairs the walk lost, each spoken between two a's (the carrier vowel `a`);
// gives the count still missing.
int AddLostPairs(DatabaseBuilder& builder, int a, std::string& why) {
  const auto& phonemes = Phonemes();
  const int n = static_cast<int>(phonemes.size());
  int missing = 0;
  for (int l = 0; l < n; ++l) {
    for (int r = 0; r < n; ++r) {
      if (builder.Has(l, r)) continue;
      Spoken s;
      if (Speak({a, l, r, a}, s, why)) builder.AddDiphones(s, false);
      if (!builder.Has(l, r) && Speak({a, l, r, a}, s, why, true)) builder.AddDiphones(s, false);
      if (!builder.Has(l, r)) {
        const std::string pair = std::string(phonemes[l].name) + "-" + std::string(phonemes[r].name);
        std::fprintf(stderr, "no diphone %s: %s\n", pair.c_str(), why.c_str());
        ++missing;
      }
    }
  }
  return missing;
}

// The database image and its diphone list; false when either could not be written.
bool WriteVoice(const placarim::mbr::VoiceDatabase& db, const char* database_path, const char* list_path) {
  const std::vector<uint8_t> image = placarim::mbr::SerializeDatabase(db);
  std::ofstream out(database_path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  std::ofstream list(list_path, std::ios::trunc);
  list << "; Diphones of the Ilvra voice database, one pair a line.\n";
  for (const auto& d : db.diphones) list << db.phonemes[d.left] << ' ' << db.phonemes[d.right] << '\n';
  out.close();
  list.close();
  if (!out || !list) {
    std::fprintf(stderr, "cannot write %s or %s\n", database_path, list_path);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATABASE DIPHONE-LIST\n", argv[0]);
    return 2;
  }
  espeak_rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_PHONEME_EVENTS);
  if (espeak_rate <= 0 || espeak_SetVoiceByName(kVoice) != EE_OK) {
    std::fprintf(stderr, "espeak-ng or its voice %s is missing\n", kVoice);
    return 1;
  }
  espeak_SetSynthCallback(OnSynth);
  espeak_SetParameter(espeakPITCH, kEspeakPitch, 0);
  espeak_SetParameter(espeakRANGE, 0, 0);
  espeak_SetParameter(espeakVOLUME, 70, 0);

  const auto& phonemes = Phonemes();
  const int a = 23;  // "a", the carrier vowel
  if (phonemes[a].name != "a") return 1;
  std::string why;
  Spoken held;
  if (!Speak({a}, held, why)) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
  }
  const double period = placarim::ilvra_voice::MeasurePeriod(held.samples, held.starts[0] + held.end / 4,
                                                             held.starts[0] + held.end * 3 / 4, kRate / 400,
                                                             kRate / 150);
  DatabaseBuilder builder(kRate, period);
  const int n = static_cast<int>(phonemes.size());
  // Each phoneme alone: its diphones with silence.
  for (int p = 0; p < n; ++p) {
    Spoken s;
    if (Speak({p}, s, why)) builder.AddDiphones(s, true);
    else std::fprintf(stderr, "%s\n", why.c_str());
  }
  // Every pair, in carrier utterances cut from one walk over all pairs.
  const std::vector<int> walk = placarim::ilvra_voice::EveryPairWalk(n);
  for (size_t from = 0; from + 1 < walk.size(); from += kChunk - 1) {
    const size_t to = std::min(walk.size(), from + kChunk);
    Spoken s;
    if (Speak(std::vector<int>(walk.begin() + static_cast<std::ptrdiff_t>(from),
                               walk.begin() + static_cast<std::ptrdiff_t>(to)), s, why)) {
      builder.AddDiphones(s, false);
    } else {
      std::fprintf(stderr, "%s\n", why.c_str());
    }
  }
  const int missing = AddLostPairs(builder, a, why);
  const placarim::mbr::VoiceDatabase db = builder.Finish();
  if (!WriteVoice(db, argv[1], argv[2])) return 1;
  std::printf("Ilvra voice: %zu diphones, %zu samples, pitch %.1f Hz, %d missing\n", db.diphones.size(),
              db.samples.size(), kRate / period, missing);
  return 0;
}
