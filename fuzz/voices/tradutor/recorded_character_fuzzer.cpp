// Recorded character files of any shape are read without fault: only the
// bytes really in the file come back, never more than 65,535.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "voices/tradutor/recorded_character.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("placarim-fuzz-wav-" + std::to_string(getpid()))).string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const auto samples = placarim::tradutor::ReadRecordedCharacter(path);
  if (samples && (samples->size() > 65535 || samples->size() > size)) __builtin_trap();
  return 0;
}
