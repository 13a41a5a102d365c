// Rule and exception files of any shape load, and the rules they give are
// applied to words that exercise every context symbol.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/voices/ilvra/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::ilvra;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  RuleSet rules;
  ParseIlvraRules(text, rules);
  ParseIlvraExceptions(text, rules);
  fuzz::RunFrom({"555|", "565|casas", "565|A\xC7\xC3O", "542|quem", "555|,", "555|xyz", "555|ONIBUS",
                 "555|a\xE9io\xFA", "555|mar", "555|azul", "555|RRSS", "555|\x01\xFF"},
                rules, fuzz::SmallProsody(), fuzz::SomeDiphones());
  return 0;
}
