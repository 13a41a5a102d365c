#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace placarim::platform {
namespace {

struct RoundTrip {
  const char* utf8;
  const char* cp1252;
};

TEST(TextEncoding, ConvertsBothWays) {
  const RoundTrip cases[] = {
      {"abc", "abc"},
      {"Somas at\xC3\xA9 dez", "Somas at\xE9 dez"},
      {"\xC3\xA7\xC3\xA3o", "\xE7\xE3o"},                 // ção
      {"\xE2\x82\xAC 5", "\x80 5"},                        // euro sign
      {"\xE2\x80\x9C" "a" "\xE2\x80\x9D", "\x93" "a" "\x94"},  // curly quotes
      {"\xC3\xBF", "\xFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
  }
}

TEST(TextEncoding, CharactersWithoutWindows1252FormAreReplacedOrDropped) {
  EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b"), "a?b");   // a CJK character
  EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b", 0), "ab");
  EXPECT_EQ(Utf8ToCp1252("a\xC3" "b", 0), "ab");          // truncated sequence
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF", 0), "");              // overlong form
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80", 0), "");          // surrogate
}

TEST(TextEncoding, UnassignedBytesBecomeReplacementCharacter) {
  EXPECT_EQ(Cp1252ToCodePoint(0x81), 0u);
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xEF\xBF\xBD");
  EXPECT_FALSE(CodePointToCp1252(0x81).has_value());
}

TEST(TextEncoding, FileTextIsConvertedOnlyWhenItIsUtf8WithNonAscii) {
  EXPECT_EQ(FileTextToCp1252("Somas at\xC3\xA9 dez"), "Somas at\xE9 dez");
  EXPECT_EQ(FileTextToCp1252("Somas at\xE9 dez"), "Somas at\xE9 dez");  // already 1252
  EXPECT_EQ(FileTextToCp1252("plain ascii"), "plain ascii");
  EXPECT_FALSE(LooksLikeUtf8("plain"));
  EXPECT_TRUE(LooksLikeUtf8("\xC3\xA9"));
  EXPECT_FALSE(LooksLikeUtf8("\xC3\xA9\xE9"));
  // A byte order mark is dropped, whatever follows it.
  EXPECT_EQ(FileTextToCp1252("\xEF\xBB\xBF*Somas\r\n"), "*Somas\r\n");
  EXPECT_EQ(FileTextToCp1252("\xEF\xBB\xBF*Divis\xC3\xA3o"), "*Divis\xE3o");
  EXPECT_EQ(FileTextToCp1252("\xEF\xBB\xBF"), "");
}

}  // namespace
}  // namespace placarim::platform
