// The Ilvra database tool: the walk that visits every pair, the pitch marks,
// and the whole tool run twice (the same bytes, the build's bytes).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tools/ilvra_voice/voice_cutter.h"

namespace placarim::ilvra_voice {
namespace {

namespace fs = std::filesystem;

TEST(IlvraVoiceTool, TheWalkHoldsEveryPairExactlyOnce) {
  for (int n : {1, 2, 5, static_cast<int>(Phonemes().size())}) {
    const std::vector<int> walk = EveryPairWalk(n);
    ASSERT_EQ(walk.size(), static_cast<size_t>(n * n + 1)) << n;
    std::set<std::pair<int, int>> pairs;
    for (size_t i = 0; i + 1 < walk.size(); ++i) pairs.insert({walk[i], walk[i + 1]});
    EXPECT_EQ(pairs.size(), static_cast<size_t>(n * n)) << n;
  }
}

// A vowel of pulses every 69.5 samples between two stretches of noise: marks
// on the pulses one period apart, evenly spaced marks without the voiced bit
// in the noise.
TEST(IlvraVoiceTool, MarksSitOnThePeriodsInVoicedStretchesOnly) {
  const double period = 69.5;
  Spoken s;
  s.samples.assign(3000, 0);
  for (size_t i = 0; i < 1000; ++i) s.samples[i] = static_cast<int16_t>((i * 7919) % 2001) - 1000;
  for (double p = 1010; p < 2000; p += period) s.samples[static_cast<size_t>(std::lround(p))] = 20000;
  for (size_t i = 2000; i < 3000; ++i) s.samples[i] = static_cast<int16_t>((i * 7919) % 2001) - 1000;
  const int x = 10, a = 23;  // x (unvoiced), a (voiced)
  ASSERT_EQ(Phonemes()[x].name, "x");
  ASSERT_EQ(Phonemes()[a].name, "a");
  s.phonemes = {x, a, x};
  s.starts = {0, 1000, 2000};
  s.end = 3000;
  const std::vector<uint32_t> marks = PlaceMarks(s, period);
  std::vector<uint32_t> voiced;
  for (size_t i = 0; i < marks.size(); ++i) {
    const uint32_t at = marks[i] & ~mbr::kVoicedMark;
    if (i > 0) {
      EXPECT_GT(at, marks[i - 1] & ~mbr::kVoicedMark);
    }
    const bool inside = at >= 1000 && at < 2000;
    EXPECT_EQ((marks[i] & mbr::kVoicedMark) != 0, inside) << at;
    if (inside) {
      EXPECT_EQ(s.samples[at], 20000) << at;
      voiced.push_back(at);
    }
  }
  EXPECT_EQ(voiced.size(), 15u);
}

TEST(IlvraVoiceTool, TwoRunsMakeTheBuildsBytes) {
  const fs::path dir = fs::path(::testing::TempDir()) / "ilvra_voice_runs";
  fs::create_directories(dir);
  auto read = [](const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  const std::string tool = std::string("ASAN_OPTIONS=detect_leaks=0 '") + std::getenv("ILVRA_MAKE_VOICE") + "' ";
  for (const char* run : {"1", "2"}) {
    const fs::path db = dir / (std::string(run) + ".db"), list = dir / (std::string(run) + ".dfn");
    ASSERT_EQ(std::system((tool + db.string() + " " + list.string() + " > /dev/null").c_str()), 0);
  }
  const fs::path built = fs::path(std::getenv("PLACARIM_BINARY_DIR")) / "data" / "ilvra";
  EXPECT_EQ(read(dir / "1.db"), read(dir / "2.db"));
  EXPECT_EQ(read(dir / "1.db"), read(built / "ilvra.db"));
  EXPECT_EQ(read(dir / "1.dfn"), read(built / "portug.dfn"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace placarim::ilvra_voice
