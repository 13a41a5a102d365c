// Any sum line: ParseSum must either refuse it or give values that the line
// really holds (operands within range, one of the seven operators).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/exercise_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  auto sum = placarim::game::ParseSum(line);
  if (sum) {
    if (sum->a < 0 || sum->b < 0 || sum->r < 0) std::abort();
    if (!placarim::game::IsOperatorChar(sum->op)) std::abort();
    if (line.find('=') == std::string_view::npos) std::abort();
  }
  return 0;
}
