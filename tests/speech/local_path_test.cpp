#include "speech/local_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace placarim::speech {
namespace {

namespace fs = std::filesystem;

TEST(LocalPath, WindowsFormsBecomeLocalPaths) {
  const std::pair<const char*, const char*> cases[] = {
      {"c:\\kestra\\som\\letras\\", "/kestra/som/letras/"},
      {"C:\\kestra", "/kestra"},
      {"sons\\", "sons/"},
      {"sons", "sons"},
      {"/usr/share/placarim/sons/", "/usr/share/placarim/sons/"},
      {"/home/u\\som\\", "/home/u/som/"},  // start directory joined with a configured tail
      {"", ""},
      {"c:", ""},
      {"m\xFAsica\\", "m\xC3\xBAsica/"},             // Windows-1252 becomes UTF-8
      {"m\xC3\xBAsica/", "m\xC3\xBAsica/"},          // UTF-8 stays
  };
  for (const auto& [configured, local] : cases) EXPECT_EQ(LocalPath(configured), local) << configured;
}

TEST(LocalPath, DirectoriesGainOneSlash) {
  EXPECT_EQ(LocalDirectory("sons"), "sons/");
  EXPECT_EQ(LocalDirectory("sons\\"), "sons/");
  EXPECT_EQ(LocalDirectory(""), "");
  EXPECT_EQ(WithTrailingSlash("/a/"), "/a/");
}

class CaseInsensitiveFinder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) / ("finder_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "Sub.wav");
    std::ofstream(dir_ / "PLINIC.WAV") << "x";
    std::ofstream(dir_ / "_65.wav") << "x";
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(CaseInsensitiveFinder, FindsFilesDifferingOnlyInCase) {
  EXPECT_EQ(FindFileIgnoringCase(Path("_65.wav")), Path("_65.wav"));
  EXPECT_EQ(FindFileIgnoringCase(Path("plinic.wav")), Path("PLINIC.WAV"));
  EXPECT_TRUE(FileExistsIgnoringCase(Path("Plinic.Wav")));
  EXPECT_FALSE(FileExistsIgnoringCase(Path("PLGOL.wav")));
  EXPECT_EQ(FindFileIgnoringCase(Path("PLGOL.wav")), Path("PLGOL.wav"));
  // A directory with a matching name is not a sound file.
  EXPECT_FALSE(FileExistsIgnoringCase(Path("sub.wav")));
  EXPECT_FALSE(FileExistsIgnoringCase((dir_ / "missing" / "x.wav").string()));
  EXPECT_FALSE(FileExistsIgnoringCase(""));
}

}  // namespace
}  // namespace placarim::speech
