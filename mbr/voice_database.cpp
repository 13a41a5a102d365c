#include "mbr/voice_database.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace placarim::mbr {
namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kNameSize = 8;
constexpr size_t kDiphoneSize = 24;
constexpr size_t kMaxPhonemes = 255;

}  // namespace

uint32_t DatabaseChecksum(std::span<const uint8_t> bytes) {
  uint32_t h = 2166136261u;
  for (uint8_t b : bytes) {
    h ^= b;
    h *= 16777619u;
  }
  return h;
}

namespace {

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint32_t U32() {
    const uint8_t* p = bytes_.data() + pos_;
    pos_ += 4;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
  uint16_t U16() {
    const uint8_t* p = bytes_.data() + pos_;
    pos_ += 2;
    return static_cast<uint16_t>(p[0] | p[1] << 8);
  }
  const uint8_t* Take(size_t n) {
    const uint8_t* p = bytes_.data() + pos_;
    pos_ += n;
    return p;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

bool ValidName(const uint8_t* raw, std::string& name) {
  const auto* end = std::find(raw, raw + kNameSize, 0);
  if (end == raw || end == raw + kNameSize) return false;  // empty, or no terminator
  if (std::any_of(end, raw + kNameSize, [](uint8_t c) { return c != 0; })) return false;
  name.assign(reinterpret_cast<const char*>(raw), static_cast<size_t>(end - raw));
  return std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 127 && c != ';' && c != '#'; });
}

}  // namespace

int VoiceDatabase::PhonemeIndex(std::string_view name) const {
  for (size_t i = 0; i < phonemes.size(); ++i) {
    if (phonemes[i] == name) return static_cast<int>(i);
  }
  return -1;
}

void VoiceDatabase::Index() {
  const size_t n = phonemes.size();
  pairs_.assign(n * n, -1);
  for (size_t i = 0; i < diphones.size(); ++i) {
    const Diphone& d = diphones[i];
    if (d.left < n && d.right < n) pairs_[d.left * n + d.right] = static_cast<int32_t>(i);
  }
}

const Diphone* VoiceDatabase::Find(int left, int right) const {
  const auto n = static_cast<int>(phonemes.size());
  if (left < 0 || right < 0 || left >= n || right >= n || pairs_.empty()) return nullptr;
  const int32_t i = pairs_[static_cast<size_t>(left * n + right)];
  return i < 0 ? nullptr : &diphones[static_cast<size_t>(i)];
}

namespace {

// Every diphone must name two known phonemes once, lie inside the samples
// and the marks, and carry its pitch marks in rising order inside itself:
// the engine trusts all of this when it cuts and joins.
bool CheckDiphones(const VoiceDatabase& db, std::string& why) {
  const uint64_t phonemes = db.phonemes.size(), samples = db.samples.size(), marks = db.marks.size();
  for (size_t i = 0; i < db.diphones.size(); ++i) {
    const Diphone& d = db.diphones[i];
    const bool ok = d.left < phonemes && d.right < phonemes && d.sample_count > 0 &&
                    uint64_t(d.first_sample) + d.sample_count <= samples && d.boundary <= d.sample_count &&
                    uint64_t(d.first_mark) + d.mark_count <= marks &&
                    db.Find(d.left, d.right) == &db.diphones[i];
    if (!ok) {
      why = "diphone " + std::to_string(i) + " out of range or repeated";
      return false;
    }
    uint32_t previous = 0;
    for (uint32_t k = 0; k < d.mark_count; ++k) {
      const uint32_t at = db.marks[d.first_mark + k] & ~kVoicedMark;
      if (at >= d.sample_count || (k > 0 && at <= previous)) {
        why = "pitch marks of diphone " + std::to_string(i) + " out of order";
        return false;
      }
      previous = at;
    }
  }
  return true;
}

}  // namespace

