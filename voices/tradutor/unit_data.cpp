#include "voices/tradutor/unit_data.h"

namespace placarim::tradutor {

bool UnitData::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  return file_ != nullptr;
}

void UnitData::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void UnitData::Read(uint32_t offset, size_t n, std::vector<uint8_t>& out) {
  out.resize(n);
  if (!file_ || n == 0 || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
    out.clear();
    return;
  }
  out.resize(std::fread(out.data(), 1, n, file_));
}

}  // namespace placarim::tradutor
