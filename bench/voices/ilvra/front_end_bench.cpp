// Speed of the Ilvra front end: a Portuguese text of about 100,000 words is
// turned, sentence by sentence, into diphone-engine lines (normalisation,
// keys, contours, letter rules, durations and pitch) on one core.
//
//   ilvra_front_end_bench [DATA_DIR]
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "voices/ilvra/front_end.h"
#include "voices/ilvra/phoneme_set.h"
#include "platform/text_encoding.h"

int main(int argc, char** argv) {
  using namespace placarim::ilvra;
  const std::string dir = std::string(argc > 1 ? argv[1] : PLACARIM_ILVRA_BUILD_DIR) + "/";
  std::string dfn = dir + "portug.dfn";
  if (!std::ifstream(dfn)) {
    // Before the engine's database exists: every pair present.
    dfn = "/tmp/ilvra_bench_all_pairs.dfn";
    std::ofstream out(dfn);
    for (auto a : PhonemeNames()) {
      for (auto b : PhonemeNames()) out << a << ' ' << b << '\n';
    }
  }
  FrontEnd front(nullptr);
  if (front.Load({dir + "portug.nrl", dir + "portug.exc", dir + "portug.abr", dir + "portug.pro", dfn}) !=
      FrontEndError::kNone) {
    std::fprintf(stderr, "%s: the language files do not load\n", dir.c_str());
    return 1;
  }
  std::ifstream in(PLACARIM_BENCH_TEXT);
  std::stringstream whole;
  whole << in.rdbuf();
  // Sentences of the sample text, as the game would hand them over.
  std::vector<std::string> sentences;
  size_t words_per_pass = 0;
  {
    const std::string text = placarim::platform::Utf8ToCp1252(whole.str());
    std::string sentence;
    for (char c : text) {
      sentence += c == '\n' ? ' ' : c;
      if (c == '.' || c == '!' || c == '?') {
        sentences.push_back(sentence);
        sentence.clear();
      }
    }
    if (!sentence.empty()) sentences.push_back(sentence);
    std::istringstream split(text);
    for (std::string w; split >> w;) ++words_per_pass;
  }
  if (words_per_pass == 0) return 1;
  const size_t passes = (100000 + words_per_pass - 1) / words_per_pass;
  size_t lines = 0;
  const auto start = std::chrono::steady_clock::now();
  for (size_t p = 0; p < passes; ++p) {
    for (const auto& s : sentences) lines += front.TextToMbrola(s, 1.0, 1.0).size();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double words = static_cast<double>(words_per_pass * passes);
  std::printf("front end: %.0f words in %.3f s: %.0f words/s (%zu engine lines)\n", words, seconds,
              words / seconds, lines);
  return 0;
}
