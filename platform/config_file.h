// The one reader of configuration files (FALDEK.INI), with the private-profile
// semantics the configuration was written for: sections and keys compared
// without regard to case, blanks around names and values stripped, a value in
// matching quotes unquoted, CR LF, LF or CR line ends, the first of duplicate
// sections or keys wins, a missing file reads as empty. A line beginning with
// ";" is a comment; a "[" line without "]", a line without "=" and lines before
// the first section are ignored. A file saved as UTF-8 (with or without a byte
// order mark) is read as Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace placarim::platform {

// Parses configuration text once; lookups are then cheap.
class ConfigText {
 public:
  explicit ConfigText(std::string_view text);
  // The value of `key` in `section`, or nothing when either is absent.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

 private:
  struct Section {
    std::string name;  // as written, blanks stripped
    std::vector<std::pair<std::string, std::string>> entries;  // key, value
  };
  std::vector<Section> sections_;
};

// Reads `path` afresh and looks the key up; nothing when the file or key is absent.
std::optional<std::string> ReadConfigValue(const std::string& path, std::string_view section,
                                           std::string_view key);

// The configuration directory an installed program reads when
// PLACARIM_SYSCONFDIR is not set: the build names the installed one
// (/etc/placarim in the Debian package).
#ifndef PLACARIM_DEFAULT_SYSCONFDIR
#define PLACARIM_DEFAULT_SYSCONFDIR "/etc"
#endif

// The system configuration directory: $PLACARIM_SYSCONFDIR when set, else
// PLACARIM_DEFAULT_SYSCONFDIR.
std::string SystemConfigDirectory();

// The name of the suite's configuration file.
inline constexpr std::string_view kConfigFileName = "FALDEK.INI";

// FALDEK.INI in the system configuration directory when it exists there,
// otherwise in `start_directory`.
std::string LocateConfigFile(const std::string& start_directory);

// The directory that was current when the program started (recorded on the
// first call, which the program makes before anything changes directory).
const std::string& StartDirectory();

}  // namespace placarim::platform
