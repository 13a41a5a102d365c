// A sound output for the voices' speed benchmarks: it plays nothing and
// counts the sample bytes of the wave images handed to it (the Ilvra voice
// hands over wave images only; the base throws at anything else).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/support/sound_output_base.h"

struct CountingSound : placarim::testing::SoundOutputBase {
  size_t bytes = 0;
  int PlayMemory(const std::vector<uint8_t>& image) override {
    bytes += image.size() - 44;
    return 0;
  }
};
