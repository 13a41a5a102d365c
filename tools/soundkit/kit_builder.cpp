#include "tools/soundkit/kit_builder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/soundkit/dtmf.h"
#include "tools/soundkit/resampler.h"
#include "tools/soundkit/word_shaping.h"

namespace placarim::soundkit {

KitBuilder::KitBuilder(std::string data_directory, std::string voice)
    : data_directory_(std::move(data_directory)), voice_name_(std::move(voice)) {}

std::string KitBuilder::Speak(const KitItem& item, std::vector<float>& samples) {
  if (!voice_open_) {
    if (std::string error = voice_.Open(voice_name_); !error.empty()) return error;
    voice_open_ = true;
  }
  std::vector<float> raw;
  if (std::string error = voice_.Speak(item.text, item.words_per_minute, raw); !error.empty()) return error;
  if (Peak(raw) < kSilencePeak) return "espeak-ng produced silence for \"" + item.text + "\"";
  const std::vector<float> resampled = Resample(raw, voice_.sample_rate(), item.format.sample_rate);
  ShapingOptions options;
  options.sample_rate = item.format.sample_rate;
  samples = ShapeWord(resampled, options);
  if (samples.empty()) return "espeak-ng produced silence for \"" + item.text + "\"";
  return {};
}

std::string KitBuilder::Render(const KitItem& item, std::vector<float>& samples) {
  samples.clear();
  std::string error;
  switch (item.source) {
    case SoundSource::kSpeech: error = Speak(item, samples); break;
    case SoundSource::kTone:
      samples = DtmfTone(item.text.empty() ? '\0' : item.text[0], item.format.sample_rate, kToneSeconds);
      if (samples.empty()) error = "\"" + item.text + "\" is not a telephone key";
      break;
    case SoundSource::kCue: samples = MakeCue(item.cue, item.format.sample_rate); break;
  }
  if (!error.empty()) return error;
  if (Peak(samples) < kSilencePeak) return "the sound is silent";
  if (item.max_samples > 0 && samples.size() > item.max_samples)
    return "the sound is " + std::to_string(samples.size()) + " samples long, more than the " +
           std::to_string(item.max_samples) + " its reader holds";
  return {};
}

std::string KitBuilder::Make(const KitItem& item) {
  std::vector<float> samples;
  if (std::string error = Render(item, samples); !error.empty()) return error;
  const std::filesystem::path path = std::filesystem::path(data_directory_) / item.path;
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) return "cannot create " + path.parent_path().string() + ": " + ec.message();
  return WriteFileAtomically(path.string(), EncodeWave(samples, item.format));
}

}  // namespace placarim::soundkit
