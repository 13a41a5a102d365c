#include "platform/config_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace placarim::platform {
namespace {

namespace fs = std::filesystem;

struct Lookup {
  const char* name;
  std::string text;
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

TEST(ConfigText, FollowsPrivateProfileRules) {
  const Lookup cases[] = {
      {"plain", "[VIDEO]\nLENTO=S\n", "VIDEO", "LENTO", "S"},
      {"case of names", "[video]\nlento=S\n", "Video", "LENTO", "S"},
      {"blanks stripped", "  [ VIDEO ]  \n  LENTO  =  sim  \n", "VIDEO", "LENTO", "sim"},
      {"inner blanks kept", "[A]\nFONTE=Lucida Console\n", "A", "FONTE", "Lucida Console"},
      {"double quotes", "[A]\nK=\"  x y \"\n", "A", "K", "  x y "},
      {"single quotes", "[A]\nK='x'\n", "A", "K", "x"},
      {"unmatched quote kept", "[A]\nK=\"x'\n", "A", "K", "\"x'"},
      {"lone quote kept", "[A]\nK=\"\n", "A", "K", "\""},
      {"empty value", "[A]\nK=\n", "A", "K", ""},
      {"value with equals", "[A]\nK=a=b\n", "A", "K", "a=b"},
      {"CR LF", "[A]\r\nK=1\r\nL=2\r\n", "A", "L", "2"},
      {"CR only", "[A]\rK=1\rL=2\r", "A", "L", "2"},
      {"no final newline", "[A]\nK=1", "A", "K", "1"},
      {"first duplicate key wins", "[A]\nK=1\nK=2\n", "A", "K", "1"},
      {"first duplicate section wins", "[A]\nK=1\n[B]\n[a]\nK=2\nL=3\n", "A", "K", "1"},
      {"later duplicate section unseen", "[A]\nK=1\n[a]\nL=3\n", "A", "L", std::nullopt},
      {"missing bracket is no header", "[A]\nK=1\n[B\nL=2\n", "A", "L", "2"},
      {"missing bracket names nothing", "[B\nL=2\n", "B", "L", std::nullopt},
      {"key outside any section", "K=1\n[A]\n", "A", "K", std::nullopt},
      {"line without equals", "[A]\nK\nK=5\n", "A", "K", "5"},
      {"comment line", "[A]\n;K=1\nK=2\n", "A", "K", "2"},
      {"absent section", "[A]\nK=1\n", "B", "K", std::nullopt},
      {"absent key", "[A]\nK=1\n", "A", "L", std::nullopt},
      {"key of other section", "[A]\nK=1\n[B]\nL=2\n", "A", "L", std::nullopt},
      {"latin-1 value", "[A]\nK=op\xE7\xE3o\n", "A", "K", "op\xE7\xE3o"},
      {"empty text", "", "A", "K", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConfigText(c.text).Get(c.section, c.key), c.expected) << c.name;
  }
}

TEST(ConfigText, SurvivesHostileText) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 131 + 7) % 256);
  EXPECT_NO_THROW(ConfigText(junk).Get("A", "K"));
  EXPECT_EQ(ConfigText(junk + "\n[A]\nK=ok\n").Get("A", "K"), "ok");

  const std::string huge(1 << 20, 'x');
  ConfigText big("[A]\nLONG=" + huge + "\nK=after\n[" + huge + "]\nZ=1\n");
  EXPECT_EQ(big.Get("A", "LONG")->size(), huge.size());
  EXPECT_EQ(big.Get("A", "K"), "after");
  EXPECT_EQ(big.Get(huge, "Z"), "1");

  std::string with_nul = "[A]\nK=a";
  with_nul += '\0';
  with_nul += "b\nL=2\n";
  EXPECT_EQ(ConfigText(with_nul).Get("A", "L"), "2");
}

class ConfigFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("PLACARIM_SYSCONFDIR") == nullptr) {  // run by hand, outside ctest
      setenv("PLACARIM_SYSCONFDIR", (fs::temp_directory_path() / "placarim-config-test").c_str(), 1);
    }
    sys_ = fs::path(std::getenv("PLACARIM_SYSCONFDIR"));
    start_ = sys_.parent_path() / (sys_.filename().string() + ".start");
    fs::remove_all(sys_);
    fs::remove_all(start_);
    fs::create_directories(sys_);
    fs::create_directories(start_);
  }
  static void Write(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
  }
  fs::path sys_, start_;
};

TEST_F(ConfigFiles, SystemDirectoryComesBeforeStartDirectory) {
  EXPECT_EQ(SystemConfigDirectory(), sys_.string());
  Write(start_ / "FALDEK.INI", "[A]\nK=start\n");
  EXPECT_EQ(ReadConfigValue(LocateConfigFile(start_), "A", "K"), "start");
  Write(sys_ / "faldek.ini", "[A]\nK=system\n");  // found whatever its letter case
  EXPECT_EQ(ReadConfigValue(LocateConfigFile(start_), "A", "K"), "system");
}

TEST_F(ConfigFiles, MissingFileReadsAsEmpty) {
  EXPECT_EQ(ReadConfigValue(LocateConfigFile(start_), "A", "K"), std::nullopt);
  EXPECT_EQ(ReadConfigValue((start_ / "none" / "x.ini").string(), "A", "K"), std::nullopt);
}

TEST_F(ConfigFiles, Utf8FileAndByteOrderMarkAreRead) {
  Write(sys_ / "FALDEK.INI", "\xEF\xBB\xBF[A]\nK=op\xC3\xA7\xC3\xA3o\n");
  EXPECT_EQ(ReadConfigValue(LocateConfigFile(start_), "A", "K"), "op\xE7\xE3o");
}

TEST_F(ConfigFiles, StartDirectoryIsRememberedOnce) {
  const std::string first = StartDirectory();
  const auto before = fs::current_path();
  fs::current_path(start_);
  EXPECT_EQ(StartDirectory(), first);
  fs::current_path(before);
}

}  // namespace
}  // namespace placarim::platform
