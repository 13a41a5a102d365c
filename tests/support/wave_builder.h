// Builds RIFF/WAVE byte images for the tests, well-formed or deliberately not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace placarim::sound::testing {

inline void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

inline void PutName(std::vector<uint8_t>& out, const std::string& name) {
  out.insert(out.end(), name.begin(), name.begin() + 4);
}

struct Chunk {
  std::string name;
  std::vector<uint8_t> body;
  std::optional<uint32_t> stated_length = std::nullopt;  // else body.size()
  bool pad = true;  // a zero byte after an odd-sized body
};

// The 16 bytes of a format chunk (more with `extra`).
inline std::vector<uint8_t> FormatBody(uint16_t tag, uint16_t channels, uint32_t rate,
                                       uint16_t bits, std::vector<uint8_t> extra = {}) {
  std::vector<uint8_t> body;
  PutLe16(body, tag);
  PutLe16(body, channels);
  PutLe32(body, rate);
  PutLe32(body, rate * channels * (bits / 8));
  PutLe16(body, channels * (bits / 8));
  PutLe16(body, bits);
  body.insert(body.end(), extra.begin(), extra.end());
  return body;
}

// The 40-byte extensible format chunk with the given sub-format tag.
inline std::vector<uint8_t> ExtensibleBody(uint16_t channels, uint32_t rate, uint16_t bits,
                                           uint16_t sub_format) {
  std::vector<uint8_t> extra;
  PutLe16(extra, 22);    // extension size
  PutLe16(extra, bits);  // valid bits
  PutLe32(extra, 0);     // channel mask
  PutLe16(extra, sub_format);
  const uint8_t rest_of_guid[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                    0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  extra.insert(extra.end(), rest_of_guid, rest_of_guid + 14);
  return FormatBody(0xFFFE, channels, rate, bits, extra);
}

inline std::vector<uint8_t> Riff(const std::vector<Chunk>& chunks, const std::string& riff = "RIFF") {
  std::vector<uint8_t> out;
  PutName(out, riff);
  PutLe32(out, 0);  // patched below
  PutName(out, "WAVE");
  for (const Chunk& c : chunks) {
    PutName(out, c.name);
    PutLe32(out, c.stated_length.value_or(static_cast<uint32_t>(c.body.size())));
    out.insert(out.end(), c.body.begin(), c.body.end());
    if (c.pad && c.body.size() % 2 == 1) out.push_back(0);
  }
  const uint32_t riff_length = static_cast<uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(riff_length >> (8 * i));
  return out;
}

// A canonical 44-byte-header PCM image.
inline std::vector<uint8_t> PcmWave(uint16_t channels, uint32_t rate, uint16_t bits,
                                    const std::vector<uint8_t>& samples) {
  return Riff({{"fmt ", FormatBody(1, channels, rate, bits)}, {"data", samples}});
}

}  // namespace placarim::sound::testing
