// Exception files of any shape load without fault; lookups of words with
// trailing s and m walk the table safely.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "voices/tradutor/translator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  placarim::tradutor::Translator translator;
  translator.exceptions().LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
  translator.TranslateToDiphoneCodes("casas tem ssmm m s abc");
  if (!translator.exceptions().entries().empty()) {
    translator.exceptions().Lookup(translator.exceptions().entries().front().key + "sm");
  }
  return 0;
}
