// Index files of any shape (names longer than 8, offsets and lengths beyond
// the data file) parse, and speaking through them reads only what is there.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/voices/tradutor/synth_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static placarim::tradutor::fuzzing::Harness h;
  h.index.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const auto& entry : h.index.entries()) {
    if (entry.name.size() > 8) __builtin_trap();
  }
  h.synth.Speak("[ ka/ za~w/ ke^y][ /_,][bra/ sIw][ rr/ a][ /_5]");
  if (!h.index.entries().empty()) h.synth.PlayName(h.index.entries().back().name, 1.0);
  return 0;
}
