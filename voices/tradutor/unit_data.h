// The data file of a diphone database, kept open while the voice is open;
// units are read from it directly.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace placarim::tradutor {

class UnitData {
 public:
  UnitData() = default;
  ~UnitData() { Close(); }
  UnitData(const UnitData&) = delete;
  UnitData& operator=(const UnitData&) = delete;

  bool Open(const std::string& path);
  void Close();
  bool is_open() const { return file_ != nullptr; }

  // Up to `n` bytes from `offset`: only what the file really holds there
  // (nothing for an offset beyond its end).
  void Read(uint32_t offset, size_t n, std::vector<uint8_t>& out);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace placarim::tradutor
