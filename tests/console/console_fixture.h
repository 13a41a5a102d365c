// A console on the fake platform, with FALDEK.INI written in the test's system
// configuration directory before the console reads it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "console/console.h"
#include "platform/fake/fake_platform.h"
#include "platform/vk.h"

namespace placarim::console {

namespace vk = platform::vk;
namespace keys = platform::fake::keys;

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    if (std::getenv("PLACARIM_SYSCONFDIR") == nullptr) {  // run by hand, outside ctest
      setenv("PLACARIM_SYSCONFDIR", (fs::temp_directory_path() / "placarim-console-test").c_str(), 1);
    }
    etc_ = std::getenv("PLACARIM_SYSCONFDIR");
    fs::create_directories(etc_);
    fs::remove(etc_ / "FALDEK.INI");
    start_ = etc_ / "start";
    fs::create_directories(start_);
  }

  // Writes the configuration and builds the console (not yet created).
  Console& Make(const std::string& ini = "") {
    if (!ini.empty()) std::ofstream(etc_ / "FALDEK.INI", std::ios::binary) << ini;
    console_ = std::make_unique<Console>(fake, start_.string());
    return *console_;
  }

  // Codes read until the queue is empty.
  std::vector<int> Keys() {
    std::vector<int> codes;
    while (console_->KeyPressed()) codes.push_back(console_->ReadKey());
    return codes;
  }

  // Runs `f` and returns the exit code it ended the program with (-1 if none).
  template <typename F>
  int ExitCodeOf(F f) {
    try {
      f();
    } catch (const platform::ProgramExit& e) {
      return e.code;
    }
    return -1;
  }

  platform::fake::FakePlatform fake;
  std::filesystem::path etc_, start_;
  std::unique_ptr<Console> console_;
};

}  // namespace placarim::console
