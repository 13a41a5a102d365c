// Bytes from a terminal, whatever they are, decode into well-formed key
// events without reading past what was fed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/term/term_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace placarim::platform;
  term::KeyDecoder decoder;
  std::vector<Event> events;
  term::TerminalRequest request = term::TerminalRequest::None;
  for (size_t i = 0; i < size; ++i) {
    decoder.Feed(data[i], events, &request);
    if (data[i] == 0xFF) decoder.Timeout(events);
  }
  decoder.Timeout(events);
  if (decoder.Pending()) std::abort();
  for (const Event& e : events) {
    if (e.type == EventType::KeyDown && e.vk == 0) std::abort();
  }
  return 0;
}
