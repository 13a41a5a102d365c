// The rules by which the speech layer reads configuration values. Values come
// from FALDEK.INI as text; an integer that is not valid as a whole takes the
// default its key names, or else the number formed by its leading digits.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace placarim::speech {

// The outcome of reading a text as a 32-bit integer: leading blanks skipped,
// an optional sign, then decimal digits, or hexadecimal digits after "$" or
// "0x". A digit that would overflow counts as the first invalid character.
struct IniInteger {
  bool valid = false;  // the whole text is one integer
  int value = 0;       // the integer, or the value of the digits before the first invalid character
};

IniInteger ParseIniInteger(std::string_view text);

// An invalid or empty value takes `fallback`.
int IniIntOr(std::string_view text, int fallback);

// An invalid value keeps its leading digits ("12ab" is 12, "abc" is 0).
int IniIntPrefix(std::string_view text);

// Yes unless empty or beginning with "N" or "n".
bool IniYesNo(std::string_view text);

// `key` followed by the decimal digits of `n` (DIFONES + 3 = DIFONES3).
std::string KeyWithNumber(std::string_view key, int n);

// Replaces a leading "@" and every "@\" of `value` by the program directory.
// `program_directory` yields "PGMFALDEK" of section "FALDEK" (read only when
// needed); when that is empty or begins with "@", `start_directory` serves
// instead. Inserted text is never scanned again, so the expansion always ends,
// even when the program directory itself holds "@\".
std::string ExpandProgramDirectory(std::string_view value,
                                   const std::function<std::string()>& program_directory,
                                   std::string_view start_directory);

}  // namespace placarim::speech
