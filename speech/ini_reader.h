// ReadIniString: the configuration lookup shared by the game, the speech layer
// and the line editor. The file is located afresh on every call: FALDEK.INI of
// the system configuration directory when it exists there, otherwise the one
// in the directory that was current when the program started. Values may name
// the suite's program directory with a leading "@" or any "@\".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "speech/config_lookup.h"
#include "speech/config_values.h"

namespace placarim::speech {

// Values are read as the private-profile call reads them into 255 bytes.
inline constexpr size_t kIniValueLimit = 254;

class IniReader final : public ConfigLookup {
 public:
  // `start_directory` is the directory current at start-up (no trailing slash).
  explicit IniReader(std::string start_directory);

  // The value of `key` in `section` ("" means "FALDEK"), empty when absent,
  // cut to 254 characters and then "@"-expanded.
  std::string ReadIniString(std::string_view section, std::string_view key) const override;

  // A value read from the system configuration directory's FALDEK.INI only,
  // without "@" expansion, cut to 254 characters; `fallback` when the key (or
  // the file) is absent. The letters directory and the voice's keys are read so.
  std::string ReadSystemValue(std::string_view section, std::string_view key,
                              std::string_view fallback) const override;

  const std::string& StartDirectory() const { return start_directory_; }

 private:
  std::optional<std::string> ReadRaw(const std::string& file, std::string_view section,
                                     std::string_view key) const;
  std::string start_directory_;
};

}  // namespace placarim::speech