std::optional<VoiceDatabase> ParseDatabase(std::span<const uint8_t> image, std::string& why) {
  if (image.size() < kHeaderSize + 4 || std::memcmp(image.data(), kDatabaseMagic, 8) != 0) {
    why = "not an Ilvra diphone database";
    return std::nullopt;
  }
  Reader r(image);
  r.Take(8);
  VoiceDatabase db;
  db.sample_rate = r.U32();
  db.pitch_centi_hz = r.U32();
  const uint64_t phonemes = r.U32(), diphones = r.U32(), marks = r.U32(), samples = r.U32();
  const uint64_t expected = kHeaderSize + kNameSize * phonemes + kDiphoneSize * diphones + 4 * marks +
                            2 * samples + 4;
  if (image.size() != expected) {
    why = image.size() < expected ? "database truncated" : "database has trailing bytes";
    return std::nullopt;
  }
  if (DatabaseChecksum(image.first(image.size() - 4)) != Reader(image.last(4)).U32()) {
    why = "database damaged (checksum)";
    return std::nullopt;
  }
  if (db.sample_rate < 8000 || db.sample_rate > 48000 || db.pitch_centi_hz < 5000 ||
      db.pitch_centi_hz > 50000 || phonemes == 0 || phonemes > kMaxPhonemes) {
    why = "database header out of range";
    return std::nullopt;
  }
  for (uint64_t i = 0; i < phonemes; ++i) {
    std::string name;
    if (!ValidName(r.Take(kNameSize), name) || db.PhonemeIndex(name) >= 0) {
      why = "bad or repeated phoneme name";
      return std::nullopt;
    }
    db.phonemes.push_back(std::move(name));
  }
  if (db.PhonemeIndex("_") < 0) {
    why = "database lacks the silence phoneme _";
    return std::nullopt;
  }
  db.diphones.resize(diphones);
  for (Diphone& d : db.diphones) {
    d.left = r.U16();
    d.right = r.U16();
    d.first_sample = r.U32();
    d.sample_count = r.U32();
    d.boundary = r.U32();
    d.first_mark = r.U32();
    d.mark_count = r.U32();
  }
  db.marks.resize(marks);
  for (uint32_t& m : db.marks) m = r.U32();
  db.samples.resize(samples);
  for (int16_t& s : db.samples) s = static_cast<int16_t>(r.U16());
  db.Index();
  if (!CheckDiphones(db, why)) return std::nullopt;
  return db;
}

std::optional<VoiceDatabase> LoadDatabase(const std::string& path, std::string& why) {
  // Only a regular file: a directory opens but throws on the first read.
  std::error_code error;
  std::ifstream in;
  if (std::filesystem::is_regular_file(path, error)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    why = "cannot open " + path;
    return std::nullopt;
  }
  const std::vector<uint8_t> image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  auto db = ParseDatabase(image, why);
  if (!db) why = path + ": " + why;
  return db;
}

std::vector<uint8_t> SerializeDatabase(const VoiceDatabase& db) {
  std::vector<uint8_t> out(kDatabaseMagic, kDatabaseMagic + 8);
  PutU32(out, db.sample_rate);
  PutU32(out, db.pitch_centi_hz);
  PutU32(out, static_cast<uint32_t>(db.phonemes.size()));
  PutU32(out, static_cast<uint32_t>(db.diphones.size()));
  PutU32(out, static_cast<uint32_t>(db.marks.size()));
  PutU32(out, static_cast<uint32_t>(db.samples.size()));
  for (const std::string& name : db.phonemes) {
    char raw[kNameSize] = {};
    std::memcpy(raw, name.data(), std::min(name.size(), kMaxPhonemeName));
    out.insert(out.end(), raw, raw + kNameSize);
  }
  for (const Diphone& d : db.diphones) {
    PutU16(out, d.left);
    PutU16(out, d.right);
    PutU32(out, d.first_sample);
    PutU32(out, d.sample_count);
    PutU32(out, d.boundary);
    PutU32(out, d.first_mark);
    PutU32(out, d.mark_count);
  }
  for (uint32_t m : db.marks) PutU32(out, m);
  for (int16_t s : db.samples) PutU16(out, static_cast<uint16_t>(s));
  PutU32(out, DatabaseChecksum(out));
  return out;
}

}  // namespace placarim::mbr
