// Rhythm and melody: the prosody file (durations, key words, contour
// patterns, pitch), the diphone list, the tokens with their keys, their
// contours, and the final phoneme lines with durations and pitch points.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace placarim::ilvra {

struct PhonemeDuration {
  std::string name;  // at most 2 characters
  int ms = 100;
};

struct ProsodyKey {
  std::string word;  // upper case
  std::string code;  // at most 2 characters, upper case
};

struct ContourPattern {
  std::string previous, current, next;  // key codes, at most 3 characters; empty matches any
  std::string contour;
};

struct ProsodyTables {
  static constexpr size_t kMaxKeys = 1000, kMaxPatterns = 300;
  static constexpr int kDefaultHertz = 230;
  std::vector<PhonemeDuration> durations;  // file order
  std::vector<ProsodyKey> keys;            // sorted by word
  std::vector<ContourPattern> patterns;    // file order
  int hertz = kDefaultHertz;
  std::array<int, 10> table{};  // percentages of hertz, by contour digit
  void Clear();
  int DurationOf(std::string_view name) const;  // 100 when absent
  const std::string* KeyOf(std::string_view upper_word) const;
};

// Sorted "first-second" pairs, compared in lower case.
class DiphoneList {
 public:
  void Assign(std::vector<std::string> pairs);  // sorts them
  bool Has(std::string_view first, std::string_view second) const;
  size_t size() const { return pairs_.size(); }
  void Clear() { pairs_.clear(); }

 private:
  std::vector<std::string> pairs_;
};

using ProsodyMessage = std::function<void(const std::string& text)>;

// Reads the three sections of a prosody file; false (after a message) when
// the file is missing, a section is absent or a line is malformed.
bool LoadProsody(const std::string& path, ProsodyTables& tables, const ProsodyMessage& message,
                 std::vector<std::string>* notices = nullptr);
bool ParseProsody(std::string_view text, ProsodyTables& tables, const ProsodyMessage& message,
                  std::vector<std::string>* notices = nullptr);

bool LoadDiphoneList(const std::string& path, DiphoneList& list);
void ParseDiphoneList(std::string_view text, DiphoneList& list);

// "[KEY]text" lines of a normalised text; "[--]" marks phrase boundaries.
std::vector<std::string> TokenizeWithKeys(std::string_view text, const ProsodyTables& tables);
// "ddd|text" lines: each token's pitch contour from its and its neighbours' keys.
std::vector<std::string> AssignContours(const std::vector<std::string>& token_lines,
                                        const ProsodyTables& tables);
// Phoneme lines to engine lines "name ms [pos hz]", with bridges where the
// diphone list lacks a pair.
std::vector<std::string> PhonemesToMbrola(const std::vector<std::string>& phoneme_lines,
                                          const ProsodyTables& tables, const DiphoneList& diphones,
                                          double pitch_factor, double duration_factor);

}  // namespace placarim::ilvra
