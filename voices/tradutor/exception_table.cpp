#include "voices/tradutor/exception_table.h"

#include "voices/tradutor/file_text.h"

#include <algorithm>

namespace placarim::tradutor {

bool ExceptionTable::Load(const std::string& path) {
  const auto text = ReadWholeFile(path);
  if (!text) {
    entries_.clear();
    return false;
  }
  LoadFromText(*text);
  return true;
}

void ExceptionTable::LoadFromText(std::string_view text) {
  entries_.clear();
  size_t start = 0;
  // Only the first 255 characters of a line count.
  while (start < text.size() && entries_.size() < kMaxEntries) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    AddLine(text.substr(start, std::min(end - start, kMaxLine)));
    start = end + 1;
  }
  Sort();
}

void ExceptionTable::AddLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.empty()) return;
  palavra_alias entry;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    // Not an exception; kept so that the table counts it, but its key can
    // never equal a word.
    entry.key = std::string(line) + "|";
  } else {
    entry.key = std::string(line.substr(0, eq));
    std::string_view rest = line.substr(eq + 1);
    entry.replacement = std::string(rest.substr(0, rest.find('|')));
  }
  entries_.push_back(std::move(entry));
}

void ExceptionTable::Sort() {
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const palavra_alias& a, const palavra_alias& b) { return a.key < b.key; });
}

const palavra_alias* ExceptionTable::Find(std::string_view key) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                             [](const palavra_alias& e, std::string_view k) { return e.key < k; });
  if (it != entries_.end() && it->key == key) return &*it;
  return nullptr;
}

std::string ExceptionTable::Lookup(std::string_view word) const {
  std::string stem(word);
  std::string suffix;
  while (true) {
    if (const palavra_alias* e = Find(stem)) return e->replacement + suffix;
    if (stem.empty() || (stem.back() != 's' && stem.back() != 'm')) break;
    suffix.insert(suffix.begin(), stem.back());
    stem.pop_back();
    if (stem.empty()) break;
  }
  return stem + suffix;
}

}  // namespace placarim::tradutor
