// Text normalisation: sums, numbers, signs, abbreviations, consonant-only
// words and symbols become Portuguese words, so that only letters, spaces and the
// punctuation ! ( ) , . : ; ? remain. Texts are Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace placarim::ilvra {

struct Abbreviation {
  std::string key;  // upper case
  std::string replacement;
};

// Abbreviations in file order; the first matching key wins.
class AbbreviationTable {
 public:
  static constexpr size_t kMaxEntries = 2000;
  // The replacement of an upper-cased word, or null.
  const std::string* Find(std::string_view upper_word) const;
  std::vector<Abbreviation> entries;
};

// Reads an abbreviation file ("KEY = replacement" lines, ";" comments). False
// when the file cannot be read; otherwise the table is replaced. Lines beyond
// the table's capacity are refused, each with a note in `notices`.
bool LoadAbbreviations(const std::string& path, AbbreviationTable& table,
                       std::vector<std::string>* notices = nullptr);
// The same from text already in memory (Windows-1252 or UTF-8).
void ParseAbbreviations(std::string_view text, AbbreviationTable& table,
                        std::vector<std::string>* notices = nullptr);

std::string NormalizeText(std::string_view text, const AbbreviationTable& abbreviations);

}  // namespace placarim::ilvra
