// Reading files named from outside (exercise files, records, language
// files): only a regular file is read. A directory opens on Linux but fails
// on the first read, and a FIFO or a device could block or never end.
#pragma once

#include <optional>
#include <string>

namespace placarim::platform {

// Reads a whole regular file; nothing when it cannot be opened or read, or
// when the name is a directory, a FIFO or a device. Never writes.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Whether the name is a regular file that can be opened for reading (it is
// not read).
bool CanOpenForReading(const std::string& path);

}  // namespace placarim::platform
