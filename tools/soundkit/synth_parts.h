// Small building blocks of the procedural cues: a seeded random source whose
// sequence is the same on every machine (the standard distributions are not
// specified bit for bit), a two-pole filter, and additive notes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace placarim::soundkit {

// SplitMix64: tiny, fast and fully specified, so the kit is reproducible.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  double Uniform();                    // [0, 1)
  double Uniform(double low, double high);
  double Noise() { return Uniform(-1.0, 1.0); }

 private:
  uint64_t state_;
};

// A biquad section with the usual audio-cookbook designs.
class Biquad {
 public:
  static Biquad LowPass(double hz, double q, int rate);
  static Biquad HighPass(double hz, double q, int rate);
  static Biquad BandPass(double hz, double q, int rate);  // 0 dB at the centre
  float Process(float x);
  // Takes the coefficients of `design` and keeps this filter's memory, so a
  // filter can glide (a vowel changing) without clicks.
  void Retune(const Biquad& design);

 private:
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// The frequency of a note given as semitones from A4 (440 Hz).
double NoteHz(int semitones_from_a4);

enum class Timbre {
  kBrass,   // bright sawtooth-like spectrum, soft attack, slight vibrato
  kLead,    // hollow square-like spectrum, quick attack
  kPluck,   // sine with its octave, plucked decay
};

// Adds one note into `buffer` (grown as needed) at `start` seconds.
// Harmonics stop below the Nyquist frequency, so nothing aliases.
void AddNote(std::vector<float>& buffer, int rate, double start, double seconds, double hz, double amplitude,
             Timbre timbre);

// Adds `source` into `buffer` from sample `offset`, growing the buffer.
void MixAt(std::vector<float>& buffer, const std::vector<float>& source, size_t offset, float gain = 1.0f);

}  // namespace placarim::soundkit
