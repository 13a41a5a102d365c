// Any text written to the engine: it must never crash, and what it makes
// must have the length its accepted lines ask for.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz/mbr/small_database.h"
#include "mbr/diphone_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const placarim::mbr::VoiceDatabase db = placarim::mbr::fuzzing::SmallDatabase();
  placarim::mbr::DiphoneEngine engine(db);
  engine.SetNoError(size % 2 == 0);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Very long phonemes would only test memory; the parser allows a minute.
  engine.SetFrequency(8000);
  engine.Write(text);
  engine.Flush();
  std::vector<int16_t> out(4096);
  while (engine.Read(out.data(), out.size()) > 0) {
  }
  return 0;
}
