#include "voices/tradutor/transliteration.h"

#include <array>

#include "voices/tradutor/char_classes.h"

namespace placarim::tradutor {
namespace {

struct Spelling {
  const char* text;
  std::initializer_list<unsigned char> codes;
};

// Both the DOS accented-letter codes (128 to 165) and the Windows-1252
// letters (192 to 255), so that text typed in either code page is read.
const Spelling kSpellings[] = {
    {"ss", {0x80, 0x87, 0xC7, 0xE7}},
    {"a`", {0x85, 0xC0, 0xE0}},
    {"a'", {0x86, 0x8F, 0xA0, 0xC1, 0xE1}},
    {"a^", {0x83, 0xC2, 0xE2}},
    {"a~", {0x84, 0x8E, 0xC3, 0xC4, 0xE3, 0xE4}},
    {"a", {0xC5, 0xE5}},
    {"ae", {0x91, 0xC6, 0xE6}},
    {"e'", {0x82, 0x90, 0xC9, 0xE9}},
    {"e^", {0x88, 0xCA, 0xEA}},
    {"e`", {0x8A, 0xC8, 0xE8}},
    {"e\"", {0x89, 0xCB, 0xEB}},
    {"i'", {0xA1, 0xCD, 0xED}},
    {"i^", {0x8C, 0xCE, 0xEE}},
    {"i`", {0x8D, 0xCC, 0xEC}},
    {"i\"", {0x8B, 0xCF, 0xEF}},
    {"o'", {0xA2, 0xD3, 0xF3}},
    {"o^", {0x93, 0xD4, 0xF4}},
    {"o~", {0x94, 0x99, 0xD5, 0xF5}},
    {"o`", {0x95, 0xD2, 0xD6, 0xF2, 0xF6}},
    {"u'", {0xA3, 0xDA, 0xFA}},
    {"u^", {0x96, 0xDB, 0xFB}},
    {"u`", {0x97, 0xD9, 0xF9}},
    {"u\"", {0x81, 0x9A}},
    {"u", {0xDC, 0xFC}},
    {"nh", {0xA4, 0xA5, 0xD1, 0xF1}},
    {"y-", {0x98}},
    {"x", {0xD7, 0xF7}},
    {"0", {0xD8, 0xF8}},
    {"-", {0x92}},
    {"?", {0xA8, 0xBF}},
    {"!", {0xAD}},
    {"\"", {0xAE, 0xAF}},
    {"\xA7", {0xA7}},
    {"\xAA", {0xAB}},
    {"\xBA", {0xBB}},
};

std::array<std::string_view, 128> BuildTable() {
  std::array<std::string_view, 128> table{};
  for (const Spelling& s : kSpellings) {
    for (unsigned char code : s.codes) table[code - 128] = s.text;
  }
  return table;
}

const std::array<std::string_view, 128>& Table() {
  static const std::array<std::string_view, 128> table = BuildTable();
  return table;
}

bool LetterAt(std::string_view text, size_t i) { return i < text.size() && IsLetter(text[i]); }

void AppendStrayMarker(std::string& out) {
  out += ' ';
  out += kStrayMarker;
  out += ' ';
}

}  // namespace

std::string_view TransliterateHighByte(unsigned char byte) {
  if (byte < 128) return {};
  return Table()[byte - 128];
}

std::string CleanText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    const bool letter_beside = (i > 0 && LetterAt(text, i - 1)) || LetterAt(text, i + 1);
    if ((c == 'W' || c == 'w') && letter_beside) {
      out += 'u';
    } else if ((c == 'Y' || c == 'y') && letter_beside) {
      out += 'i';
    } else if (c == '\'' && i > 0 && (text[i - 1] == 'd' || text[i - 1] == 'D')) {
      // d'água: the elision is not spoken.
    } else if (byte < 32) {
      AppendStrayMarker(out);
    } else if (byte >= 128) {
      const std::string_view spelling = TransliterateHighByte(byte);
      if (spelling.empty()) {
        AppendStrayMarker(out);
      } else {
        out += spelling;
      }
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace placarim::tradutor
