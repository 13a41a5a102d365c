#include "sound/tone.h"

#include <algorithm>
#include <cstddef>

#include "platform/riff_wave.h"

namespace placarim::sound {

std::vector<uint8_t> MakeToneImage(uint16_t frequency) {
  const int f = std::clamp<int>(frequency, 1, kToneRate);
  const int period = kToneRate / f;
  const auto start = [f](int n) { return static_cast<int>(int64_t{n} * kToneRate / f); };

  std::vector<uint8_t> samples;
  int n = 0;
  // Whole periods only, stopping short of the buffer's end.
  while (start(n) + 44 <= kToneRate - period) {
    const int next = start(n + 1);
    for (int s = start(n); s < next; ++s) samples.push_back(s - start(n) < period / 2 ? 96 : 160);
    ++n;
  }
  const int end = start(n);
  samples.resize(static_cast<size_t>(end));
  if (end > 0) samples.back() = 128;  // end on silence so the loop does not click

  return platform::riff::MakeWaveImage(platform::AudioFormat{kToneRate, 8, 1}, samples);
}

ModeTone::~ModeTone() {
  try {
    Stop();
  } catch (...) {
    // Nothing may escape a destructor; the platform stops its sounds at exit.
  }
}

void ModeTone::Play(uint16_t frequency) {
  Stop();
  player_.PlayLooped(MakeToneImage(frequency));
  playing_ = true;
}

void ModeTone::Stop() {
  if (!playing_) return;
  player_.Stop();
  playing_ = false;
}

}  // namespace placarim::sound
