#include "speech/config_values.h"

#include <gtest/gtest.h>

#include <climits>

namespace placarim::speech {
namespace {

struct IntegerCase {
  const char* text;
  bool valid;
  int value;
};

TEST(IniInteger, ReadsSignsHexAndLeadingDigits) {
  const IntegerCase cases[] = {
      {"250", true, 250},       {"  42", true, 42},       {"-5", true, -5},
      {"+7", true, 7},          {"$1F", true, 31},        {"0x1f", true, 31},
      {"0X10", true, 16},       {"-$10", true, -16},      {"abc", false, 0},
      {"", false, 0},           {"12ab", false, 12},      {"12 ", false, 12},
      {"-", false, 0},          {"$", false, 0},          {"0x", false, 0},
      {"$G", false, 0},         {"2147483647", true, INT_MAX},
      {"-2147483648", true, INT_MIN},
      {"2147483648", false, 214748364},  // the overflowing digit is the first invalid one
      {"99999999999999999999", false, 999999999},
      {"@@@@", false, 0},
  };
  for (const auto& c : cases) {
    const IniInteger parsed = ParseIniInteger(c.text);
    EXPECT_EQ(parsed.valid, c.valid) << '"' << c.text << '"';
    EXPECT_EQ(parsed.value, c.value) << '"' << c.text << '"';
  }
}

TEST(IniInteger, DefaultsAndPrefixes) {
  EXPECT_EQ(IniIntOr("abc", 250), 250);
  EXPECT_EQ(IniIntOr("", 150), 150);
  EXPECT_EQ(IniIntOr("12ab", 3), 3);
  EXPECT_EQ(IniIntOr("0", 3), 0);
  EXPECT_EQ(IniIntPrefix("12ab"), 12);
  EXPECT_EQ(IniIntPrefix("abc"), 0);
}

TEST(IniYesNo, OnlyEmptyOrNMeansNo) {
  EXPECT_FALSE(IniYesNo(""));
  EXPECT_FALSE(IniYesNo("Nao"));
  EXPECT_FALSE(IniYesNo("nao"));
  EXPECT_TRUE(IniYesNo("Sim"));
  EXPECT_TRUE(IniYesNo("0"));  // anything else is yes
  EXPECT_TRUE(IniYesNo(" N"));
}

struct ExpansionCase {
  const char* value;
  const char* program_directory;
  const char* expected;
};

TEST(ExpandProgramDirectory, LeadingAtAndAtBackslash) {
  const ExpansionCase cases[] = {
      {"@\\som\\", "c:\\kestra", "c:\\kestra\\som\\"},
      {"d:\\dados;@\\bin", "c:\\kestra", "d:\\dados;c:\\kestra\\bin"},
      {"@", "c:\\kestra", "c:\\kestra"},
      {"a@\\b;@\\c", "P", "aP\\b;P\\c"},
      {"@@\\x", "P", "PP\\x"},
      {"no at here", "P", "no at here"},
      {"mail@host", "P", "mail@host"},            // "@" not before a backslash stays
      {"@\\som", "", "/start\\som"},              // empty program directory: start directory
      {"@\\som", "@\\kestra", "/start\\som"},     // one beginning with "@" too
      {"x@\\y", "c:\\a@\\b", "xc:\\a@\\b\\y"},     // inserted text is not expanded again
      {"@\\@\\@\\", "@x", "/start\\/start\\/start\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandProgramDirectory(c.value, [&] { return std::string(c.program_directory); }, "/start"),
              c.expected)
        << c.value;
  }
}

TEST(ExpandProgramDirectory, ReadsTheProgramDirectoryOnlyWhenNeeded) {
  int reads = 0;
  auto program = [&] {
    ++reads;
    return std::string("P");
  };
  EXPECT_EQ(ExpandProgramDirectory("plain", program, "/s"), "plain");
  EXPECT_EQ(reads, 0);
  EXPECT_EQ(ExpandProgramDirectory("@\\a@\\b", program, "/s"), "P\\aP\\b");
  EXPECT_EQ(reads, 1);
}

TEST(KeyWithNumber, AppendsTheSpeedDigits) {
  EXPECT_EQ(KeyWithNumber("DIFONES", 3), "DIFONES3");
  EXPECT_EQ(KeyWithNumber("PAUSADOISPONTOS", 5), "PAUSADOISPONTOS5");
}

}  // namespace
}  // namespace placarim::speech
