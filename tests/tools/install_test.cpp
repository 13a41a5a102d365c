// Installs the build to a scratch prefix and checks what a user gets: the
// data, a configuration whose directories exist there, a desktop entry, and
// a launcher that finds that configuration from any directory.
#include <gtest/gtest.h>

#include "platform/config_file.h"
#include "platform/text_encoding.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>
#include <unistd.h>

namespace placarim {
namespace {

namespace fs = std::filesystem;

std::string Capture(const std::string& command, int& status) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  std::string out;
  if (pipe == nullptr) {
    status = -1;
    return out;
  }
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) out += buffer.data();
  status = pclose(pipe);
  return out;
}

// A value as the system's configuration reader sees it (Windows-1252 text),
// turned back into this system's UTF-8 file names as the program does.
std::string IniValue(const fs::path& file, const std::string& section, const std::string& key) {
  return platform::Cp1252ToUtf8(platform::ReadConfigValue(file.string(), section, key).value_or(""));
}

// A key of a desktop entry (a UTF-8 file of "key=value" lines).
std::string DesktopValue(const fs::path& file, const std::string& key) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);)
    if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
  return {};
}

// Splits a desktop entry's Exec value into arguments the way a desktop does:
// the string escapes first (\s \n \t \r \\), then words separated by spaces,
// double-quoted words taking \" \` \$ \\ as those characters; %% is a %.
std::vector<std::string> SplitExec(const std::string& value) {
  std::string text;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text += value[i];
      continue;
    }
    const char next = value[++i];
    text += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
  }
  std::vector<std::string> args;
  std::string word;
  bool in_word = false, quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < text.size() && std::string_view("\"`$\\").find(text[i + 1]) != std::string_view::npos) {
        word += text[++i];
      } else {
        word += c;
      }
    } else if (c == ' ') {
      if (in_word) args.push_back(word);
      word.clear();
      in_word = false;
    } else if (c == '"') {
      quoted = in_word = true;
    } else if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
      word += text[++i];
      in_word = true;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) args.push_back(word);
  return args;
}

class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* cmake = std::getenv("CMAKE_COMMAND");
    const char* binary = std::getenv("PLACARIM_BINARY_DIR");
    ASSERT_TRUE(cmake && binary);
    scratch_ = fs::temp_directory_path() / ("placarim_install_" + std::to_string(getpid()));
    fs::remove_all(scratch_);
    prefix_ = scratch_ / "prefixo com espaço";
    int status = 0;
    install_log_ = Capture("'" + std::string(cmake) + "' --install '" + binary + "' --prefix '" +
                               prefix_.string() + "'", status);
    install_status_ = status;
  }
  static void TearDownTestSuite() { fs::remove_all(scratch_); }

  static inline fs::path scratch_, prefix_;
  static inline std::string install_log_;
  static inline int install_status_ = -1;
};

TEST_F(InstallTest, InstalledConfigurationNamesInstalledData) {
  ASSERT_EQ(install_status_, 0) << install_log_;
  const fs::path ini = prefix_ / "etc/placarim/FALDEK.INI";
  ASSERT_TRUE(fs::exists(ini)) << install_log_;
  const std::string program_dir = IniValue(ini, "FALDEK", "PGMFALDEK");
  EXPECT_TRUE(fs::equivalent(program_dir, prefix_ / "share/placarim"));
  EXPECT_TRUE(fs::exists(fs::path(IniValue(ini, "TRADUTOR", "DIRLETRAS")) / "_65.wav"));
  EXPECT_TRUE(fs::exists(fs::path(IniValue(ini, "TRADUTOR", "DIRLETRAS")) / "dtmf_X.wav"));
  const std::string sounds = IniValue(ini, "PLACARIM", "DIRPLACARIM");
  ASSERT_TRUE(sounds.starts_with("@"));
  EXPECT_TRUE(fs::exists(fs::path(program_dir + sounds.substr(1)) / "PLMUSINI.wav"));
  // The Ilvra voice: its files where the configuration says, its engine
  // beside the program, where the voice looks for it.
  const fs::path ilvra = IniValue(ini, "ILVRATTS", "DIR");
  EXPECT_TRUE(fs::exists(ilvra / "ilvra.db"));
  EXPECT_TRUE(fs::exists(ilvra / (IniValue(ini, "ILVRATTS", "BASE") + ".dfn")));
  EXPECT_TRUE(fs::exists(prefix_ / "libexec/placarim/libplacarim-mbrola.so"));
  // Build-only files stay behind.
  EXPECT_FALSE(fs::exists(prefix_ / "share/placarim/CMakeFiles"));
  EXPECT_FALSE(fs::exists(prefix_ / "share/placarim/cmake_install.cmake"));
}

