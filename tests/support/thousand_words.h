// The voices' speed benchmarks speak the same text: the sample text
// (PLACARIM_BENCH_TEXT, UTF-8) repeated and cut to exactly 1,000 words, in
// Windows-1252 as the voices take it.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text_encoding.h"

inline std::string ThousandWords() {
  std::ifstream in(PLACARIM_BENCH_TEXT);
  std::stringstream whole;
  whole << in.rdbuf();
  std::vector<std::string> words;
  while (words.size() < 1000) {
    std::istringstream split(whole.str());
    std::string w;
    while (words.size() < 1000 && split >> w) words.push_back(w);
    if (words.empty()) break;
  }
  std::string text;
  for (const auto& w : words) text += w + " ";
  return placarim::platform::Utf8ToCp1252(text);
}
