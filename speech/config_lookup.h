// How the speech layer (and the game and line editor) look up configuration
// values. IniReader serves them from FALDEK.INI.
#pragma once

#include <string>
#include <string_view>

#include "voices/voice.h"

namespace placarim::speech {

// The voices read their settings through the same lookup.
class ConfigLookup : public voices::VoiceSettingSource {
 public:
  // The value of `key` in `section` ("" means "FALDEK"), empty when absent,
  // with the program directory expanded for "@".
  std::string ReadIniString(std::string_view section, std::string_view key) const override = 0;
  // A value of the system configuration directory's file alone, unexpanded;
  // `fallback` when absent.
  virtual std::string ReadSystemValue(std::string_view section, std::string_view key,
                                      std::string_view fallback) const = 0;
};

}  // namespace placarim::speech
