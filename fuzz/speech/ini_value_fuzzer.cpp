// Configuration values as ReadIniString and the speech layer take them apart:
// the program-directory expansion, integers, yes/no and the path helper.
// Input: the value, a newline, then the program directory ("PGMFALDEK").
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "speech/config_values.h"
#include "speech/ini_reader.h"
#include "speech/local_path.h"
#include "speech/number_words.h"

using namespace placarim::speech;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  std::string value(input.substr(0, newline));
  const std::string program =
      newline == std::string_view::npos ? std::string() : std::string(input.substr(newline + 1));
  if (value.size() > kIniValueLimit) value.resize(kIniValueLimit);

  const std::string expanded = ExpandProgramDirectory(value, [&] { return program; }, "/start");
  // Every "@" becomes at most one directory: the expansion is bounded.
  const size_t longest_directory = std::max(program.size(), std::string("/start").size());
  if (expanded.size() > value.size() * (longest_directory + 1)) std::abort();
  // A value without "@" comes back unchanged.
  if (value.find('@') == std::string::npos && expanded != value) std::abort();

  const IniInteger parsed = ParseIniInteger(expanded);
  if (parsed.valid && IniIntOr(expanded, parsed.value ^ 1) != parsed.value) std::abort();
  (void)IniYesNo(expanded);
  (void)NumberToWords(static_cast<uint64_t>(parsed.value < 0 ? -(int64_t)parsed.value : parsed.value));
  const std::string directory = LocalDirectory(expanded);
  if (!directory.empty() && directory.back() != '/') std::abort();
  return 0;
}
