// Clicks in the Ilvra voice: the text's sentences through the front end and
// our engine, then a count of sample steps a listener hears as clicks, a
// minute of speech, with the phoneme pairs they fall on.
//
//   ilvra_clicks [--wave OUT.wav] [--labels OUT.txt] [TEXT-FILE...]
//
// Without a file it reads the benchmark text. Text files are UTF-8 or
// Windows-1252. --labels writes "start end name" lines (seconds), one a
// phoneme, for a sound editor.
//
// A step is a jump between two samples that stands out of quiet
// surroundings: the signal moves by at most a quarter of the jump between
// the neighbouring samples on either side. Speech at 16 kHz never moves like
// that; a grain or unit edge that lands off zero does.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "mbr/diphone_engine.h"
#include "mbr/phoneme_line.h"
#include "mbr/voice_database.h"
#include "platform/riff_wave.h"
#include "platform/text_encoding.h"
#include "tests/support/repeated_fragments.h"
#include "voices/ilvra/front_end.h"

namespace {

constexpr int kRate = 16000;
constexpr size_t kAround = 6;  // quiet samples wanted on each side of a step

std::vector<std::string> Sentences(const std::string& text) {
  std::vector<std::string> sentences;
  std::string current;
  for (char c : text) {
    current += c == '\n' || c == '\r' ? ' ' : c;
    if (c == '.' || c == '!' || c == '?' || c == '\n') {
      if (current.find_first_not_of(' ') != std::string::npos) sentences.push_back(current);
      current.clear();
    }
  }
  if (current.find_first_not_of(' ') != std::string::npos) sentences.push_back(current);
  return sentences;
}

struct Span {
  size_t start, end;
  std::string name;
};

// The sizes of the steps: for each sample i whose jump from i-1 is at least
// `threshold` and at least four times every jump within kAround samples on
// either side.
std::vector<size_t> Steps(const std::vector<int16_t>& s, int threshold) {
  std::vector<size_t> at;
  auto jump = [&](size_t i) { return std::abs(int(s[i]) - int(s[i - 1])); };
  for (size_t i = kAround + 1; i + kAround < s.size(); ++i) {
    const int j = jump(i);
    if (j < threshold) continue;
    bool stands_out = true;
    for (size_t k = i - kAround; k <= i + kAround && stands_out; ++k) {
      if (k != i && 4 * jump(k) > j) stands_out = false;
    }
    if (stands_out) at.push_back(i);
  }
  return at;
}

// How many of `at` fall on each pair "phoneme-before phoneme", commonest first.
void PrintWhere(const std::vector<size_t>& at, const std::vector<Span>& spans) {
  std::map<std::string, int> where;
  size_t k = 0;
  for (size_t a : at) {
    while (k < spans.size() && spans[k].end <= a) ++k;
    const std::string pair = k >= spans.size() ? "(end)"
                             : (k > 0 ? spans[k - 1].name : std::string("_")) + " " + spans[k].name;
    ++where[pair];
  }
  std::vector<std::pair<int, std::string>> ranked;
  for (const auto& [pair, count] : where) ranked.emplace_back(count, pair);
  std::sort(ranked.rbegin(), ranked.rend());
  for (size_t i = 0; i < ranked.size() && i < 12; ++i) std::printf("  %-8s %d\n", ranked[i].second.c_str(), ranked[i].first);
}

}  // namespace

int main(int argc, char** argv) {
  std::string wave_path, labels_path;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--wave") && i + 1 < argc) wave_path = argv[++i];
    else if (!std::strcmp(argv[i], "--labels") && i + 1 < argc) labels_path = argv[++i];
    else files.emplace_back(argv[i]);
  }
  if (files.empty()) files.emplace_back(PLACARIM_BENCH_TEXT);
  std::string text;
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", f.c_str());
      return 1;
    }
    text += placarim::platform::FileTextToCp1252(
                std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())) +
            "\n";
  }

  const std::string data = PLACARIM_ILVRA_DATA;
  placarim::ilvra::FrontEnd front_end(nullptr);
  if (front_end.Load({data + "/portug.nrl", data + "/portug.exc", data + "/portug.abr", data + "/portug.pro",
                      data + "/portug.dfn"}) != placarim::ilvra::FrontEndError::kNone) {
    std::fprintf(stderr, "the Ilvra language files in %s could not be loaded\n", data.c_str());
    return 1;
  }
  std::string why;
  auto db = placarim::mbr::LoadDatabase(data + "/ilvra.db", why);
  if (!db) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
  }
  placarim::mbr::DiphoneEngine engine(std::move(*db));
  engine.SetNoError(true);

  std::vector<int16_t> wave;
  std::vector<Span> spans;
  for (const std::string& sentence : Sentences(text)) {
    const auto lines = front_end.TextToMbrola(sentence, 1.0, 1.0);
    double ms = 0;
    const size_t base = wave.size();
    for (const std::string& line : lines) {
      placarim::mbr::PhonemeLine parsed;
      if (placarim::mbr::ParsePhonemeLine(line, parsed) == placarim::mbr::LineError::kNone &&
          parsed.kind == placarim::mbr::PhonemeLine::Kind::kPhoneme) {
        const auto from = base + size_t(std::llround(ms * kRate / 1000));
        ms += parsed.duration_ms;
        spans.push_back({from, base + size_t(std::llround(ms * kRate / 1000)), parsed.name});
      }
      engine.Write(line);
    }
    engine.Flush();
    std::vector<int16_t> out(engine.Ready());
    engine.Read(out.data(), out.size());
    wave.insert(wave.end(), out.begin(), out.end());
  }

  const double minutes = double(wave.size()) / kRate / 60.0;
  std::printf("%zu sentences, %.2f minutes of speech\n", Sentences(text).size(), minutes);
  for (int threshold : {64, 256, 1024}) {
    const auto steps = Steps(wave, threshold);
    std::printf("steps of %d or more: %zu, %.1f a minute\n", threshold, steps.size(),
                minutes > 0 ? double(steps.size()) / minutes : 0.0);
    if (threshold == 256) PrintWhere(steps, spans);
  }
  const auto repeats = placarim::mbr::testing::RepeatedFragments(wave);
  std::printf("repeated fragments: %zu, %.1f a minute\n", repeats.size(), minutes > 0 ? double(repeats.size()) / minutes : 0.0);
  PrintWhere(repeats, spans);
  if (!labels_path.empty()) {
    std::FILE* f = std::fopen(labels_path.c_str(), "w");
    if (!f) {
      std::fprintf(stderr, "%s: cannot be written\n", labels_path.c_str());
      return 1;
    }
    for (const Span& s : spans) std::fprintf(f, "%.5f\t%.5f\t%s\n", double(s.start) / kRate, double(s.end) / kRate, s.name.c_str());
    std::fclose(f);
  }
  if (!wave_path.empty()) {
    std::vector<uint8_t> bytes(wave.size() * 2);
    std::memcpy(bytes.data(), wave.data(), bytes.size());
    if (!placarim::platform::riff::WriteWaveFile(wave_path, {kRate, 16, 1}, bytes)) {
      std::fprintf(stderr, "%s: the wave could not be written\n", wave_path.c_str());
      return 1;
    }
  }
  return 0;
}
