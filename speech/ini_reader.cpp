#include "speech/ini_reader.h"

#include "platform/config_file.h"
#include "speech/local_path.h"

namespace placarim::speech {
namespace {

constexpr std::string_view kDefaultSection = "FALDEK";

std::string CutToLimit(std::string value) {
  if (value.size() > kIniValueLimit) value.resize(kIniValueLimit);
  return value;
}

}  // namespace

IniReader::IniReader(std::string start_directory) : start_directory_(std::move(start_directory)) {
  while (start_directory_.size() > 1 && start_directory_.back() == '/') start_directory_.pop_back();
}

std::optional<std::string> IniReader::ReadRaw(const std::string& file, std::string_view section,
                                              std::string_view key) const {
  std::optional<std::string> value =
      platform::ReadConfigValue(file, section.empty() ? kDefaultSection : section, key);
  if (value) *value = CutToLimit(std::move(*value));
  return value;
}

std::string IniReader::ReadIniString(std::string_view section, std::string_view key) const {
  const std::string file = platform::LocateConfigFile(start_directory_);
  const std::string value = ReadRaw(file, section, key).value_or(std::string());
  if (value.empty()) return value;
  return ExpandProgramDirectory(
      value, [&] { return ReadRaw(file, kDefaultSection, "PGMFALDEK").value_or(std::string()); },
      start_directory_);
}

std::string IniReader::ReadSystemValue(std::string_view section, std::string_view key,
                                       std::string_view fallback) const {
  const std::string file =
      FindFileIgnoringCase(platform::SystemConfigDirectory() + "/" + std::string(platform::kConfigFileName));
  return ReadRaw(file, section, key).value_or(std::string(fallback));
}

}  // namespace placarim::speech
