// Any bytes given to the synthesizers' text rules: the results stay within the
// engine's limit and are well-formed UTF-8 without control characters.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/text_encoding.h"
#include "voices/synth_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::voices;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string engine = PrepareEngineText(text);
  const std::string service = PrepareServiceText(text);
  if (engine.size() > kSynthTextLimit || service.size() > kSynthTextLimit || service.empty()) abort();
  for (const std::string& prepared : {engine, service}) {
    const std::string utf8 = EngineUtf8(prepared);
    for (char c : utf8) {
      const auto byte = static_cast<uint8_t>(c);
      if (byte < 32 || byte == 127) abort();
    }
    // Back to the code page: every character came from it, so none is lost
    // (a sharp s comes back as two letters).
    const size_t sharp_s = static_cast<size_t>(std::count(prepared.begin(), prepared.end(), '\xdf'));
    if (placarim::platform::Utf8ToCp1252(utf8, 0).size() != prepared.size() + sharp_s) abort();
  }
  return 0;
}
