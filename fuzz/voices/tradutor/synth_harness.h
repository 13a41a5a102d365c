// A synthesis set-up for fuzzing: a data file of 4,000 bytes in a scratch
// directory, an index parsed from given bytes, a player that checks buffers.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "voices/tradutor/diphone_synth.h"

namespace placarim::tradutor::fuzzing {

class CheckingPlayer : public WaveBufferPlayer {
 public:
  void PlayWaveBufferWait(const std::vector<uint8_t>& image) override {
    if (image.size() < 44 || image.size() >= 64000) __builtin_trap();
  }
};

struct Harness {
  Harness() {
    dir = std::filesystem::temp_directory_path() / ("placarim-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    data_path = (dir / "DIFONES2.DIF").string();
    std::ofstream(data_path, std::ios::binary) << std::string(4000, '\x80');
    data.Open(data_path);
    letters = dir.string() + "/";
  }
  ~Harness() { std::filesystem::remove_all(dir); }

  std::filesystem::path dir;
  std::string data_path;
  std::string letters;
  CheckingPlayer player;
  SoundBuffer buffer{player};
  DiphoneIndex index;
  UnitData data;
  DiphoneTuning tuning;
  DiphoneSynth synth{buffer, index, data, letters, tuning};
};

}  // namespace placarim::tradutor::fuzzing
