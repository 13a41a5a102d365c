#include "tools/soundkit/synth_parts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace placarim::soundkit {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

struct Shape {
  double attack;     // seconds
  double release;    // seconds
  double decay;      // exponential decay time constant in seconds; 0 for none
  double vibrato;    // depth as a fraction of the frequency
};

Shape ShapeOf(Timbre timbre) {
  switch (timbre) {
    case Timbre::kBrass: return {0.03, 0.06, 0.0, 0.004};
    case Timbre::kLead: return {0.006, 0.04, 0.9, 0.0};
    case Timbre::kPluck: return {0.003, 0.03, 0.25, 0.0};
  }
  return {0.01, 0.03, 0.0, 0.0};
}

// Amplitude of harmonic k (1-based) for each timbre.
double HarmonicWeight(Timbre timbre, int k) {
  switch (timbre) {
    case Timbre::kBrass: return 1.0 / k;
    case Timbre::kLead: return (k % 2 == 1) ? 1.0 / k : 0.0;
    case Timbre::kPluck: return k == 1 ? 1.0 : (k == 2 ? 0.35 : 0.0);
  }
  return 0.0;
}

int HarmonicCount(Timbre timbre) { return timbre == Timbre::kPluck ? 2 : 12; }

}  // namespace

uint64_t Random::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

double Random::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

double Random::Uniform(double low, double high) { return low + (high - low) * Uniform(); }

Biquad Biquad::LowPass(double hz, double q, int rate) {
  const double w = kTwoPi * hz / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
  Biquad f;
  f.b0_ = (1 - c) / 2 / a0;
  f.b1_ = (1 - c) / a0;
  f.b2_ = f.b0_;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

Biquad Biquad::HighPass(double hz, double q, int rate) {
  const double w = kTwoPi * hz / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
  Biquad f;
  f.b0_ = (1 + c) / 2 / a0;
  f.b1_ = -(1 + c) / a0;
  f.b2_ = f.b0_;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

Biquad Biquad::BandPass(double hz, double q, int rate) {
  const double w = kTwoPi * hz / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
  Biquad f;
  f.b0_ = alpha / a0;
  f.b1_ = 0;
  f.b2_ = -alpha / a0;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

float Biquad::Process(float x) {
  const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return static_cast<float>(y);
}

void Biquad::Retune(const Biquad& design) {
  b0_ = design.b0_;
  b1_ = design.b1_;
  b2_ = design.b2_;
  a1_ = design.a1_;
  a2_ = design.a2_;
}

double NoteHz(int semitones_from_a4) { return 440.0 * std::pow(2.0, semitones_from_a4 / 12.0); }

void AddNote(std::vector<float>& buffer, int rate, double start, double seconds, double hz, double amplitude,
             Timbre timbre) {
  const Shape shape = ShapeOf(timbre);
  const auto first = static_cast<size_t>(start * rate);
  const auto count = static_cast<size_t>(seconds * rate);
  if (buffer.size() < first + count) buffer.resize(first + count, 0.0f);
  double norm = 0.0;
  for (int k = 1; k <= HarmonicCount(timbre); ++k) norm += HarmonicWeight(timbre, k);
  double phase = 0.0;
  for (size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double vibrato = 1.0 + shape.vibrato * std::sin(kTwoPi * 5.5 * t);
    phase += kTwoPi * hz * vibrato / rate;
    double value = 0.0;
    for (int k = 1; k <= HarmonicCount(timbre); ++k) {
      if (hz * k >= rate * 0.45) break;
      value += HarmonicWeight(timbre, k) * std::sin(phase * k);
    }
    double envelope = std::min(1.0, t / shape.attack);
    envelope *= std::min(1.0, (seconds - t) / shape.release);
    if (shape.decay > 0) envelope *= std::exp(-t / shape.decay);
    buffer[first + i] += static_cast<float>(amplitude * envelope * value / norm);
  }
}

void MixAt(std::vector<float>& buffer, const std::vector<float>& source, size_t offset, float gain) {
  if (buffer.size() < offset + source.size()) buffer.resize(offset + source.size(), 0.0f);
  for (size_t i = 0; i < source.size(); ++i) buffer[offset + i] += gain * source[i];
}

}  // namespace placarim::soundkit
