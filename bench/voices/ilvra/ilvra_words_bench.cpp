// Speed of the Ilvra voice (front end and engine) on the same 1,000 words
// the built-in voice's benchmark speaks, synthesized into memory: the length
// of the speech made divided by the time it took. Built natively (the engine
// loaded as on the desktop) and for WebAssembly (the engine linked in, run by
// node: node build-web/ilvra_words_bench.js).
//
//   ilvra_words_bench [rounds, default 5]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/counting_sound.h"
#include "tests/support/thousand_words.h"
#include "voices/ilvra/ilvra_voice.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string data = PLACARIM_ILVRA_DATA "/";
  CountingSound sound;
  placarim::ilvra::IlvraVoice voice(sound, nullptr, PLACARIM_MBROLA_LIBRARY, data + "ilvra.db");
  if (!voice.IlvraOpen("", data + "portug.nrl", data + "portug.exc", data + "portug.dfn", data + "portug.pro",
                       data + "portug.abr")) {
    std::fprintf(stderr, "the Ilvra voice could not be opened: %s\n", voice.LastError().c_str());
    return 1;
  }
  const std::string text = ThousandWords();
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < rounds; ++round) voice.IlvraSpeak(text);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double speech = double(sound.bytes) / 2.0 / placarim::ilvra::kIlvraRate;
  std::printf("1000 words, Ilvra voice: %.1f s of speech in %.4f s: %.0f times real time\n", speech / rounds,
              seconds / rounds, speech / seconds);
  return 0;
}
