// Speaking a diphone code string: segments are cut out of the string,
// decomposed into units the database holds (falling back to smaller units),
// and the units' samples, recorded characters and silences are appended to
// the sound buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "voices/tradutor/diphone_index.h"
#include "voices/tradutor/sound_buffer.h"
#include "voices/tradutor/unit_data.h"

namespace placarim::tradutor {

struct DiphoneTuning {
  int unit_trim = 400;            // bytes cut from units outside the stressed syllable
  int minimum_unit_length = 0;    // a trimmed unit keeps at least this much
  int word_gap = 100;             // silence after each word
  int pause_full_stop = 8000;
  int pause_comma = 4000;
  int pause_semicolon = 6000;
  int pause_colon = 8000;
};

// What the synthesis could not find, for measuring a database's coverage.
struct SynthesisCounters {
  long names_missing = 0;   // index lookups not found
  long recorded_missing = 0;  // recorded characters not found
  long noise_bursts = 0;    // short names replaced by noise
  long names_dropped = 0;   // long names for which nothing could be played
  void Reset() { *this = {}; }
};

class DiphoneSynth {
 public:
  static constexpr size_t kMaxSegment = 40;
  static constexpr size_t kMaxName = 12;

  DiphoneSynth(SoundBuffer& buffer, const DiphoneIndex& index, UnitData& data,
               const std::string& letters_dir, const DiphoneTuning& tuning)
      : buffer_(buffer), index_(index), data_(data), letters_dir_(letters_dir), tuning_(tuning) {}

  // Speaks the string into the buffer and flushes it.
  void Speak(std::string_view codes);

  // Called with every name the synthesis looks for (found or not), its factor
  // and the stress mode: for diagnostics and coverage measurement.
  using NameObserver = std::function<void(std::string_view name, double factor, int stress_mode)>;
  void set_name_observer(NameObserver observer) { observer_ = std::move(observer); }
  // Called with every database unit as it is played, before its bytes are
  // appended: the name, the factor, the stress mode and how many bytes of it
  // are played once trimmed and scaled (0 when none). Measurements take the
  // unit boundaries from here, so they follow the synthesis as it changes.
  using UnitObserver = std::function<void(std::string_view name, double factor, int stress_mode, size_t bytes)>;
  void set_unit_observer(UnitObserver observer) { unit_observer_ = std::move(observer); }

  const SynthesisCounters& counters() const { return counters_; }
  SynthesisCounters& counters() { return counters_; }

  // Exposed for tests: one segment, one unit, one name.
  void Decompose(std::string_view segment, double factor);
  void PlayUnit(std::string_view unit, double factor);
  void PlayName(std::string_view name, double factor, int depth = 0);
  int stress_mode() const { return stress_mode_; }
  void set_stress_mode(int mode) { stress_mode_ = mode; }

 private:
  std::string ExtractSegment(std::string_view codes, size_t& i, char& ended_by);
  bool PlayRecordedCharacter(std::string_view name);
  bool PlayIndexed(std::string_view name, double factor);
  void PlayMissing(std::string_view name, double factor, int depth);
  void AppendNoise();
  int Pause(char mark) const;

  SoundBuffer& buffer_;
  const DiphoneIndex& index_;
  UnitData& data_;
  const std::string& letters_dir_;
  const DiphoneTuning& tuning_;
  int stress_mode_ = 1;
  std::minstd_rand random_{20061};
  std::vector<uint8_t> scratch_;
  SynthesisCounters counters_;
  NameObserver observer_;
  UnitObserver unit_observer_;
};

}  // namespace placarim::tradutor
