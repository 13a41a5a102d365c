// A sound output for the voices' speed benchmarks: it plays nothing and
// counts the sample bytes of the wave images handed to it (the Ilvra voice
// hands over wave images only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/sound_output.h"

struct CountingSound : placarim::sound::SoundOutput {
  size_t bytes = 0;
  int PlayMemory(const std::vector<uint8_t>& image) override {
    bytes += image.size() - 44;
    return 0;
  }
  bool IsPlaying() override { return false; }
  void Stop() override {}
  int PlayFile(const std::string&) override { return -1; }
  int PlaySamples(const int16_t*, size_t, uint32_t) override { return -1; }
  size_t Room() override { return 0; }
  bool StopOnKey() override { return false; }
  bool Condense() const override { return false; }
  void SetCondense(bool) override {}
  bool SpeedUp() const override { return false; }
  void SetSpeedUp(bool) override {}
};
