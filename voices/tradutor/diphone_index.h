// The unit index of a diphone database: 15-byte records sorted by name, each
// naming a run of samples in the data file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace placarim::tradutor {

struct DiphoneIndexEntry {
  std::string name;     // as stored (at most 8 characters)
  uint16_t length = 0;  // bytes
  uint32_t offset = 0;  // in the data file
};

class DiphoneIndex {
 public:
  static constexpr size_t kRecordSize = 15;
  static constexpr size_t kMaxName = 8;

  // Takes the records of an index file's bytes; a trailing partial record is
  // ignored and a name length above 8 reads as 8, so any bytes give a usable
  // (if useless) index.
  void Parse(std::string_view bytes);
  void Clear() { entries_.clear(); }

  // Binary search by name in byte order (a prefix sorts before the longer
  // name). Names are compared as given: callers pass upper case.
  std::optional<DiphoneIndexEntry> Find(std::string_view name) const;

  size_t size() const { return entries_.size(); }
  const std::vector<DiphoneIndexEntry>& entries() const { return entries_; }

  // The 15-byte record of an entry (the database tool writes these).
  static std::string Encode(const DiphoneIndexEntry& entry);

 private:
  std::vector<DiphoneIndexEntry> entries_;
};

}  // namespace placarim::tradutor
