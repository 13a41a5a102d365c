#include "console/console_settings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace placarim::console {
namespace {

constexpr int kLargestImageSide = 16384;  // pixels a side of a window image
constexpr int kColumns = 80;
constexpr int kRows = 25;

constexpr platform::Rgb kPalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {128, 128, 128}, {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255},
};

// Values are read into a buffer of 80 characters, so at most 79 of them count.
constexpr size_t kValueLimit = 79;

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A whole-string decimal integer (optional sign), saturated to int; nothing
// when any character is not part of it.
std::optional<int> ParseDecimal(std::string_view s, int* leading_digits = nullptr) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int64_t value = 0;
  const size_t first_digit = i;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = std::min<int64_t>(value * 10 + (s[i] - '0'), std::numeric_limits<int>::max());
  }
  const int result = static_cast<int>(negative ? -value : value);
  if (leading_digits != nullptr) *leading_digits = result;
  if (i == first_digit || i != s.size()) return std::nullopt;
  return result;
}

bool IsYes(std::string_view v) { return !v.empty() && (v.front() == 'S' || v.front() == 's'); }

}  // namespace

ColorTable ParseColorTable(std::string_view value) {
  ColorTable table{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string rest(value);
  rest += ',';
  for (int entry = 0; entry < 16; ++entry) {
    const size_t comma = rest.find(',');
    if (comma == std::string::npos) break;
    int leading = 0;
    const auto number = ParseDecimal(TrimBlanks(std::string_view(rest).substr(0, comma)), &leading);
    rest.erase(0, comma + 1);
    table[static_cast<size_t>(entry)] = number.value_or(leading);
    if (!number) break;
  }
  return table;
}

platform::Rgb ColorOf(const ColorTable& table, int color) {
  const int index = table[static_cast<size_t>(color & 15)];
  return (index >= 0 && index < 16) ? kPalette[index] : platform::Rgb{0, 0, 0};
}

ConsoleSettings ReadConsoleSettings(const SettingLookup& lookup, platform::WorkArea work_area) {
  ConsoleSettings s;
  const auto get = [&](std::string_view section, std::string_view key, std::string_view fallback) {
    std::string v(lookup(section, key).value_or(std::string(fallback)));
    if (v.size() > kValueLimit) v.resize(kValueLimit);
    return v;
  };
  const auto video = [&](std::string_view key, std::string_view fallback) { return get("VIDEO", key, fallback); };
  const auto number = [&](std::string_view key, int fallback) {
    return ParseDecimal(TrimBlanks(video(key, ""))).value_or(fallback);
  };

  s.color_table = ParseColorTable(video("TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"));
  s.fixed_colors = IsYes(video("CORESFIXAS", "N"));
  s.slow_scroll = IsYes(video("LENTO", "N"));
  // Colours outside 0 to 15 keep their low four bits, so a foreground never
  // spills into the background.
  const int background = number("CORFUNDO", 0) & 15;
  const int foreground = number("CORLETRA", 15) & 15;
  s.attribute = static_cast<uint8_t>(background * 16 | foreground);

  const std::string amplif = video("AMPLIF", "2");
  s.magnifier = amplif.empty() ? 0 : (static_cast<uint8_t>(amplif[0]) & 7);
  if (s.magnifier == 0) s.magnifier = 2;

  s.font_face = video("FONTE", "Lucida Console");
  // Defaults scale a 13 by 28 pixel font on a 1024 by 734 work area; the
  // rounding of nearbyint is to the nearest, ties to even.
  s.char_width = number("LARGURALETRA", static_cast<int>(std::nearbyint(work_area.width / 1024.0 * 13)));
  s.char_height = number("ALTURALETRA", static_cast<int>(std::nearbyint(work_area.height / 734.0 * 28)));
  // A cell so large that 80 by 25 of them exceed the largest image a window
  // can hold would leave no window at all, and so no keys: the size is held
  // to what fits (16384 pixels a side).
  s.char_width = std::clamp(s.char_width, 1, kLargestImageSide / kColumns);
  s.char_height = std::clamp(s.char_height, 1, kLargestImageSide / kRows);
  s.weight = number("PESOLETRA", 700);
  s.maximized = !IsYes(video("CANTOTELA", "SIM"));

  const std::string modo = get("BRAILLE", "MODO", "0");
  s.braille_mode = modo.empty() ? 0 : (static_cast<uint8_t>(modo[0]) & 3);
  s.computer_braille = ComputerBrailleChosen(lookup("BRAILLE", "TABELA"));
  return s;
}

bool ComputerBrailleChosen(const std::optional<std::string>& tabela) {
  if (!tabela) return false;
  std::string upper(TrimBlanks(*tabela));
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper == "BRLTTY";
}

}  // namespace placarim::console
