// Measures how the built-in voice sounds at each speed, from the build tree's
// real databases, rules and configuration, over the game's 73 sentences:
//
//   words a minute   words over the time a listener hears them, pauses included
//   shortest vowel   vowel left in an unstressed syllable unit after its trim
//                    (the least, the 5th percentile and the share under 30 ms);
//                    vowel is sound within 12 dB of the unit's loudest, voiced
//   stress           the median vowel of stressed and of unstressed syllables
//   join dips        joins of two units, the second starting with m n l r s z v,
//                    a vowel or a glide, where the level of 12 ms windows near
//                    the join falls more than 9 dB below both sides'
//   clicks           sample steps at a join much larger than the sound around
//                    it, per minute of speech
//
//   tradutor_voice_figures
//
// PLACARIM_SYSCONFDIR may name another configuration (and through it other
// databases) to compare.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/voices/tradutor/built_in_rig.h"
#include "game/message_catalogue.h"
#include "platform/fake/fake_platform.h"
#include "speech/speech_layer.h"
#include "voices/tradutor/diphone_synth.h"
#include "voices/tradutor/voice.h"

namespace {

namespace fs = std::filesystem;
using placarim::tradutor::DiphoneIndex;
using placarim::tradutor::DiphoneSynth;
using placarim::tradutor::DiphoneTuning;

constexpr double kRate = 11025.0;

std::vector<std::string> CatalogueSentences() {
  const char* keys[] = {"PLINIC",   "PLFIM",    "PLARQNAO", "PLNIVEL",  "PLNIVEL1", "PLNIVEL2", "PLNIVEL3",
                        "PLNIVEL4", "PLNIVEL5", "PLNIVEL6", "PLNIVEL7", "PLNIVEL8", "PLNIVEL9", "PLNIVEL0",
                        "PLDESIST", "PLDENOVO", "PLERRARQ", "PLERRMAX", "PLFASE",   "PLFIMFAS", "PLERRESP",
                        "PLERRTEC", "PLQUERTB", "PLCONFTB", "PLCNFTBG", "PLNGOL",   "PLGOL",    "PLCONFER",
                        "PLERREXP", "PLDENOV1", "PLDENOV2", "PLGANHOU", "PLTREITB", "PLUSESET", "PLAPENTR"};
  placarim::game::MessageCatalogue catalogue;
  std::vector<std::string> out;
  for (const char* key : keys) out.push_back(*catalogue.Find(key));
  for (int i = 1; i <= placarim::game::MessageCatalogue::kGoalPhraseCount; ++i) out.push_back(catalogue.GoalPhrase(i));
  for (int i = 1; i <= placarim::game::MessageCatalogue::kMissPhraseCount; ++i) out.push_back(catalogue.MissPhrase(i));
  return out;
}

int CountWords(const std::string& text) {
  int words = 0;
  bool in_word = false;
  for (unsigned char c : text) {
    const bool part = std::isalnum(c) || c >= 0xC0;
    if (part && !in_word) ++words;
    in_word = part;
  }
  return words;
}

class Capture : public placarim::tradutor::WaveBufferPlayer {
 public:
  void PlayWaveBufferWait(const std::vector<uint8_t>& image) override {
    samples.insert(samples.end(), image.begin() + 44, image.end());
  }
  std::vector<uint8_t> samples;
};

double Rms(const std::vector<uint8_t>& s, size_t begin, size_t end) {
  if (end <= begin) return 0;
  double sum = 0;
  for (size_t i = begin; i < end; ++i) sum += (double(s[i]) - 128) * (double(s[i]) - 128);
  return std::sqrt(sum / double(end - begin));
}

// Which 5 ms steps of a unit are vowel: the 12 ms around the step (longer
// than a pitch period) within 12 dB of the unit's loudest and with few zero
// crossings (voiced, not a fricative).
std::vector<bool> VowelSteps(const std::vector<uint8_t>& u, size_t step) {
  const size_t half = 66;
  std::vector<double> energy, crossings;
  for (size_t c = step / 2; c + step / 2 <= u.size(); c += step) {
    const size_t a = c > half ? c - half : 0, b = std::min(u.size(), c + half);
    energy.push_back(Rms(u, a, b));
    int z = 0;
    for (size_t i = a + 1; i < b; ++i) z += (u[i] >= 128) != (u[i - 1] >= 128);
    crossings.push_back(double(z) / double(b - a));
  }
  const double peak = energy.empty() ? 0 : *std::max_element(energy.begin(), energy.end());
  std::vector<bool> vowel(energy.size());
  for (size_t i = 0; i < energy.size(); ++i) vowel[i] = energy[i] >= peak / 4.0 && crossings[i] < 0.3;
  return vowel;
}

bool IsVowelCode(char c) { return std::strchr("AEIOU", c) != nullptr; }

// The onset part of a unit name ("$KACIRC" gives "K", "$A" gives ""), and
// whether the name ends in a vowel nucleus at all.
bool SplitSyllable(const std::string& name, std::string& onset) {
  std::string n = name.substr(1);
  for (const char* mark : {"CIRC", "TIL"}) {
    const size_t len = std::strlen(mark);
    if (n.size() > len && n.compare(n.size() - len, len, mark) == 0) n.resize(n.size() - len);
  }
  if (n.empty() || !IsVowelCode(n.back())) return false;
  n.pop_back();
  if (!n.empty() && IsVowelCode(n.back())) return false;  // a vowel-vowel unit
  onset = n;
  return true;
}

struct Event {
  std::string name;
  size_t start = 0;
  size_t length = 0;
  int mode = 0;
  double factor = 1.0;
};

struct Figures {
  double heard_seconds = 0;
  int words = 0;
  std::vector<double> unstressed_vowels_ms, stressed_vowels_ms;
  long joins = 0, continuant_joins = 0, dipping = 0, clicks = 0;
  double voice_seconds = 0;
};

void MeasureVoice(placarim::tradutor::DiphoneVoice& voice, const std::vector<std::string>& sentences, Figures& f) {
  const DiphoneIndex& index = voice.index();
  placarim::tradutor::UnitData data;
  data.Open(voice.DiphoneDirectory() + voice.DatabaseName() + ".DIF");
  Capture capture;
  placarim::tradutor::SoundBuffer buffer(capture);
  const std::string letters = voice.LettersDirectory();
  const DiphoneTuning tuning = voice.tuning();
  DiphoneSynth synth(buffer, index, data, letters, tuning);
  std::vector<Event> events;
  // Each unit where and as long as the synthesis itself plays it.
  synth.set_unit_observer([&](std::string_view name, double x, int mode, size_t bytes) {
    const size_t at = capture.samples.size() + buffer.position() - placarim::tradutor::SoundBuffer::kHeaderSize;
    events.push_back({std::string(name), at, bytes, mode, x});
  });
  const size_t frame = 55;  // 5 ms
  for (const auto& text : sentences) {
    capture.samples.clear();
    events.clear();
    synth.Speak(voice.TranslateToDiphoneCodes(text));
    const auto& s = capture.samples;
    f.voice_seconds += double(s.size()) / kRate;
    for (size_t i = 0; i < events.size(); ++i) {
      const Event& e = events[i];
      std::string onset;
      // A syllable shortened to 0.6 before a vowel-glide unit goes on in
      // that unit's vowel, so it is not counted alone.
      if (e.length > 0 && e.factor > 0.65 && SplitSyllable(e.name, onset)) {
        std::vector<uint8_t> whole;
        const auto entry = index.Find(e.name);
        data.Read(entry->offset, entry->length, whole);
        const auto vowel = VowelSteps(whole, frame);
        size_t kept = 0;
        for (size_t k = 0; k < vowel.size() && (k + 1) * frame <= e.length; ++k) kept += vowel[k] ? frame : 0;
        (e.mode == 2 ? f.stressed_vowels_ms : f.unstressed_vowels_ms).push_back(1000.0 * double(kept) / kRate);
        if (std::getenv("PLACARIM_FIGURES_LIST") && kept < 330 && e.mode != 2) {
          std::printf("  short %s mode %d played %zu of %u: vowel %.0f ms\n", e.name.c_str(), e.mode, e.length,
                      unsigned(entry->length), 1000.0 * double(kept) / kRate);
        }
      }
      if (i + 1 == events.size()) continue;
      const Event& n = events[i + 1];
      if (e.length == 0 || n.length == 0 || e.start + e.length != n.start || n.start >= s.size()) continue;
      ++f.joins;
      const size_t j = n.start;
      // A click: the step across the join well above every step near it.
      const double step = std::abs(double(s[j]) - double(s[j - 1]));
      double around = 0;
      for (size_t k = j >= 12 ? j - 11 : 1; k < std::min(s.size(), j + 12); ++k) {
        if (k != j) around = std::max(around, std::abs(double(s[k]) - double(s[k - 1])));
      }
      if (step >= 12 && step > 3 * around) {
        ++f.clicks;
        if (std::getenv("PLACARIM_FIGURES_LIST")) {
          std::printf("  click %s|%s played %zu step %.0f around %.0f\n", e.name.c_str(), n.name.c_str(), e.length,
                      step, around);
        }
      }
      const char first = n.name.size() > 1 ? n.name[1] : ' ';
      if (!std::strchr("MNLRSZVAEIOUWY", first)) continue;
      ++f.continuant_joins;
      // Windows of 12 ms, longer than a pitch period, so the pulses of the
      // voice do not count as dips.
      const size_t side = 220, window = 132;
      const double before = Rms(s, j - std::min(side, e.length), j);
      const double after = Rms(s, j, std::min(j + std::min(side, n.length), s.size()));
      double least = 1e9;
      for (size_t k = j >= 110 ? j - 110 : 0; k + window <= std::min(s.size(), j + 110); k += 11) {
        least = std::min(least, Rms(s, k, k + window));
      }
      const double level = std::min(before, after);
      if (level > 2 && 20 * std::log10(level / std::max(least, 0.5)) > 9) {
        ++f.dipping;
        if (std::getenv("PLACARIM_FIGURES_LIST")) {
          std::printf("  dip %s|%s %.1f dB (before %.1f after %.1f least %.1f)\n", e.name.c_str(), n.name.c_str(),
                      20 * std::log10(level / std::max(least, 0.5)), before, after, least);
        }
      }
    }
  }
}

}  // namespace

