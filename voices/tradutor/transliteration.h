// Cleaning of a text before it is split into words: accented letters become a
// base letter plus an accent mark, "ç" becomes "ss", w and y inside words
// become u and i, and characters the voice cannot say become a stray marker.
#pragma once

#include <string>
#include <string_view>

namespace placarim::tradutor {

// The one- or two-character spelling of a byte from 128 up; empty when the
// byte has no spelling (it is then spoken as a stray character).
std::string_view TransliterateHighByte(unsigned char byte);

std::string CleanText(std::string_view text);

}  // namespace placarim::tradutor
