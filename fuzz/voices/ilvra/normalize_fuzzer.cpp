// Any text goes through the whole front end without fault. Inputs are held
// to the length of a long sentence: every stage is linear in the text, so
// longer ones only cost time that would otherwise find faults.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/voices/ilvra/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::ilvra;
  constexpr size_t kMaxInput = 256;
  if (size > kMaxInput) return -1;  // not kept in the corpus
  static const AbbreviationTable abbreviations = [] {
    AbbreviationTable t;
    ParseAbbreviations("SR = senhor\nN.\xBA = n\xFAmero\nAV=avenida\n", t);
    return t;
  }();
  const std::string normal = NormalizeText(std::string_view(reinterpret_cast<const char*>(data), size), abbreviations);
  const auto tokens = TokenizeWithKeys(normal, fuzz::SmallProsody());
  fuzz::RunFrom(AssignContours(tokens, fuzz::SmallProsody()), fuzz::SmallRules(), fuzz::SmallProsody(),
                fuzz::SomeDiphones());
  return 0;
}