TEST_F(InstallTest, DesktopEntryStartsTheInstalledLauncher) {
  ASSERT_EQ(install_status_, 0) << install_log_;
  const fs::path entry = prefix_ / "share/applications/placarim.desktop";
  ASSERT_TRUE(fs::exists(entry));
  // The prefix holds a space: unquoted, a desktop would start "…/prefixo".
  const std::vector<std::string> exec = SplitExec(DesktopValue(entry, "Exec"));
  ASSERT_EQ(exec.size(), 1u) << DesktopValue(entry, "Exec");
  EXPECT_EQ(fs::path(exec[0]), prefix_ / "bin/placarim");
  int status = 0;
  const std::string help = Capture("'" + exec[0] + "' --help", status);
  EXPECT_EQ(status, 0) << help;
  EXPECT_NE(help.find("Ctrl+Shift+F11"), std::string::npos) << help;  // the program itself answered
  const std::string validation = Capture("desktop-file-validate '" + entry.string() + "'", status);
  EXPECT_EQ(status, 0) << validation;
  EXPECT_EQ(DesktopValue(entry, "Icon"), "placarim");
  EXPECT_TRUE(fs::exists(prefix_ / "share/icons/hicolor/scalable/apps/placarim.svg"));
}

TEST_F(InstallTest, LauncherPointsTheProgramAtTheInstalledConfigurationFromAnyDirectory) {
  ASSERT_EQ(install_status_, 0) << install_log_;
  // A copy of the installed tree's launcher with a stand-in program that
  // reports what it was given; reached through a symbolic link, from
  // another directory, as a desktop or a user's PATH would start it.
  const fs::path moved = scratch_ / "movido";
  fs::create_directories(moved / "bin");
  fs::create_directories(moved / "libexec/placarim");
  fs::create_directories(moved / "etc/placarim");
  fs::copy_file(prefix_ / "bin/placarim", moved / "bin/placarim");
  const fs::path stand_in = moved / "libexec/placarim/placarim";
  std::ofstream(stand_in) << "#!/bin/sh\necho \"conf=$PLACARIM_SYSCONFDIR args=$*\"\n";
  fs::permissions(stand_in, fs::perms::owner_all);
  fs::create_symlink(moved / "bin/placarim", scratch_ / "atalho");
  fs::create_directories(scratch_ / "outro");
  int status = 0;
  const std::string out = Capture("cd '" + (scratch_ / "outro").string() +
                                      "' && PLACARIM_SYSCONFDIR=/nao/existe ../atalho um", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out, "conf=" + (moved / "etc/placarim").string() + " args=um\n");
}

TEST_F(InstallTest, TeachersToolsAreInstalledAndFindTheInstalledFiles) {
  ASSERT_EQ(install_status_, 0) << install_log_;
  const fs::path home = scratch_ / "casa";
  fs::create_directories(home);
  const std::string env = "cd / && HOME='" + home.string() + "' XDG_CONFIG_HOME= XDG_DATA_HOME= PLACARIM_SYSCONFDIR=/nao/existe ";
  int status = 0;
  // With no file of the teacher's own, the checker reads the shipped file
  // through the installed configuration.
  std::string out = Capture(env + "'" + (prefix_ / "bin/placarim-check").string() + "'", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find((prefix_ / "share/placarim/placarim.cnf").string()), std::string::npos) << out;
  out = Capture(env + "'" + (prefix_ / "bin/placarim-report").string() + "' --ajuda", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("placarim-report"), std::string::npos) << out;
}

TEST_F(InstallTest, EditExercisesCopiesTheShippedFileOnceAndOpensIt) {
  ASSERT_EQ(install_status_, 0) << install_log_;
  // A stand-in for the desktop's opener that notes what it was asked to open.
  const fs::path tools = scratch_ / "ferramentas";
  fs::create_directories(tools);
  const fs::path opened = scratch_ / "aberto.txt";
  std::ofstream(tools / "xdg-open") << "#!/bin/sh\necho \"$1\" >> '" << opened.string() << "'\n";
  fs::permissions(tools / "xdg-open", fs::perms::owner_all);
  const fs::path config = scratch_ / "config do usuario";
  const fs::path own = config / "placarim/placarim.cnf";
  const std::string command = "cd / && PATH='" + tools.string() + ":/usr/bin:/bin' XDG_CONFIG_HOME='" +
                              config.string() + "' '" + (prefix_ / "bin/placarim").string() + "' --edit-exercises";
  int status = 0;
  std::string out = Capture(command, status);
  EXPECT_EQ(status, 0) << out;
  std::ifstream copy(own, std::ios::binary), original(prefix_ / "share/placarim/placarim.cnf", std::ios::binary);
  const std::string copied((std::istreambuf_iterator<char>(copy)), std::istreambuf_iterator<char>());
  const std::string source((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(copied.empty());
  EXPECT_EQ(copied, source);
  EXPECT_EQ((fs::status(own).permissions() & fs::perms::owner_write), fs::perms::owner_write);

  // The teacher's changes are never overwritten by a second call.
  std::ofstream(own, std::ios::binary | std::ios::trunc) << "*Minhas contas\n1+1=2\n";
  out = Capture(command, status);
  EXPECT_EQ(status, 0) << out;
  std::ifstream again(own, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()),
            "*Minhas contas\n1+1=2\n");
  std::ifstream log(opened);
  const std::string asked((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_EQ(asked, own.string() + "\n" + own.string() + "\n");
}

}  // namespace
}  // namespace placarim
