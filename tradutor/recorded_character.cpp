#include "tradutor/recorded_character.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <strings.h>

namespace placarim::tradutor {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

}  // namespace

std::optional<std::vector<uint8_t>> ReadRecordedCharacter(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::FILE* f = file.get();
  unsigned char riff[12];
  if (std::fread(riff, 1, 12, f) != 12 || strncasecmp(reinterpret_cast<char*>(riff), "RIFF", 4) != 0) {
    return std::nullopt;
  }
  unsigned char chunk[8];
  if (std::fread(chunk, 1, 8, f) != 8 || std::memcmp(chunk, "fmt ", 4) != 0) return std::nullopt;
  if (std::fseek(f, static_cast<long>(Le32(chunk + 4)), SEEK_CUR) != 0) return std::nullopt;
  while (std::fread(chunk, 1, 8, f) == 8) {
    const uint32_t size = Le32(chunk + 4);
    if (std::memcmp(chunk, "data", 4) == 0) {
      std::vector<uint8_t> samples(size & 0xFFFF);
      samples.resize(std::fread(samples.data(), 1, samples.size(), f));
      return samples;
    }
    if (std::fseek(f, static_cast<long>(size), SEEK_CUR) != 0) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace placarim::tradutor
