// Any text (a screen row, a teacher's line) goes through the sum reader and
// the number words without fault: a sum found at the start never reaches past
// the text, text without digits comes back as it was, and the words of any
// number stay within the named groups.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "lang/number_words.h"
#include "lang/sums.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::lang;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (SumLength(text) > text.size()) __builtin_trap();
  const std::string read = ReadSums(text);
  if (text.find_first_of("0123456789") == std::string_view::npos && read != text) __builtin_trap();
  uint64_t n = 0;
  std::memcpy(&n, data, size < sizeof n ? size : sizeof n);
  for (LastGroupJoin join : {LastGroupJoin::kAlways, LastGroupJoin::kBrazilian}) {
    const std::string words = CardinalWords(n, join, size % 2 ? Gender::kFeminine : Gender::kMasculine);
    if (words.empty() || words.front() == ' ' || words.back() == ' ' || words.find("  ") != std::string::npos) {
      __builtin_trap();
    }
  }
  (void)OrdinalWords(n % 4000, Gender::kFeminine);
  return 0;
}
