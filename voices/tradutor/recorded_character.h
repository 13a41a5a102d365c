// Recorded characters: wave files of the letters directory whose data chunk
// is copied into the voice's buffer as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace placarim::tradutor {

// The samples of a wave file's "data" chunk: its size is taken as 16 bits
// (the low half) and only the bytes really in the file are returned. Nothing
// when the file is missing or not a regular file, is not RIFF, lacks "fmt "
// first or has no data chunk.
std::optional<std::vector<uint8_t>> ReadRecordedCharacter(const std::string& path);

}  // namespace placarim::tradutor
