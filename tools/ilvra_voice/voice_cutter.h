// Building the Ilvra engine's diphone database from carrier utterances: the
// phoneme set, the order in which every pair is spoken, pitch marks and the
// cutting of diphones between the steady middles of their phonemes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "lang/phonemes.h"
#include "mbr/voice_database.h"

namespace placarim::ilvra_voice {

using PhonemeSpec = lang::Phoneme;

// Every phoneme of the voice but the silence "_".
std::span<const PhonemeSpec> Phonemes();

// A walk over phoneme indices in which every ordered pair (a phoneme
// followed by itself included) appears exactly once as neighbours.
std::vector<int> EveryPairWalk(int phoneme_count);

// A spoken stretch: samples and the phonemes heard, each with its start;
// `end` is where the last one ends.
struct Spoken {
  std::vector<int16_t> samples;
  std::vector<int> phonemes;  // indices into Phonemes()
  std::vector<size_t> starts;
  size_t end = 0;
};

// Pitch marks for a spoken stretch: on each period's main peak, one
// `period` apart, inside voiced phonemes; evenly spaced elsewhere. Each mark
// carries mbr::kVoicedMark when voiced.
std::vector<uint32_t> PlaceMarks(const Spoken& spoken, double period);

// The pitch period (in samples) of a steady voiced signal, by
// autocorrelation between `min_period` and `max_period`.
double MeasurePeriod(const std::vector<int16_t>& samples, size_t from, size_t to, int min_period, int max_period);

class DatabaseBuilder {
 public:
  DatabaseBuilder(uint32_t sample_rate, double period);
  // Adds every diphone of neighbouring phonemes in `spoken` that is not yet
  // present, and those with silence at its two ends when `edges`.
  void AddDiphones(const Spoken& spoken, bool edges);
  bool Has(int left, int right) const;  // -1 is silence
  mbr::VoiceDatabase Finish();

  // A half diphone keeps at most this much of its phoneme.
  static constexpr double kMaxHalfMs = 45;
  static constexpr double kSilenceMs = 30;

 private:
  void Add(int left, int right, const std::vector<int16_t>& samples, size_t boundary, std::vector<uint32_t> marks);
  struct Cut {
    int left, right;
    std::vector<int16_t> samples;
    size_t boundary;
    std::vector<uint32_t> marks;
  };
  uint32_t rate_;
  double period_;
  std::vector<Cut> cuts_;
  std::vector<bool> present_;
};

}  // namespace placarim::ilvra_voice
