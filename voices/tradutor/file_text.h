// Reads a whole data file into memory.
#pragma once

#include <optional>
#include <string>

namespace placarim::tradutor {

std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace placarim::tradutor
