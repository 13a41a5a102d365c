// Feeds arbitrary bytes to the configuration reader: it must never crash, and a
// value it finds must be one it can find again by the same names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/config_file.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const placarim::platform::ConfigText config(placarim::platform::FileTextToCp1252(text));
  static constexpr std::string_view kNames[][2] = {
      {"VIDEO", "TABCORES"}, {"video", "lento"}, {"BRAILLE", "MODO"}, {"A", "K"}, {"", ""}};
  for (const auto& names : kNames) {
    const auto first = config.Get(names[0], names[1]);
    if (first != config.Get(names[0], names[1])) std::abort();
  }
  // Names taken from the input itself reach the section and key paths.
  const size_t cut = size / 2;
  (void)config.Get(text.substr(0, cut), text.substr(cut));
  return 0;
}
