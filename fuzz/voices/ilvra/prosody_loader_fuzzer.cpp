// Prosody files of any shape load or are refused, and the tables they give
// drive tokens, contours, durations and pitch.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/voices/ilvra/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::ilvra;
  ProsodyTables tables;
  std::vector<std::string> notices;
  ParseProsody(std::string_view(reinterpret_cast<const char*>(data), size), tables, [](const std::string&) {},
               &notices);
  if (tables.keys.size() > ProsodyTables::kMaxKeys || tables.patterns.size() > ProsodyTables::kMaxPatterns)
    __builtin_trap();
  const auto tokens = TokenizeWithKeys("Quem viu a casa de Ana? Ela... sim, a casa! Fim.", tables);
  fuzz::RunFrom(AssignContours(tokens, tables), fuzz::SmallRules(), tables, fuzz::SomeDiphones());
  return 0;
}
