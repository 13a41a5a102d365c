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
#include "tools/difones/unit_samples.h"
#include "voices/tradutor/diphone_index.h"

namespace {

// Words per minute for speeds 1 to 5 (speed 3 is the usual one).
constexpr int kRates[5] = {120, 145, 170, 210, 280};
// Longest final vowel of a syllable unit at each speed: a stressed syllable
// (played whole) keeps all of it. The shipped configuration trims unstressed
// units by less than this (CORTEFON1 to CORTEFON5 are 59, 48, 48, 36 and 24
// ms), so unstressed vowels keep 30 ms or more and stress stays
// longer than its neighbours at every speed.
constexpr double kVowelCapMs[5] = {150.0, 125.0, 112.0, 92.0, 80.0};
// Those trims in bytes, as CORTEFON1 to CORTEFON5 give them: whole pitch
// periods of the flat 84 Hz voice (131 samples), so a unit that ends on a
// rising zero crossing ends on one when trimmed as well.
constexpr size_t kTrims[5] = {655, 524, 524, 393, 262};

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
      auto samples = cutter.Cut(recipe, kVowelCapMs[speed - 1], kTrims[speed - 1], why);
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
  std::printf("%zu units in each of DIFONES1 to DIFONES5; sound above 5.6 kHz left as alias: %.1f dB "
              "(a [1 2 1] filter and every second sample would leave %.1f dB)\n",
              inventory.size(), placarim::difones::AliasEnergyDb(true), placarim::difones::AliasEnergyDb(false));
  return 0;
}
