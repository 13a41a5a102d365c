#include "platform/text_encoding.h"

namespace placarim::platform {
namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when the
// bytes there are not a well-formed, shortest-form sequence.
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& cp) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(pos);
  size_t length;
  char32_t min;
  if (lead < 0x80) {
    cp = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(pos + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

char32_t Cp1252ToCodePoint(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return byte;
}

std::optional<uint8_t> CodePointToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<uint8_t>(cp);
  if (cp == 0) return std::nullopt;
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == cp) return static_cast<uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 4);
  for (char c : cp1252) {
    const char32_t cp = Cp1252ToCodePoint(static_cast<uint8_t>(c));
    AppendUtf8(out, cp ? cp : 0xFFFD);
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8, char missing) {
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t cp = 0;
    size_t length = DecodeUtf8(utf8, pos, cp);
    std::optional<uint8_t> byte;
    if (length == 0) {
      length = 1;
    } else {
      byte = CodePointToCp1252(cp);
    }
    if (byte) {
      out += static_cast<char>(*byte);
    } else if (missing != 0) {
      out += missing;
    }
    pos += length;
  }
  return out;
}

bool LooksLikeUtf8(std::string_view bytes) {
  bool non_ascii = false;
  size_t pos = 0;
  while (pos < bytes.size()) {
    char32_t cp = 0;
    const size_t length = DecodeUtf8(bytes, pos, cp);
    if (length == 0) return false;
    if (length > 1) non_ascii = true;
    pos += length;
  }
  return non_ascii;
}

std::string FileTextToCp1252(std::string_view bytes) {
  // Editors on the teacher's other computers start UTF-8 files with a byte order
  // mark; left in, it would hide a header or section on the first line.
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (LooksLikeUtf8(bytes)) return Utf8ToCp1252(bytes);
  return std::string(bytes);
}

}  // namespace placarim::platform
