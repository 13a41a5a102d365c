// A small diphone database, letters directory and configuration written by a
// test into its own scratch directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "voices/tradutor/diphone_index.h"
#include "voices/tradutor/diphone_voice.h"

namespace placarim::tradutor::fixture {

// Remembers every buffer handed to wave playback.
class RecordingPlayer : public WaveBufferPlayer {
 public:
  void PlayWaveBufferWait(const std::vector<uint8_t>& image) override { images.push_back(image); }
  // Silence is asked for once this many buffers have been played (never when 0).
  bool SilenceRequested() override { return silence_after > 0 && images.size() >= silence_after; }
  size_t silence_after = 0;
  // Every sample played, headers left out.
  std::vector<uint8_t> Samples() const {
    std::vector<uint8_t> all;
    for (const auto& image : images) all.insert(all.end(), image.begin() + 44, image.end());
    return all;
  }
  std::vector<std::vector<uint8_t>> images;
};

class MapSettings : public VoiceSettings {
 public:
  std::string Read(std::string_view key, std::string_view fallback) override {
    auto it = values.find(std::string(key));
    return it == values.end() ? std::string(fallback) : it->second;
  }
  std::map<std::string, std::string> values;
};

inline std::filesystem::path ScratchDir(const std::string& name) {
  const char* base = std::getenv("PLACARIM_SYSCONFDIR");
  std::filesystem::path dir = std::filesystem::path(base ? base : "/tmp/placarim-tradutor-tests") / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// Units are given by name and samples; the index is written sorted.
inline void WriteDatabase(const std::filesystem::path& dir, const std::string& base,
                          const std::map<std::string, std::vector<uint8_t>>& units) {
  std::string index, data;
  for (const auto& [name, samples] : units) {
    DiphoneIndexEntry e{name, static_cast<uint16_t>(samples.size()), static_cast<uint32_t>(data.size())};
    index += DiphoneIndex::Encode(e);
    data.append(samples.begin(), samples.end());
  }
  WriteFile(dir / (base + ".IND"), index);
  WriteFile(dir / (base + ".DIF"), data);
}

inline std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int k = 0; k < 4; ++k) s[k] = static_cast<char>(v >> (8 * k));
  return s;
}

// A recorded character file: RIFF header, fmt chunk, optional extra chunk,
// data chunk with `samples`.
inline std::string WaveFile(const std::vector<uint8_t>& samples, const std::string& extra_chunk = "") {
  std::string fmt = "fmt " + Le32(16) + std::string("\x01\x00\x01\x00", 4) + Le32(11025) + Le32(11025) +
                    std::string("\x01\x00\x08\x00", 4);
  std::string body = "WAVE" + fmt + extra_chunk + "data" + Le32(static_cast<uint32_t>(samples.size())) +
                     std::string(samples.begin(), samples.end());
  return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}

inline std::vector<uint8_t> Fill(uint8_t value, size_t n) { return std::vector<uint8_t>(n, value); }

}  // namespace placarim::tradutor::fixture
