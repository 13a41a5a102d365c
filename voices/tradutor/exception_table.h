// Pronunciation exceptions ("portug.exc"): whole words whose spelling the
// letter rules would misread, each with a replacement spelling that the rules
// then read right. Keys are in the cleaned, lower-case alphabet (accented
// letters written as base letter plus accent mark).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace placarim::tradutor {

// One pronunciation exception: a word and the spelling the rules should read.
struct palavra_alias {
  std::string key;
  std::string replacement;
};

class ExceptionTable {
 public:
  static constexpr size_t kMaxEntries = 15000;
  static constexpr size_t kMaxLine = 255;

  // Replaces the table with the file's entries, sorted by key in byte order.
  // False when the file cannot be read.
  bool Load(const std::string& path);
  void LoadFromText(std::string_view text);
  void Clear() { entries_.clear(); }

  // The word as the table has it: the replacement of the word, or else of the
  // word with its trailing "s" and "m" letters taken off one by one (those
  // letters then follow the replacement: casas through casa).
  std::string Lookup(std::string_view word) const;

  size_t size() const { return entries_.size(); }
  const std::vector<palavra_alias>& entries() const { return entries_; }

 private:
  void AddLine(std::string_view line);
  void Sort();
  const palavra_alias* Find(std::string_view key) const;

  std::vector<palavra_alias> entries_;
};

}  // namespace placarim::tradutor
