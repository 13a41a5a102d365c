// The database file: what the build makes reads back unchanged, and every
// kind of damaged or inconsistent file is refused with a reason.
#include "mbr/voice_database.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "tests/mbr/signal.h"

namespace placarim::mbr {
namespace {

VoiceDatabase Small() {
  VoiceDatabase db;
  db.phonemes = {"_", "a"};
  db.diphones = {{0, 1, 0, 100, 40, 0, 2}, {1, 0, 100, 50, 20, 2, 1}};
  db.marks = {10, 60 | kVoicedMark, 5};
  db.samples.assign(150, 7);
  return db;
}

TEST(VoiceDatabase, BuildDatabaseReadsBackByteForByteWithEveryPair) {
  std::ifstream in(testing::DatabasePath(), std::ios::binary);
  const std::vector<uint8_t> image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string why;
  const auto db = ParseDatabase(image, why);
  ASSERT_TRUE(db) << why;
  EXPECT_EQ(SerializeDatabase(*db), image);
  EXPECT_EQ(db->sample_rate, 16000u);
  EXPECT_NEAR(db->pitch_centi_hz / 100.0, 230, 230 * 0.03);
  const std::vector<std::string> front_end_names = {
      "p", "b", "t", "d", "k", "g", "f", "v", "s", "z", "x", "j", "m", "n", "nh", "l", "lh", "r", "rr",
      "r2", "s2", "tx", "dj", "a", "@", "e", "ee", "i", "o", "oo", "u", "am", "em", "im", "om", "um",
      "y", "w", "_"};
  for (const auto& l : front_end_names) {
    for (const auto& r : front_end_names) {
      EXPECT_NE(db->Find(db->PhonemeIndex(l), db->PhonemeIndex(r)), nullptr) << l << "-" << r;
    }
  }
}

TEST(VoiceDatabase, DamagedOrInconsistentFilesAreRefused) {
  const std::vector<uint8_t> good = SerializeDatabase(Small());
  std::string why;
  ASSERT_TRUE(ParseDatabase(good, why)) << why;
  const struct {
    const char* what;
    std::function<std::vector<uint8_t>()> image;
  } cases[] = {
      {"empty", [] { return std::vector<uint8_t>{}; }},
      {"truncated", [&] { return std::vector<uint8_t>(good.begin(), good.end() - 1); }},
      {"header only", [&] { return std::vector<uint8_t>(good.begin(), good.begin() + 36); }},
      {"trailing byte", [&] { auto g = good; g.push_back(0); return g; }},
      {"foreign", [&] { auto g = good; g[0] = 'R'; return g; }},
      {"flipped sample", [&] { auto g = good; g[g.size() - 10] ^= 1; return g; }},
      {"huge counts", [&] { auto g = good; g[20] = g[21] = g[22] = g[23] = 0xff; return g; }},
      {"left out of range", [] { auto d = Small(); d.diphones[0].left = 2; return SerializeDatabase(d); }},
      {"samples past end", [] { auto d = Small(); d.diphones[1].sample_count = 51; return SerializeDatabase(d); }},
      {"boundary past end", [] { auto d = Small(); d.diphones[0].boundary = 101; return SerializeDatabase(d); }},
      {"marks past end", [] { auto d = Small(); d.diphones[1].mark_count = 2; return SerializeDatabase(d); }},
      {"marks out of order", [] { auto d = Small(); d.marks[1] = 10; return SerializeDatabase(d); }},
      {"mark past diphone", [] { auto d = Small(); d.marks[2] = 50; return SerializeDatabase(d); }},
      {"repeated pair", [] { auto d = Small(); d.diphones[1].left = 0, d.diphones[1].right = 1; return SerializeDatabase(d); }},
      {"repeated name", [] { auto d = Small(); d.phonemes[1] = "_"; return SerializeDatabase(d); }},
      {"no silence", [] { auto d = Small(); d.phonemes[0] = "b"; return SerializeDatabase(d); }},
      {"rate zero", [] { auto d = Small(); d.sample_rate = 0; return SerializeDatabase(d); }},
  };
  for (const auto& c : cases) {
    why.clear();
    EXPECT_FALSE(ParseDatabase(c.image(), why)) << c.what;
    EXPECT_FALSE(why.empty()) << c.what;
  }
}

}  // namespace
}  // namespace placarim::mbr
