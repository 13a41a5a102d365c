// Speed of the Ilvra voice (front end and our engine, through the voice's
// binding) against espeak-ng's own, on the same sentences in one run: each
// sentence is spoken by one and then the other, and each voice's speed is
// the length of the speech it made divided by the time it took.
//
//   ilvra_speed_bench [rounds, default 3]
// Prints both speeds as multiples of real time and their ratio.
#include <espeak-ng/speak_lib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/counting_sound.h"
#include "voices/ilvra/ilvra_voice.h"
#include "platform/text_encoding.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

size_t espeak_samples = 0;
int CountSamples(short*, int count, espeak_EVENT*) {
  espeak_samples += static_cast<size_t>(std::max(count, 0));
  return 0;
}

std::vector<std::string> Sentences(const std::string& text) {
  std::vector<std::string> sentences;
  std::string current;
  for (char c : text) {
    current += c == '\n' ? ' ' : c;
    if (c == '.' || c == '!' || c == '?') {
      if (current.find_first_not_of(' ') != std::string::npos) sentences.push_back(current);
      current.clear();
    }
  }
  return sentences;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::ifstream in(PLACARIM_BENCH_TEXT);
  const std::vector<std::string> sentences =
      Sentences(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  const fs::path data = PLACARIM_ILVRA_DATA;
  const fs::path prosody = data / "portug.pro";

  CountingSound sound;
  placarim::ilvra::IlvraVoice voice(sound, nullptr, PLACARIM_MBROLA_LIBRARY, (data / "ilvra.db").string());
  if (!voice.IlvraOpen("", (data / "portug.nrl").string(), (data / "portug.exc").string(),
                       (data / "portug.dfn").string(), prosody.string(), (data / "portug.abr").string())) {
    std::fprintf(stderr, "the Ilvra voice could not be opened: %s\n", voice.LastError().c_str());
    return 1;
  }
  const int espeak_rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
  if (espeak_rate <= 0 || espeak_SetVoiceByName("pt-br") != EE_OK) {
    std::fprintf(stderr, "espeak-ng could not be opened\n");
    return 1;
  }
  espeak_SetSynthCallback(CountSamples);

  Clock::duration ilvra_time{}, espeak_time{};
  for (int round = 0; round < rounds; ++round) {
    for (const std::string& sentence : sentences) {
      auto start = Clock::now();
      voice.IlvraSpeak(placarim::platform::Utf8ToCp1252(sentence));
      ilvra_time += Clock::now() - start;
      start = Clock::now();
      espeak_Synth(sentence.c_str(), sentence.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
      espeak_Synchronize();
      espeak_time += Clock::now() - start;
    }
  }
  const double ilvra_audio = sound.bytes / 2.0 / placarim::ilvra::kIlvraRate;
  const double espeak_audio = double(espeak_samples) / espeak_rate;
  const double ilvra_speed = ilvra_audio / std::chrono::duration<double>(ilvra_time).count();
  const double espeak_speed = espeak_audio / std::chrono::duration<double>(espeak_time).count();
  std::printf("%zu sentences, %d rounds\n", sentences.size(), rounds);
  std::printf("Ilvra (front end + engine): %8.1f s of speech, %7.1f times real time\n", ilvra_audio, ilvra_speed);
  std::printf("espeak-ng:                  %8.1f s of speech, %7.1f times real time\n", espeak_audio, espeak_speed);
  std::printf("ratio Ilvra / espeak-ng:    %7.2f\n", ilvra_speed / espeak_speed);
  espeak_Terminate();
  return 0;
}