int main() {
  ::setenv("PLACARIM_SYSCONFDIR", PLACARIM_BUILD_ETC_DIR, 0);
  const auto sentences = CatalogueSentences();
  std::printf("%zu sentences\n", sentences.size());
  std::printf("speed  words/min  vowel min  vowel p5  under 30ms  stressed/unstressed  dips>9dB        clicks/min\n");
  for (int speed = 1; speed <= 5; ++speed) {
    BuiltInRig rig;
    if (!rig.Start(speed)) {
      std::fprintf(stderr, "the built-in voice did not open at speed %d\n", speed);
      return 1;
    }
    Figures f;
    for (size_t i = 0; i < sentences.size(); ++i) {
      rig.fake.audio.written.clear();
      rig.layer.speech.Text().SpeakText(sentences[i]);
      // From the first block to the end of the last on the device's clock:
      // the pauses the speech layer waits out are heard too.
      const auto& blocks = rig.fake.audio.written;
      if (!blocks.empty()) {
        const double end_ms = double(blocks.back().written_ms) + double(blocks.back().bytes.size()) * 1000.0 / kRate;
        f.heard_seconds += (end_ms - double(blocks.front().written_ms)) / 1000.0;
      }
      f.words += CountWords(sentences[i]);
    }
    MeasureVoice(rig.voice, sentences, f);
    auto& v = f.unstressed_vowels_ms;
    std::sort(v.begin(), v.end());
    const double least = v.empty() ? 0 : v.front();
    const double p5 = v.empty() ? 0 : v[v.size() / 20];
    const double under = v.empty() ? 0 : 100.0 * double(std::lower_bound(v.begin(), v.end(), 30.0) - v.begin()) / double(v.size());
    auto median = [](std::vector<double> m) {
      std::sort(m.begin(), m.end());
      return m.empty() ? 0.0 : m[m.size() / 2];
    };
    std::printf("%5d  %9.0f  %6.0f ms  %5.0f ms  %8.1f %%  %7.0f / %3.0f ms     %5.1f %% of %4ld  %7.1f\n", speed,
                60.0 * f.words / f.heard_seconds, least, p5, under, median(f.stressed_vowels_ms), median(v),
                100.0 * double(f.dipping) / double(std::max(1L, f.continuant_joins)), f.continuant_joins,
                double(f.clicks) / (f.voice_seconds / 60.0));
  }
  return 0;
}
