// One line of the engine's input: a phoneme name, its duration in
// milliseconds and any number of pitch points, each a position in percent of
// the phoneme and a pitch in hertz:
//
//   a 120 20 230 80 210      ; text after a semicolon is a comment
//   #                        (a line starting with # flushes)
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace placarim::mbr {

struct PitchPoint {
  double position = 0;  // percent of the phoneme, 0..100
  double hz = 0;
};

struct PhonemeLine {
  enum class Kind { kBlank, kFlush, kPhoneme };
  Kind kind = Kind::kBlank;
  std::string name;
  double duration_ms = 0;
  std::vector<PitchPoint> points;
};

enum class LineError { kNone, kSyntax, kBadNumber };

inline constexpr double kMaxPhonemeMs = 60000;
inline constexpr double kMaxPitchHz = 2000;

// Blank and comment lines give kBlank. A name without a duration, a pitch
// position without its pitch, or a name longer than 7 characters is a syntax
// error; a number that does not parse, is not finite or lies outside its range
// (duration 0..60000 ms, position 0..100, pitch above 0 and up to 2000 Hz) a
// bad number.
LineError ParsePhonemeLine(std::string_view line, PhonemeLine& out);

}  // namespace placarim::mbr
