// Makes the files of the kit, one item at a time, into a data tree.
#pragma once

#include <string>
#include <vector>

#include "tools/soundkit/espeak_voice.h"
#include "tools/soundkit/kit.h"

namespace placarim::soundkit {

class KitBuilder {
 public:
  // `data_directory` is the root of the tree; `voice` the espeak-ng voice,
  // opened the first time an item needs speech.
  KitBuilder(std::string data_directory, std::string voice);

  // Renders and writes one item. Returns an empty string, or the reason the
  // item could not be made; then no file is left under its name.
  std::string Make(const KitItem& item);

  // The item's samples at its format's rate, checked: not silent, not longer
  // than its reader holds. Returns an empty string or the reason.
  std::string Render(const KitItem& item, std::vector<float>& samples);

 private:
  std::string Speak(const KitItem& item, std::vector<float>& samples);

  std::string data_directory_;
  std::string voice_name_;
  EspeakVoice voice_;
  bool voice_open_ = false;
};

}  // namespace placarim::soundkit
