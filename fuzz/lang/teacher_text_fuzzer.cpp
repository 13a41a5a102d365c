// Any text a teacher writes goes through the sum reader and then the
// teacher-text reader (numbers in words, or kept in digits) without fault: text without digits or "R$" comes back
// as it was, and the words written never hold a doubled blank.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lang/sums.h"
#include "lang/teacher_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::lang;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string read = ReadTeacherText(ReadSums(text));
  const std::string kept = ReadTeacherText(ReadSums(text), TeacherNumbers::kDigits);
  if (text.find_first_of("0123456789") == std::string_view::npos && (read != text || kept != text)) __builtin_trap();
  const std::string direct = ReadTeacherText(text);
  if (text.find("  ") == std::string_view::npos && direct.find("  ") != std::string::npos) __builtin_trap();
  return 0;
}
