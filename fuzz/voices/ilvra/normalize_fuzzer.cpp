// Any text goes through the whole front end without fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/voices/ilvra/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::ilvra;
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
