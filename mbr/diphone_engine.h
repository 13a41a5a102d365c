// The Ilvra engine: phoneme lines in, 16-bit mono samples out, by
// pitch-synchronous overlap-add of the database's diphones.
//
// Each phoneme is voiced by the second half of the diphone that enters it and
// the first half of the diphone that leaves it, both stretched to the
// phoneme's duration. Output grains are two analysis periods wide (a Hann
// window centred on a pitch mark); in voiced stretches they are laid one
// target pitch period apart, in unvoiced ones at the analysis spacing, so
// noise keeps its colour. Pitch is interpolated linearly between the points
// of the lines, across phoneme boundaries; before the first and after the
// last point it holds, and a text without points is spoken at the pitch the
// database was recorded at.
//
// Lines wait until a flush ("#" or Flush()); then the whole stretch is
// synthesized between silences. A very long stretch without a flush is
// synthesized in parts so memory stays bounded.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mbr/phoneme_line.h"
#include "mbr/voice_database.h"

namespace placarim::mbr {

enum EngineError : int {
  kEngineOk = 0,
  kUnknownPhoneme = 1,
  kBadNumber = 2,
  kBadLine = 3,
  kMissingDiphone = 4,
  kNoDatabase = 5,
  kBadDatabase = 6,
  kBadRename = 7,
};

class DiphoneEngine {
 public:
  explicit DiphoneEngine(VoiceDatabase db);

  // Phoneme lines, one or more separated by line ends. Every line is read;
  // the first that cannot be used sets the error and the call returns false.
  bool Write(std::string_view text);
  void Flush();
  // Moves up to `max` ready samples into `out`; 0 when none is ready.
  size_t Read(int16_t* out, size_t max);
  // Drops pending lines and ready samples and clears the error.
  void Reset();

  int LastError() const { return error_; }
  const std::string& LastErrorText() const { return error_text_; }
  // With no-error on, a missing diphone is bridged through silence without
  // an error; off, it is bridged the same way but reported.
  void SetNoError(bool on) { no_error_ = on; }
  bool NoError() const { return no_error_; }
  // Output rate; the database's own rate keeps its timbre, another one plays
  // the units faster or slower (durations and pitch stay as asked).
  void SetFrequency(int hz);
  int Frequency() const { return rate_; }
  void SetVolume(float ratio) { volume_ = ratio; }
  float Volume() const { return volume_; }

  // Extra names: `rename` pairs ("a A b B") give a database phoneme a new
  // name in place of its own, `clone` pairs ("a a1") a second name. False on
  // an odd list or an unknown phoneme.
  bool Rename(std::string_view rename, std::string_view clone);

  const VoiceDatabase& Database() const { return db_; }
  size_t Ready() const { return output_.size() - read_; }

  // A stretch is synthesized early once this many phonemes or this much
  // speech wait for a flush.
  static constexpr size_t kMaxPending = 4096;
  static constexpr double kMaxPendingMs = 60000;

 private:
  struct Phone {
    int index = 0;
    double ms = 0;
    std::vector<PitchPoint> points;
  };
  bool Fail(int code, std::string text);
  bool WriteLine(std::string_view line);
  int Lookup(std::string_view name) const;
  // Synthesizes `phones` between `left` and `right` context phonemes.
  void Synthesize(const std::vector<Phone>& phones, int left, int right);

  VoiceDatabase db_;
  std::map<std::string, int, std::less<>> names_;
  int silence_ = 0;
  int rate_ = 16000;
  float volume_ = 1.0f;
  bool no_error_ = false;
  int error_ = kEngineOk;
  std::string error_text_;
  std::vector<Phone> pending_;
  double pending_ms_ = 0;
  int context_ = 0;       // phoneme before the pending ones
  int last_written_ = 0;  // for the diphone check on write
  std::vector<int16_t> output_;
  size_t read_ = 0;
};

}  // namespace placarim::mbr
