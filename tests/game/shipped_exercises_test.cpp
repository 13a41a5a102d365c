// The exercise file shipped with the program: every championship of the menu is
// there under its menu name, and every sum in it is right.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game/exercise_file.h"
#include "game/message_catalogue.h"
#include "game/random.h"

namespace placarim::game {
namespace {

std::string ShippedFile() {
  const char* source = std::getenv("PLACARIM_SOURCE_DIR");
  auto bytes = ReadWholeFile(std::string(source ? source : ".") + "/data/placarim.cnf");
  EXPECT_TRUE(bytes.has_value());
  return bytes.value_or("");
}

TEST(ShippedExercises, EveryChampionshipLoadsUnderItsMenuName) {
  const std::string file = ShippedFile();
  const MessageCatalogue catalogue;
  for (int k = 1; k <= kMaxChampionships; ++k) {
    LoadResult result = LoadChampionshipText(file, k);
    ASSERT_TRUE(result.ok()) << k;
    EXPECT_EQ(result.title, *catalogue.Find("PLNIVEL" + std::to_string(k))) << k;
    EXPECT_GE(result.championship.phase_count, 3) << k;
  }
}

TEST(ShippedExercises, EverySumIsRightAndUsesItsChampionshipsOperations) {
  const std::string file = ShippedFile();
  const char* operations[] = {"+", "+", "-", "+-", "xX*", "xX*", ":/", "+-xX*:/", "+-xX*:/"};
  for (int k = 1; k <= kMaxChampionships; ++k) {
    const Championship c = LoadChampionshipText(file, k).championship;
    for (int p = 1; p <= c.phase_count; ++p) {
      for (int s = 1; s <= c.SumCount(p); ++s) {
        const std::string& line = c.Sum(p, s);
        auto sum = ParseSum(line);
        ASSERT_TRUE(sum.has_value()) << k << ": " << line;
        EXPECT_NE(std::string(operations[k - 1]).find(sum->op), std::string::npos)
            << k << ": " << line;
        EXPECT_EQ(CellValue(sum->a, sum->op, sum->b), sum->r) << k << ": " << line;
        if (sum->op == ':' || sum->op == '/') {
          EXPECT_NE(sum->b, 0) << line;
          EXPECT_EQ(int64_t{sum->b} * sum->r, sum->a) << "inexact division " << line;
        }
      }
    }
  }
}

}  // namespace
}  // namespace placarim::game
