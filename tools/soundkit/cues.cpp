#include "tools/soundkit/cues.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/soundkit/synth_parts.h"
#include "tools/soundkit/word_shaping.h"

namespace placarim::soundkit {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr float kCuePeak = 0.8f;

// Notes as semitones from A4.
enum Note : int {
  G2 = -26, C3 = -21, E3 = -17, G3 = -14, C4 = -9, E4 = -5, G4 = -2,
  B4 = 2, C5 = 3, D5 = 5, E5 = 7, F5 = 8, G5 = 10, A5 = 12, C6 = 15,
};

struct Played {
  double start;
  double seconds;
  int note;
  double amplitude;
  Timbre timbre;
};

std::vector<float> Play(std::initializer_list<Played> notes, int rate) {
  std::vector<float> out;
  for (const Played& n : notes) AddNote(out, rate, n.start, n.seconds, NoteHz(n.note), n.amplitude, n.timbre);
  return out;
}

// A short low drum hit under the jingles' beats.
std::vector<float> Thump(int rate, double seconds, double base_hz, double sweep_hz) {
  std::vector<float> out(static_cast<size_t>(seconds * rate));
  double phase = 0.0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    phase += kTwoPi * (base_hz + sweep_hz * std::exp(-t / 0.03)) / rate;
    out[i] = static_cast<float>(std::sin(phase) * std::exp(-t / 0.07) * std::min(1.0, t / 0.002));
  }
  return out;
}

// Filtered noise with an exponential decay: the slap of leather, a clap.
std::vector<float> NoiseBurst(Random& random, int rate, double seconds, double decay, Biquad filter) {
  std::vector<float> out(static_cast<size_t>(seconds * rate));
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    out[i] = filter.Process(static_cast<float>(random.Noise() * std::exp(-t / decay)));
  }
  return out;
}

void AddBeats(std::vector<float>& out, int rate, std::initializer_list<double> times) {
  const std::vector<float> beat = Thump(rate, 0.18, 60.0, 90.0);
  for (double t : times) MixAt(out, beat, static_cast<size_t>(t * rate), 0.35f);
}

std::vector<float> StartJingle(int rate) {
  auto out = Play({
      {0.00, 0.15, C5, 0.5, Timbre::kLead}, {0.16, 0.15, E5, 0.5, Timbre::kLead},
      {0.32, 0.15, G5, 0.5, Timbre::kLead}, {0.48, 0.30, C6, 0.5, Timbre::kLead},
      {0.80, 0.15, G5, 0.5, Timbre::kLead}, {0.96, 0.70, C6, 0.55, Timbre::kLead},
      {0.96, 0.70, E5, 0.25, Timbre::kBrass}, {0.96, 0.70, G5, 0.25, Timbre::kBrass},
      {0.00, 0.30, C3, 0.5, Timbre::kPluck}, {0.32, 0.30, G2, 0.5, Timbre::kPluck},
      {0.64, 0.30, C3, 0.5, Timbre::kPluck}, {0.96, 0.70, C3, 0.5, Timbre::kPluck},
  }, rate);
  AddBeats(out, rate, {0.0, 0.32, 0.64, 0.96});
  return out;
}

std::vector<float> EndJingle(int rate) {
  auto out = Play({
      {0.00, 0.16, G4, 0.5, Timbre::kLead}, {0.18, 0.16, C5, 0.5, Timbre::kLead},
      {0.36, 0.16, E5, 0.5, Timbre::kLead}, {0.54, 0.16, G5, 0.5, Timbre::kLead},
      {0.72, 0.12, E5, 0.5, Timbre::kLead}, {0.86, 0.45, G5, 0.5, Timbre::kLead},
      {1.36, 0.12, D5, 0.5, Timbre::kLead}, {1.50, 0.12, F5, 0.5, Timbre::kLead},
      {1.64, 0.12, A5, 0.5, Timbre::kLead}, {1.78, 0.16, B4 + 12, 0.5, Timbre::kLead},
      {1.96, 0.80, C6, 0.55, Timbre::kLead},
      {1.96, 0.80, C5, 0.22, Timbre::kBrass}, {1.96, 0.80, E5, 0.22, Timbre::kBrass},
      {1.96, 0.80, G5, 0.22, Timbre::kBrass},
      {0.00, 0.34, C3, 0.5, Timbre::kPluck}, {0.36, 0.34, E3, 0.5, Timbre::kPluck},
      {0.72, 0.60, G3, 0.5, Timbre::kPluck}, {1.36, 0.56, G2, 0.5, Timbre::kPluck},
      {1.96, 0.80, C3, 0.5, Timbre::kPluck},
  }, rate);
  AddBeats(out, rate, {0.0, 0.36, 0.72, 1.36, 1.64, 1.96});
  return out;
}

