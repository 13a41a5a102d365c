// Prints the diphone-engine lines of the Ilvra voice for a text: one phoneme
// a line with its duration in ms and pitch points, ";" comments naming the
// words. For listening tests and for driving another engine that reads the
// same phoneme input.
//
//   placarim_ilvra_lines [--data DIR] [--dfn FILE] [--pitch F] [--duration F] [TEXT...]
//
// Without TEXT every line of standard input is one text. Texts may be UTF-8
// or Windows-1252; the output is UTF-8. DIR holds portug.nrl, portug.exc,
// portug.abr, portug.pro and portug.dfn; without a diphone list every pair
// of the voice's phonemes counts as present.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "voices/ilvra/front_end.h"
#include "voices/ilvra/phoneme_set.h"
#include "platform/text_encoding.h"

namespace {

namespace fs = std::filesystem;
using namespace placarim::ilvra;

std::string DefaultDataDir(const char* argv0) {
  std::error_code error;
  const fs::path self = fs::canonical("/proc/self/exe", error);
  if (!error) {
    const fs::path installed = self.parent_path().parent_path() / "share/placarim/ilvra";
    if (fs::exists(installed / "portug.nrl")) return installed.string();
  }
#ifdef PLACARIM_ILVRA_BUILD_DIR
  if (fs::exists(fs::path(PLACARIM_ILVRA_BUILD_DIR) / "portug.nrl")) return PLACARIM_ILVRA_BUILD_DIR;
#endif
  return fs::path(argv0).parent_path().string();
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const auto& line : lines) std::printf("%s\n", placarim::platform::Cp1252ToUtf8(line).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir, dfn;
  double pitch = 1.0, duration = 1.0;
  std::vector<std::string> texts;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a value\n", arg.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--data") dir = value();
    else if (arg == "--dfn") dfn = value();
    else if (arg == "--pitch") pitch = std::atof(value().c_str());
    else if (arg == "--duration") duration = std::atof(value().c_str());
    else if (arg == "--help" || arg == "-h") {
      std::printf("usage: %s [--data DIR] [--dfn FILE] [--pitch F] [--duration F] [TEXT...]\n", argv[0]);
      return 0;
    } else texts.push_back(arg);
  }
  if (dir.empty()) dir = DefaultDataDir(argv[0]);
  if (dfn.empty()) dfn = dir + "/portug.dfn";

  const auto message = [](const std::string& text) {
    std::fprintf(stderr, "%s\n", placarim::platform::Cp1252ToUtf8(text).c_str());
  };
  RuleSet rules;
  AbbreviationTable abbreviations;
  ProsodyTables prosody;
  DiphoneList diphones;
  std::vector<std::string> notices;
  if (!LoadIlvraRules(dir + "/portug.nrl", dir + "/portug.exc", rules, &notices)) {
    std::fprintf(stderr, "%s: letter rules or exceptions cannot be read\n", dir.c_str());
    return 1;
  }
  if (!LoadAbbreviations(dir + "/portug.abr", abbreviations, &notices)) {
    std::fprintf(stderr, "%s: abbreviations cannot be read\n", dir.c_str());
    return 1;
  }
  if (!LoadProsody(dir + "/portug.pro", prosody, message, &notices)) return 1;
  if (!LoadDiphoneList(dfn, diphones)) {
    std::vector<std::string> pairs;
    for (auto a : PhonemeNames()) {
      for (auto b : PhonemeNames()) pairs.push_back(std::string(a) + "-" + std::string(b));
    }
    diphones.Assign(std::move(pairs));
  }
  for (const auto& n : notices) std::fprintf(stderr, "%s\n", n.c_str());

  auto speak = [&](const std::string& raw) {
    const std::string text = placarim::platform::LooksLikeUtf8(raw) ? placarim::platform::Utf8ToCp1252(raw) : raw;
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return;
    const std::string trimmed = text.substr(first, text.find_last_not_of(' ') - first + 1);
    const auto tokens = TokenizeWithKeys(NormalizeText(trimmed, abbreviations), prosody);
    const auto phonemes = WordsToPhonemes(AssignContours(tokens, prosody), rules);
    PrintLines(PhonemesToMbrola(phonemes, prosody, diphones, pitch, duration));
  };
  if (!texts.empty()) {
    std::string joined;
    for (const auto& t : texts) joined += (joined.empty() ? "" : " ") + t;
    speak(joined);
  } else {
    for (std::string line; std::getline(std::cin, line);) speak(line);
  }
  return 0;
}
