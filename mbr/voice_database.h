// The diphone database of the Ilvra engine: what it holds in memory and the
// file it is read from and written to.
//
// File layout (all integers little-endian):
//
//   offset  size            field
//   0       8               magic "ILVDIFO1"
//   8       4               sample rate (samples per second, 8000..48000)
//   12      4               pitch the units were spoken at, in 1/100 Hz
//   16      4               P: phoneme count (1..255)
//   20      4               D: diphone count
//   24      4               M: pitch mark count
//   28      4               S: sample count
//   32      8 * P           phoneme names, zero-padded, 1..7 characters
//           24 * D          diphones: u16 left phoneme, u16 right phoneme,
//                           u32 first sample, u32 sample count, u32 boundary
//                           (sample where the right phoneme begins, relative
//                           to the first), u32 first mark, u32 mark count
//           4 * M           pitch marks: bits 0-30 the sample (relative to the
//                           diphone's first), bit 31 set when voiced
//           2 * S           16-bit signed samples, mono
//           4               FNV-1a hash of every byte before it
//
// A diphone runs from the steady middle of its left phoneme to the steady
// middle of its right one. Marks of a diphone ascend; in voiced stretches
// they sit one pitch period apart on the periods' main peaks, in unvoiced
// ones they are spaced evenly. The phoneme "_" (silence) must be present.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace placarim::mbr {

inline constexpr char kDatabaseMagic[8] = {'I', 'L', 'V', 'D', 'I', 'F', 'O', '1'};
inline constexpr size_t kMaxPhonemeName = 7;
inline constexpr uint32_t kVoicedMark = 0x80000000u;

struct Diphone {
  uint16_t left = 0;
  uint16_t right = 0;
  uint32_t first_sample = 0;
  uint32_t sample_count = 0;
  uint32_t boundary = 0;
  uint32_t first_mark = 0;
  uint32_t mark_count = 0;
};

struct VoiceDatabase {
  uint32_t sample_rate = 16000;
  uint32_t pitch_centi_hz = 23000;
  std::vector<std::string> phonemes;
  std::vector<Diphone> diphones;
  std::vector<uint32_t> marks;
  std::vector<int16_t> samples;

  // Index of a phoneme name; -1 when absent.
  int PhonemeIndex(std::string_view name) const;
  // The diphone of two phonemes; nullptr when the database lacks it.
  const Diphone* Find(int left, int right) const;
  // Rebuilds the pair index; Parse does it, a hand-built database calls it.
  void Index();

 private:
  std::vector<int32_t> pairs_;  // left * P + right -> diphone index, or -1
};

// Reads a database image. Nothing, with the reason in `why`, when the image is
// truncated, foreign, damaged or inconsistent.
std::optional<VoiceDatabase> ParseDatabase(std::span<const uint8_t> image, std::string& why);
std::optional<VoiceDatabase> LoadDatabase(const std::string& path, std::string& why);
// The hash stored in a file's last 4 bytes, of the bytes before them.
uint32_t DatabaseChecksum(std::span<const uint8_t> bytes);
// The file image of a database (inverse of ParseDatabase).
std::vector<uint8_t> SerializeDatabase(const VoiceDatabase& db);

}  // namespace placarim::mbr
