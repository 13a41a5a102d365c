// A speech layer wired to recording fakes, with recordings written to a
// scratch directory: every number word holds its own key as samples, so a
// played buffer reads as the keys it glued together ("_vinte_e_uma").
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "speech/number_words.h"
#include "speech/speech.h"
#include "tests/support/speech_fakes.h"

namespace placarim::speech::testing {

class SpeechTest : public ::testing::Test {
 protected:
  static std::string ScratchRoot() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return (std::filesystem::path(::testing::TempDir()) /
            ("speech_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name()))
        .string();
  }

  SpeechTest() {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ + "/letters");
    std::filesystem::create_directories(root_ + "/sons");
    for (uint64_t n : std::initializer_list<uint64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 30, 40, 50, 60, 70,
                       80, 90, 100, 101, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1000000, 2000000,
                       1000000000, 2000000000, 1000000000000, 2000000000000}) {
      for (const std::string& key : NumberWordKeys(NumberToWords(n), true)) WriteWord(key);
      for (const std::string& key : NumberWordKeys(NumberToWords(n), false)) WriteWord(key);
    }
    voice_.letters_directory = root_ + "/letters/";
    config_.system_values["TRADUTOR/DIRLETRAS"] = root_ + "/letters";
    speech_ = std::make_unique<Speech>(console_, console_, sound_, config_, nullptr, 7);
    speech_->AttachVoice(voice_);
  }
  ~SpeechTest() override { std::filesystem::remove_all(root_); }

  // A word recording whose samples spell its key.
  void WriteWord(const std::string& key) { WriteWave("letters/" + key + ".wav", key); }
  void WriteWave(const std::string& name, const std::string& samples) {
    const std::vector<uint8_t> image =
        MakeSpeechImage(reinterpret_cast<const uint8_t*>(samples.data()), samples.size());
    std::ofstream(root_ + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  }

  void UseSynthesizer() {
    speech_ = std::make_unique<Speech>(console_, console_, sound_, config_, &synth_, 7);
    speech_->AttachVoice(voice_);
  }
  void Start(int speed = 0) { speech_->SpeechStart(speed, root_ + "/sons"); }

  // The journal with recordings of the letters directory shown by key alone.
  Journal Heard() const {
    Journal heard;
    for (std::string entry : journal_) {
      if (entry.starts_with("file:letters/")) entry = entry.substr(13, entry.size() - 13 - 4);
      heard.push_back(entry);
    }
    return heard;
  }

  std::string root_ = ScratchRoot();
  Journal journal_;
  FakeConsole console_{journal_};
  FakeSound sound_{journal_, root_, console_};
  FakeVoice voice_{journal_};
  FakeSynthesizer synth_{journal_};
  MapConfig config_;
  std::unique_ptr<Speech> speech_;
};

}  // namespace placarim::speech::testing
