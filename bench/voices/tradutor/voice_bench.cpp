// Speed of the diphone voice: a 1,000-word Portuguese text is translated and
// synthesized into memory, and the time taken is compared with the length of
// the speech produced.
//
//   tradutor_voice_bench [--speed N] [--wav FILE]
// --wav also writes the speech as one wave file, to be measured (sox stat)
// or heard.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/thousand_words.h"
#include "platform/riff_wave.h"
#include "voices/tradutor/voice.h"

namespace {

using placarim::tradutor::DiphoneVoice;
using placarim::tradutor::VoiceOpen;

class MemoryPlayer : public placarim::tradutor::WaveBufferPlayer {
 public:
  void PlayWaveBufferWait(const std::vector<uint8_t>& image) override {
    bytes += image.size() - 44;
    if (keep) samples.insert(samples.end(), image.begin() + 44, image.end());
  }
  size_t bytes = 0;
  bool keep = false;
  std::vector<uint8_t> samples;
};

class FixedSettings : public placarim::tradutor::VoiceSettings {
 public:
  std::string Read(std::string_view key, std::string_view fallback) override {
    if (key == "DIRDIFONES" || key == "dirLetras") return PLACARIM_DIFONES_BUILD_DIR;
    return std::string(fallback);
  }
};

}  // namespace

int main(int argc, char** argv) {
  int speed = 3;
  const char* wav = nullptr;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--speed")) speed = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--wav")) wav = argv[i + 1];
  }
  MemoryPlayer player;
  FixedSettings settings;
  DiphoneVoice voice(player, settings);
  voice.SetDatabaseName("DIFONES" + std::to_string(speed));
  if (const VoiceOpen result = voice.OpenDiphoneVoice(); result != VoiceOpen::kOpened) {
    std::fprintf(stderr, "the voice does not open (%d): build the database first\n", static_cast<int>(result));
    return 1;
  }
  const std::string text = ThousandWords();
  constexpr int kRounds = 5;
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < kRounds; ++round) {
    player.keep = wav && round == 0;
    voice.SpeakDiphoneCodes(voice.TranslateToDiphoneCodes(text));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double speech = double(player.bytes) / 11025.0;
  std::printf("1000 words, speed %d: %.1f s of speech in %.4f s: %.0f times real time\n", speed,
              speech / kRounds, seconds / kRounds, speech / seconds);
  if (wav) placarim::platform::riff::WriteWaveFile(wav, {}, player.samples);
  return 0;
}
