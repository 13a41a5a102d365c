// Any class list through the game's reader and the checker: every name
// offered must be one the game can show and say, and every line of the file
// is either a name or a line left out with its reason.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/class_check.h"
#include "game/class_list.h"
#include "platform/text_encoding.h"

using namespace placarim::game;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ClassList list = ReadClassList(bytes);
  if (list.lines.size() != list.names.size()) std::abort();
  for (const std::string& name : list.names) {
    if (name.empty() || name.size() > kLongestName || name.front() == ' ' || name.back() == ' ') std::abort();
    for (char c : name) {
      const auto u = static_cast<uint8_t>(c);
      if (u < 0x20 || placarim::platform::Cp1252ToCodePoint(u) == 0) std::abort();
    }
  }
  for (const SkippedLine& skipped : list.skipped) {
    if (skipped.line < 1) std::abort();
  }
  CheckClassList(bytes);
  return 0;
}
