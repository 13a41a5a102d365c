// Any code string (rule outputs come from a data file) speaks without fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/voices/tradutor/synth_harness.h"
#include "voices/tradutor/diphone_index.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static placarim::tradutor::fuzzing::Harness* h = [] {
    auto* harness = new placarim::tradutor::fuzzing::Harness;
    std::string index;
    const char* names[] = {"$A", "$ACIRC", "$AW", "$AWTIL", "$B", "$KA", "$KACIRC", "$NN", "$RR", "$S"};
    uint32_t offset = 0;
    for (const char* name : names) {
      index += placarim::tradutor::DiphoneIndex::Encode({name, 700, offset});
      offset += 300;
    }
    harness->index.Parse(index);
    return harness;
  }();
  h->synth.Speak(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
