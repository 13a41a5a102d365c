// Any bytes as a database file: refused with a reason, or accepted and then
// able to speak every pair without reading outside its samples.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "mbr/diphone_engine.h"
#include "mbr/voice_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* raw, size_t size) {
  // Half the inputs get a correct checksum, so that mutations reach the
  // checks behind it.
  std::vector<uint8_t> bytes(raw, raw + size);
  if (size >= 4 && size % 3 != 0) {
    const uint32_t sum = placarim::mbr::DatabaseChecksum(std::span(bytes).first(size - 4));
    for (int i = 0; i < 4; ++i) bytes[size - 4 + i] = static_cast<uint8_t>(sum >> (8 * i));
  }
  const uint8_t* data = bytes.data();
  std::string why;
  auto db = placarim::mbr::ParseDatabase(std::span(data, size), why);
  if (!db) {
    if (why.empty()) __builtin_trap();
    return 0;
  }
  if (placarim::mbr::SerializeDatabase(*db) != std::vector<uint8_t>(data, data + size)) __builtin_trap();
  placarim::mbr::DiphoneEngine engine(std::move(*db));
  engine.SetNoError(true);
  std::string lines;
  for (const auto& name : engine.Database().phonemes) lines += name + " 20 50 200\n";
  engine.Write(lines);
  engine.Flush();
  std::vector<int16_t> out(4096);
  while (engine.Read(out.data(), out.size()) > 0) {
  }
  return 0;
}
