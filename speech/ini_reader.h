// ReadIniString: the configuration lookup shared by the game, the speech layer
// and the line editor. The file is located afresh on every call: FALDEK.INI of
// the system configuration directory when it exists there, otherwise the one
// in the directory that was current when the program started. Values may name
// the suite's program directory with a leading "@" or any "@\".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace placarim::speech {

// Values are read as the private-profile call reads them into 255 bytes.
inline constexpr size_t kIniValueLimit = 254;

// Replaces a leading "@" and every "@\" of `value` by the program directory.
// `program_directory` yields "PGMFALDEK" of section "FALDEK" (read only when
// needed); when that is empty or begins with "@", `start_directory` serves
// instead. Inserted text is never scanned again, so the expansion always ends,
// even when the program directory itself holds "@\".
std::string ExpandProgramDirectory(std::string_view value,
                                   const std::function<std::string()>& program_directory,
                                   std::string_view start_directory);

class IniReader {
 public:
  // `start_directory` is the directory current at start-up (no trailing slash).
  explicit IniReader(std::string start_directory);

  // The value of `key` in `section` ("" means "FALDEK"), empty when absent,
  // cut to 254 characters and then "@"-expanded.
  std::string ReadIniString(std::string_view section, std::string_view key) const;

  // A value read from the system configuration directory's FALDEK.INI only,
  // without "@" expansion, cut to 254 characters; `fallback` when the key (or
  // the file) is absent. The letters directory and the voice's keys are read so.
  std::string ReadSystemValue(std::string_view section, std::string_view key,
                              std::string_view fallback) const;

  const std::string& StartDirectory() const { return start_directory_; }

 private:
  std::optional<std::string> ReadRaw(const std::string& file, std::string_view section,
                                     std::string_view key) const;
  std::string start_directory_;
};

}  // namespace placarim::speech
