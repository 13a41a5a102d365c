// Any text written to the engine: it must never crash, and what it makes
// must have the length its accepted lines ask for (each stretch between
// flushes is as long as the sum of its phonemes' durations, rounded once).
//
// One input costs little, so the fuzzer runs fast enough to find things: at
// most kMaxInput bytes, each phoneme's duration clamped to kMaxFuzzMs before
// the engine sees it (the parser still reads every number as written), and
// the output read in chunks after each line and dropped.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/mbr/small_database.h"
#include "mbr/diphone_engine.h"
#include "mbr/phoneme_line.h"

namespace {

using placarim::mbr::PhonemeLine;

constexpr size_t kMaxInput = 512;
constexpr double kMaxFuzzMs = 100;
constexpr int kRate = 8000;

// The line as written, or with its duration clamped.
std::string Clamped(std::string_view raw, const PhonemeLine& line) {
  if (line.duration_ms <= kMaxFuzzMs) return std::string(raw);
  char number[64];
  std::string text = line.name;
  std::snprintf(number, sizeof number, " %.17g", kMaxFuzzMs);
  text += number;
  for (const auto& p : line.points) {
    std::snprintf(number, sizeof number, " %.17g %.17g", p.position, p.hz);
    text += number;
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return -1;  // not kept in the corpus
  static const placarim::mbr::VoiceDatabase db = placarim::mbr::fuzzing::SmallDatabase();
  placarim::mbr::DiphoneEngine engine(db);
  engine.SetNoError(size % 2 == 0);
  engine.SetFrequency(kRate);
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  size_t made = 0, expected = 0;
  double stretch_ms = 0;  // summed in the engine's order, so rounding agrees
  auto end_stretch = [&] {
    expected += static_cast<size_t>(std::llround(stretch_ms * kRate / 1000.0));
    stretch_ms = 0;
  };
  std::vector<int16_t> chunk(512);
  auto drain = [&] {
    for (size_t n; (n = engine.Read(chunk.data(), chunk.size())) > 0;) made += n;
  };
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    PhonemeLine line;
    const bool parsed = placarim::mbr::ParsePhonemeLine(raw, line) == placarim::mbr::LineError::kNone;
    std::string written(raw);
    if (parsed && line.kind == PhonemeLine::Kind::kPhoneme) {
      written = Clamped(raw, line);
      if (db.PhonemeIndex(line.name) >= 0) stretch_ms += std::min(line.duration_ms, kMaxFuzzMs);
    } else if (parsed && line.kind == PhonemeLine::Kind::kFlush) {
      end_stretch();
    }
    engine.Write(written);
    drain();
  }
  engine.Flush();
  end_stretch();
  drain();
  if (made != expected) {
    std::fprintf(stderr, "made %zu samples where the lines ask for %zu\n", made, expected);
    std::abort();
  }
  return 0;
}