// "Ta-ta-ta-taaam": brass with the fifth below.
std::vector<float> Fanfare(int rate) {
  return Play({
      {0.00, 0.13, G4, 0.5, Timbre::kBrass}, {0.00, 0.13, C4, 0.3, Timbre::kBrass},
      {0.16, 0.13, G4, 0.5, Timbre::kBrass}, {0.16, 0.13, C4, 0.3, Timbre::kBrass},
      {0.32, 0.13, G4, 0.5, Timbre::kBrass}, {0.32, 0.13, C4, 0.3, Timbre::kBrass},
      {0.48, 0.80, C5, 0.5, Timbre::kBrass}, {0.48, 0.80, E4, 0.3, Timbre::kBrass},
      {0.48, 0.80, G4, 0.3, Timbre::kBrass},
  }, rate);
}

// "Ta-daa", over before the sum is read.
std::vector<float> ShortFanfare(int rate) {
  return Play({
      {0.00, 0.12, C5, 0.5, Timbre::kBrass}, {0.00, 0.12, G4, 0.3, Timbre::kBrass},
      {0.14, 0.40, G5, 0.5, Timbre::kBrass}, {0.14, 0.40, E5, 0.3, Timbre::kBrass},
  }, rate);
}

// "Ta-ta-ta-taam", between the two.
std::vector<float> MediumFanfare(int rate) {
  return Play({
      {0.00, 0.12, E5, 0.5, Timbre::kBrass}, {0.00, 0.12, C5, 0.3, Timbre::kBrass},
      {0.14, 0.12, E5, 0.5, Timbre::kBrass}, {0.14, 0.12, C5, 0.3, Timbre::kBrass},
      {0.28, 0.12, G5, 0.5, Timbre::kBrass}, {0.28, 0.12, E5, 0.3, Timbre::kBrass},
      {0.42, 0.50, C6, 0.5, Timbre::kBrass}, {0.42, 0.50, G5, 0.3, Timbre::kBrass},
      {0.42, 0.50, E5, 0.3, Timbre::kBrass},
  }, rate);
}

// A boot meets the ball: a low, fast-falling thump and a slap of leather.
std::vector<float> Kick(int rate) {
  Random random(0x4B49434BULL);
  std::vector<float> out = Thump(rate, 0.28, 55.0, 130.0);
  MixAt(out, NoiseBurst(random, rate, 0.06, 0.012, Biquad::BandPass(1500, 1.2, rate)), 0, 2.0f);
  return out;
}

// A woodblock: two damped partials and a tiny click, about 50 ms.
std::vector<float> Tick(int rate) {
  Random random(0x5449434BULL);
  std::vector<float> out(static_cast<size_t>(0.05 * rate));
  Biquad click = Biquad::HighPass(3000, 0.7, rate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double body = 0.6 * std::sin(kTwoPi * 2200 * t) * std::exp(-t / 0.008) +
                        0.3 * std::sin(kTwoPi * 3700 * t) * std::exp(-t / 0.005) +
                        0.2 * std::sin(kTwoPi * 900 * t) * std::exp(-t / 0.012);
    const double transient = t < 0.002 ? random.Noise() : 0.0;
    out[i] = static_cast<float>(body + 0.4 * click.Process(static_cast<float>(transient)));
  }
  return out;
}

// Formant frequencies of the crowd's vowel at time t: "u", gliding to a
// wide-open "a", and closing back to "u".
struct Formants {
  double f1, f2;
};

Formants UauVowel(double t) {
  const Formants u{330, 800}, a{780, 1250};
  const auto mix = [&](double w) { return Formants{u.f1 + (a.f1 - u.f1) * w, u.f2 + (a.f2 - u.f2) * w}; };
  if (t < 0.18) return u;
  if (t < 0.45) return mix((t - 0.18) / 0.27);
  if (t < 0.85) return a;
  if (t < 1.15) return mix(1.0 - (t - 0.85) / 0.30);
  return u;
}

