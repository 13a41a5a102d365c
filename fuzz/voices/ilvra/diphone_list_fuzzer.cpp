// Diphone lists of any shape load, and bridging consults them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/voices/ilvra/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::ilvra;
  DiphoneList list;
  ParseDiphoneList(std::string_view(reinterpret_cast<const char*>(data), size), list);
  fuzz::RunFrom({"555|", "565|casas", "565|mar", "565|azul", "555|.", "555|"}, fuzz::SmallRules(),
                fuzz::SmallProsody(), list);
  return 0;
}
