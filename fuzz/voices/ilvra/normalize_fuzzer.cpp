// Any text goes through the whole front end without fault. One input costs
// little, so the fuzzer runs fast enough to find things: only its first
// kMaxInput bytes are read, and the stages after normalisation see at most
// kMaxNormal bytes of what it made (a number of a few digits already becomes
// many words; a longer text only repeats the states a short one reaches).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/voices/ilvra/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::ilvra;
  constexpr size_t kMaxInput = 48, kMaxNormal = 48;
  size = std::min(size, kMaxInput);
  static const AbbreviationTable abbreviations = [] {
    AbbreviationTable t;
    ParseAbbreviations("SR = senhor\nN.\xBA = n\xFAmero\nAV=avenida\n", t);
    return t;
  }();
  std::string normal = NormalizeText(std::string_view(reinterpret_cast<const char*>(data), size), abbreviations);
  normal.resize(std::min(normal.size(), kMaxNormal));
  const auto tokens = TokenizeWithKeys(normal, fuzz::SmallProsody());
  fuzz::RunFrom(AssignContours(tokens, fuzz::SmallProsody()), fuzz::SmallRules(), fuzz::SmallProsody(),
                fuzz::SomeDiphones());
  return 0;
}
