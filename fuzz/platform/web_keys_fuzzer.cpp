// The browser's key fields reach the program as the page read them: any
// code and key strings, any modifiers. Input: one flags byte, then the code
// and the key separated by a zero byte.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/web/web_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t split = rest.find('\0');
  placarim::platform::web::BrowserKey key;
  key.code = rest.substr(0, split);
  key.key = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);
  key.down = flags & 1, key.ctrl = flags & 2, key.shift = flags & 4, key.alt = flags & 8;
  key.alt_graph = flags & 16, key.num_lock = flags & 32;
  std::vector<placarim::platform::Event> events;
  placarim::platform::web::TranslateBrowserKey(key, events);
  if (events.size() > 2) __builtin_trap();  // at most the key and its character
  return 0;
}
