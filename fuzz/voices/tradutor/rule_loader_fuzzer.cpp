// Rule files of any shape load without fault, and the rules they give can be
// applied to words that exercise every context symbol.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "voices/tradutor/translator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  placarim::tradutor::Translator translator;
  translator.rules().LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
  translator.TranslateToDiphoneCodes("casa menino'  a^e~i\"o`u chuva rr xyz Qu\xE7\xE3o, 12!");
  translator.FreeLetterRules();
  return 0;
}
