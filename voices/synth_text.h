// How text is prepared for the external synthesizers. The program's text is
// Windows-1252; both engines take UTF-8. The rules keep engines from choking on
// what the game never means to be heard (blanks, control characters) and keep
// a lone digit from being read as a list number or a letter name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace placarim::voices {

// Longest text handed to an engine in one piece, in Windows-1252 bytes:
// the engine's 64,000-byte buffer less its terminating zero.
inline constexpr size_t kSynthTextLimit = 63999;

// The in-process engine's rules: blanks and control characters trimmed from
// both ends (an empty result means nothing is spoken), a text that is one
// digit gets a full stop, and the text is cut to kSynthTextLimit bytes.
std::string PrepareEngineText(std::string_view cp1252);

// The speech service's rules: an empty text becomes one space (so that the
// service still reports an end), and the text is cut to kSynthTextLimit bytes.
std::string PrepareServiceText(std::string_view cp1252);

// UTF-8 for an engine: control characters and the five unassigned bytes of
// the code page become spaces, so nothing can end or steer the engine's input;
// a sharp s becomes ss (see the .cpp).
std::string EngineUtf8(std::string_view cp1252);

}  // namespace placarim::voices
