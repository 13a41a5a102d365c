#include "voices/tradutor/diphone_index.h"

#include <algorithm>

namespace placarim::tradutor {
namespace {

uint32_t ByteAt(std::string_view b, size_t i) { return static_cast<unsigned char>(b[i]); }

}  // namespace

void DiphoneIndex::Parse(std::string_view bytes) {
  entries_.clear();
  const size_t count = bytes.size() / kRecordSize;
  entries_.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const std::string_view r = bytes.substr(i * kRecordSize, kRecordSize);
    DiphoneIndexEntry e;
    const size_t name_length = std::min<size_t>(ByteAt(r, 0), kMaxName);
    e.name = std::string(r.substr(1, name_length));
    e.length = static_cast<uint16_t>(ByteAt(r, 9) | (ByteAt(r, 10) << 8));
    e.offset = ByteAt(r, 11) | (ByteAt(r, 12) << 8) | (ByteAt(r, 13) << 16) | (ByteAt(r, 14) << 24);
    entries_.push_back(std::move(e));
  }
}

std::optional<DiphoneIndexEntry> DiphoneIndex::Find(std::string_view name) const {
  // std::string compares bytes as unsigned, and a prefix sorts first.
  size_t lo = 0, hi = entries_.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    const int cmp = std::string_view(entries_[mid].name).compare(name);
    if (cmp == 0) return entries_[mid];
    if (cmp < 0) lo = mid + 1;
    else hi = mid;
  }
  return std::nullopt;
}

std::string DiphoneIndex::Encode(const DiphoneIndexEntry& e) {
  std::string r(kRecordSize, '\0');
  const size_t n = std::min(e.name.size(), kMaxName);
  r[0] = static_cast<char>(n);
  std::copy_n(e.name.begin(), n, r.begin() + 1);
  r[9] = static_cast<char>(e.length & 0xFF);
  r[10] = static_cast<char>(e.length >> 8);
  for (int k = 0; k < 4; ++k) r[11 + k] = static_cast<char>((e.offset >> (8 * k)) & 0xFF);
  return r;
}

}  // namespace placarim::tradutor
