#include "speech/ini_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace placarim::speech {
namespace {

namespace fs = std::filesystem;

// A scratch system configuration directory and start directory.
class IniReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) /
            ("ini_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "etc");
    fs::create_directories(root_ / "start");
    fs::create_directories(root_ / "elsewhere");
    saved_sysconf_ = std::getenv("PLACARIM_SYSCONFDIR") ? std::getenv("PLACARIM_SYSCONFDIR") : "";
    ::setenv("PLACARIM_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    saved_cwd_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(saved_cwd_);
    ::setenv("PLACARIM_SYSCONFDIR", saved_sysconf_.c_str(), 1);
    fs::remove_all(root_);
  }
  void Write(const char* dir, const std::string& text) {
    std::ofstream(root_ / dir / "FALDEK.INI") << text;
  }
  IniReader Reader() const { return IniReader((root_ / "start").string()); }
  std::string Start() const { return (root_ / "start").string(); }

  fs::path root_;
  fs::path saved_cwd_;
  std::string saved_sysconf_;
};

TEST_F(IniReaderTest, SystemFileFirstThenTheStartDirectoryAfterAChdir) {
  Write("start", "[TRADUTOR]\nVELOCIDADE=2\n");
  Write("elsewhere", "[TRADUTOR]\nVELOCIDADE=4\n");
  const IniReader ini = Reader();
  fs::current_path(root_ / "elsewhere");  // the program changed directory
  EXPECT_EQ(ini.ReadIniString("TRADUTOR", "VELOCIDADE"), "2");
  // The location is looked up afresh on every call.
  Write("etc", "[tradutor]\nvelocidade=5\n");
  EXPECT_EQ(ini.ReadIniString("TRADUTOR", "VELOCIDADE"), "5");
  EXPECT_EQ(ini.ReadIniString("TRADUTOR", "AUSENTE"), "");
}

TEST_F(IniReaderTest, ProgramDirectoryExpansion) {
  Write("etc",
        "[FALDEK]\nPGMFALDEK=c:\\kestra\nPROG.HTM=@\\bin\\navega\n"
        "[PLACARIM]\nDIRPLACARIM=@\\som\\\nCAMINHO=d:\\dados;@\\bin\nEMAIL=a@b\n");
  const IniReader ini = Reader();
  EXPECT_EQ(ini.ReadIniString("PLACARIM", "DIRPLACARIM"), "c:\\kestra\\som\\");
  EXPECT_EQ(ini.ReadIniString("PLACARIM", "CAMINHO"), "d:\\dados;c:\\kestra\\bin");
  EXPECT_EQ(ini.ReadIniString("PLACARIM", "EMAIL"), "a@b");
  EXPECT_EQ(ini.ReadIniString("", "PROG.HTM"), "c:\\kestra\\bin\\navega");  // "" is FALDEK
}

TEST_F(IniReaderTest, UnsetOrSelfReferringProgramDirectoryUsesTheStartDirectory) {
  Write("etc", "[PLACARIM]\nDIRPLACARIM=@\\som\\\n");
  EXPECT_EQ(Reader().ReadIniString("PLACARIM", "DIRPLACARIM"), Start() + "\\som\\");
  Write("etc", "[FALDEK]\nPGMFALDEK=@\\x\n[PLACARIM]\nDIRPLACARIM=@\\som\\\n");
  EXPECT_EQ(Reader().ReadIniString("PLACARIM", "DIRPLACARIM"), Start() + "\\som\\");
  Write("etc", "[FALDEK]\nPGMFALDEK=c:\\a@\\b\n[PLACARIM]\nDIRPLACARIM=@\\som\\\n");
  EXPECT_EQ(Reader().ReadIniString("PLACARIM", "DIRPLACARIM"), "c:\\a@\\b\\som\\");
}

TEST_F(IniReaderTest, ValuesAreCutTo254Characters) {
  const std::string long_value(300, 'x');
  Write("etc", "[FALDEK]\nPGMFALDEK=" + std::string(300, 'p') + "\n[A]\nB=" + long_value + "\nC=@" +
                   std::string(300, 'c') + "\n");
  const IniReader ini = Reader();
  EXPECT_EQ(ini.ReadIniString("A", "B"), long_value.substr(0, 254));
  EXPECT_EQ(ini.ReadIniString("A", "C"), std::string(254, 'p') + std::string(253, 'c'));
}

TEST_F(IniReaderTest, SystemValuesIgnoreTheStartDirectoryAndTheExpansion) {
  Write("start", "[TRADUTOR]\nDIRLETRAS=/start/letras\n");
  const IniReader ini = Reader();
  EXPECT_EQ(ini.ReadSystemValue("TRADUTOR", "DIRLETRAS", "c:\\padrao\\"), "c:\\padrao\\");
  Write("etc", "[FALDEK]\nPGMFALDEK=/k\n[TRADUTOR]\nDIRLETRAS=@\\letras\nVAZIO=\n");
  EXPECT_EQ(ini.ReadSystemValue("TRADUTOR", "DIRLETRAS", "c:\\padrao\\"), "@\\letras");
  EXPECT_EQ(ini.ReadSystemValue("TRADUTOR", "VAZIO", "padrao"), "");  // present but empty
}

TEST_F(IniReaderTest, MissingFilesReadAsEmpty) {
  const IniReader ini = Reader();
  EXPECT_EQ(ini.ReadIniString("TRADUTOR", "SAPI"), "");
  EXPECT_EQ(ini.ReadSystemValue("TRADUTOR", "SAPI", "n"), "n");
}

}  // namespace
}  // namespace placarim::speech
