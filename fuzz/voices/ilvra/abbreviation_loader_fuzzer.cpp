// Abbreviation files of any shape load, and texts use what they give.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "voices/ilvra/text_normalizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::ilvra;
  AbbreviationTable table;
  std::vector<std::string> notices;
  ParseAbbreviations(std::string_view(reinterpret_cast<const char*>(data), size), table, &notices);
  if (table.entries.size() > AbbreviationTable::kMaxEntries) __builtin_trap();
  NormalizeText("Sr. Silva, Dra. Ana, av. Brasil n.\xBA 5, tel. 2222-3333. CBF. km.", table);
  return 0;
}
