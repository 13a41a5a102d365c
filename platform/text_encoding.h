// Windows-1252 is the system's text inside; UTF-8 lives only at the edges
// (keyboard text, clipboard, glyphs, synthesizers, files saved by Linux editors).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace placarim::platform {

// The Unicode code point of a Windows-1252 byte; 0 for the five unassigned
// bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t Cp1252ToCodePoint(uint8_t byte);

// The Windows-1252 byte of a code point, or nothing when it has none.
std::optional<uint8_t> CodePointToCp1252(char32_t code_point);

std::string Cp1252ToUtf8(std::string_view cp1252);

// Characters with no Windows-1252 form are replaced by `missing` (0 drops
// them); malformed UTF-8 bytes count as characters with no form.
std::string Utf8ToCp1252(std::string_view utf8, char missing = '?');

// True when the text is well-formed UTF-8 and holds at least one non-ASCII
// character: what a Linux editor saves. Such files are converted on reading.
bool LooksLikeUtf8(std::string_view bytes);

// A file's text as Windows-1252: converted when LooksLikeUtf8, else unchanged.
std::string FileTextToCp1252(std::string_view bytes);

}  // namespace placarim::platform
