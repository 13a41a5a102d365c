// libespeak-ng driven synchronously: each call returns the whole utterance
// as samples, delivered through the synthesis callback. The library keeps
// one global state, so only one EspeakVoice may exist at a time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace placarim::soundkit {

class EspeakVoice {
 public:
  EspeakVoice() = default;
  ~EspeakVoice();
  EspeakVoice(const EspeakVoice&) = delete;
  EspeakVoice& operator=(const EspeakVoice&) = delete;

  // Starts the library and selects `voice` (an espeak-ng voice or language
  // name such as "pt-br"). Returns an empty string or the reason it failed.
  std::string Open(const std::string& voice);

  // Speaks UTF-8 `text` at `words_per_minute` into `samples` (floats in
  // [-1, 1] at sample_rate()). Returns an empty string or the reason.
  std::string Speak(std::string_view text, int words_per_minute, std::vector<float>& samples);

  int sample_rate() const { return sample_rate_; }

 private:
  bool open_ = false;
  int sample_rate_ = 0;
};

}  // namespace placarim::soundkit
