// Makes the diphone voice's unit databases DIFONES1 to DIFONES5 (.IND and
// .DIF) from espeak-ng's Brazilian Portuguese voice, one per speed, the
// speaking rate rising with the speed.
//
//   placarim_difones OUTPUT_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "tools/difones/espeak_cutter.h"
#include "tools/difones/unit_inventory.h"
#include "tradutor/diphone_index.h"

namespace {

// Words per minute for speeds 1 to 5 (speed 3 is the usual one).
constexpr int kRates[5] = {120, 145, 170, 205, 245};
// Longest final vowel of a syllable unit at 170 words per minute, scaled with
// the rate: stressed units (kept whole) then last about as long as espeak-ng's
// own stressed syllables, unstressed ones (400 bytes trimmed) a little less.
constexpr double kVowelCapMs = 95.0;

bool WriteDatabase(const std::filesystem::path& dir, int speed,
                   const std::map<std::string, std::vector<uint8_t>>& units) {
  std::string index, data;
  for (const auto& [name, samples] : units) {
    placarim::tradutor::DiphoneIndexEntry e{name, static_cast<uint16_t>(samples.size()),
                                            static_cast<uint32_t>(data.size())};
    index += placarim::tradutor::DiphoneIndex::Encode(e);
    data.append(samples.begin(), samples.end());
  }
  const std::string base = "DIFONES" + std::to_string(speed);
  std::ofstream ind(dir / (base + ".IND"), std::ios::binary);
  std::ofstream dif(dir / (base + ".DIF"), std::ios::binary);
  ind << index;
  dif << data;
  return ind.good() && dif.good();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  placarim::difones::EspeakCutter cutter;
  if (!cutter.Start()) {
    std::fprintf(stderr, "espeak-ng or its pt-br voice is not available\n");
    return 1;
  }
  const auto inventory = placarim::difones::UnitInventory();
  for (int speed = 1; speed <= 5; ++speed) {
    cutter.SetRate(kRates[speed - 1]);
    std::map<std::string, std::vector<uint8_t>> units;  // sorted by name, as the index must be
    int failures = 0;
    for (const auto& recipe : inventory) {
      std::string why;
      auto samples = cutter.Cut(recipe, kVowelCapMs * 170.0 / kRates[speed - 1], why);
      if (!samples || samples->size() > 65535 || recipe.name.size() > 8) {
        std::fprintf(stderr, "unit %s: %s\n", recipe.name.c_str(), why.empty() ? "too long" : why.c_str());
        ++failures;
        continue;
      }
      units[recipe.name] = std::move(*samples);
    }
    if (failures > 0) return 1;
    if (!WriteDatabase(dir, speed, units)) {
      std::fprintf(stderr, "cannot write the database in %s\n", dir.c_str());
      return 1;
    }
  }
  std::printf("%zu units in each of DIFONES1 to DIFONES5\n", inventory.size());
  return 0;
}
