// The sound-output port with nothing behind it, for test fakes to derive from
// and override only what they watch. A kind of sound a fake does not expect
// (a file, an image, raw samples) is a fault of the unit under test and
// throws; nothing is ever playing; Stop is counted; the speed settings are
// remembered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "sound/sound_output.h"

namespace placarim::testing {

class SoundOutputBase : public sound::SoundOutput {
 public:
  int PlayFile(const std::string& path) override { throw std::logic_error("file " + path); }
  int PlayMemory(const std::vector<uint8_t>&) override { throw std::logic_error("wave image"); }
  int PlaySamples(const int16_t*, size_t, uint32_t) override { throw std::logic_error("raw samples"); }
  bool IsPlaying() override { return false; }
  void Stop() override { ++stops; }
  size_t Room() override { return 0; }
  bool StopOnKey() override { return stop_on_key; }
  bool Condense() const override { return condense; }
  void SetCondense(bool on) override { condense = on; }
  bool SpeedUp() const override { return speed_up; }
  void SetSpeedUp(bool on) override { speed_up = on; }

  int stops = 0;
  bool stop_on_key = true;
  bool condense = false;
  bool speed_up = false;
};

}  // namespace placarim::testing