std::vector<float> Crowd(int rate) {
  Random random(0x55415521ULL);
  constexpr double kSeconds = 1.45;
  constexpr int kVoices = 60;
  const auto n = static_cast<size_t>(kSeconds * rate);
  std::vector<float> source(n, 0.0f);
  for (int v = 0; v < kVoices; ++v) {
    const double f0 = random.Uniform(110.0, 270.0);
    const double onset = random.Uniform(0.0, 0.15);
    const double glide = random.Uniform(0.05, 0.25);  // voices rise as they cheer
    const double level = random.Uniform(0.5, 1.0);
    double phase = random.Uniform();
    for (size_t i = static_cast<size_t>(onset * rate); i < n; ++i) {
      const double t = static_cast<double>(i) / rate;
      const double rise = 1.0 + glide * std::sin(std::numbers::pi * std::min(1.0, t / kSeconds));
      phase += f0 * rise / rate;
      phase -= std::floor(phase);
      source[i] += static_cast<float>(level * (2.0 * phase - 1.0));
    }
  }
  Biquad f1, f2, f3 = Biquad::BandPass(2600, 4.0, rate);
  // Many voices far away: the highs of the raw voices are lost in the air.
  Biquad distance = Biquad::LowPass(3200, 0.7, rate);
  std::vector<float> out(n);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    if (i % 32 == 0) {
      const Formants f = UauVowel(t);
      f1.Retune(Biquad::BandPass(f.f1, 5.0, rate));
      f2.Retune(Biquad::BandPass(f.f2, 6.0, rate));
    }
    const float x = source[i] + static_cast<float>(random.Noise() * 6.0);
    const double swell = std::min(1.0, t / 0.25) * std::min(1.0, (kSeconds - t) / 0.45);
    const float voiced = f1.Process(x) + 0.6f * f2.Process(x) + 0.15f * f3.Process(x);
    out[i] = static_cast<float>(swell * distance.Process(voiced));
  }
  return out;
}

std::vector<float> Applause(int rate) {
  Random random(0x434C4150ULL);
  constexpr double kSeconds = 2.4;
  constexpr int kClappers = 70;  // enough that the claps never leave a gap
  std::vector<float> out(static_cast<size_t>(kSeconds * rate), 0.0f);
  for (int c = 0; c < kClappers; ++c) {
    const double centre = random.Uniform(900.0, 2300.0);
    const double period = 1.0 / random.Uniform(3.5, 5.5);
    const double level = random.Uniform(0.4, 1.0);
    for (double t = random.Uniform(0.0, 0.2); t < kSeconds - 0.05; t += period * random.Uniform(0.85, 1.15)) {
      const double fade = std::min(1.0, (kSeconds - t) / 0.7);
      const auto clap = NoiseBurst(random, rate, 0.035, 0.008, Biquad::BandPass(centre, 1.5, rate));
      MixAt(out, clap, static_cast<size_t>(t * rate), static_cast<float>(level * fade));
    }
  }
  out.resize(static_cast<size_t>(kSeconds * rate));
  return out;
}

// A pea whistle: a high tone warbling as the pea spins, with breath noise;
// one short blast and one long, "fi-fiiii".
std::vector<float> Whistle(int rate) {
  Random random(0x57484953ULL);
  struct Blast {
    double start, seconds;
  };
  constexpr Blast kBlasts[] = {{0.0, 0.18}, {0.26, 0.62}};
  std::vector<float> out(static_cast<size_t>(0.92 * rate), 0.0f);
  Biquad breath_filter = Biquad::BandPass(2900, 6.0, rate);
  for (const Blast& blast : kBlasts) {
    double phase = 0.0;
    const auto first = static_cast<size_t>(blast.start * rate);
    const auto count = static_cast<size_t>(blast.seconds * rate);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
      const double t = static_cast<double>(i) / rate;
      const double warble = std::sin(kTwoPi * 38.0 * t);
      phase += kTwoPi * (2900.0 + 170.0 * warble) / rate;
      const double envelope = std::min(1.0, t / 0.015) * std::min(1.0, (blast.seconds - t) / 0.05);
      const double tone = (0.8 + 0.2 * warble) * std::sin(phase);
      const double breath = 2.5 * breath_filter.Process(static_cast<float>(random.Noise()));
      out[first + i] += static_cast<float>(envelope * (tone + breath));
    }
  }
  return out;
}

}  // namespace

std::vector<float> MakeCue(Cue cue, int rate) {
  std::vector<float> out;
  switch (cue) {
    case Cue::kStartJingle: out = StartJingle(rate); break;
    case Cue::kEndJingle: out = EndJingle(rate); break;
    case Cue::kFanfare: out = Fanfare(rate); break;
    case Cue::kShortFanfare: out = ShortFanfare(rate); break;
    case Cue::kMediumFanfare: out = MediumFanfare(rate); break;
    case Cue::kKick: out = Kick(rate); break;
    case Cue::kTick: out = Tick(rate); break;
    case Cue::kCrowd: out = Crowd(rate); break;
    case Cue::kApplause: out = Applause(rate); break;
    case Cue::kWhistle: out = Whistle(rate); break;
  }
  NormalisePeak(out, kCuePeak);
  FadeEdges(out, static_cast<size_t>(0.002 * rate));
  return out;
}

}  // namespace placarim::soundkit
