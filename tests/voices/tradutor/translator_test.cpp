#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "voices/tradutor/stress.h"
#include "voices/tradutor/translator.h"
#include "voices/tradutor/transliteration.h"

namespace placarim::tradutor {
namespace {

struct CleanCase {
  std::string in;
  std::string out;
};

TEST(CleanText, TransliteratesAndMarksStrays) {
  const CleanCase cases[] = {
      {"\xE7", "ss"},            // ç (Windows-1252)
      {"\xC7", "ss"},            // Ç
      {"\x87", "ss"},            // ç (DOS)
      {"irm\xE3o", "irma~o"},    // irmão
      {"\xC1gua", "a'gua"},      // Água: upper-case letters fold too
      {"wagner", "uagner"},      // w beside a letter
      {"a w b", "a w b"},        // lone w stays
      {"y", "y"},                // lone y stays
      {"Yara", "iara"},
      {"d'\xE1gua", "da'gua"},   // d'água: elision dropped
      {"D'Ouro", "DOuro"},
      {"rock'n", "rock'n"},      // apostrophe kept elsewhere
      {"a\tb", "a \x01 b"},      // control character
      {"\x9B", " \x01 "},        // byte with no spelling
      {"\xFF", " \x01 "},
      {"\xD1", "nh"},            // Ñ
      {"\xBF", "?"},
      {"\xA7", "\xA7"},
      {"\xAB", "\xAA"},
      {"\xE6", "ae"},
      {"abc!", "abc!"},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanText(c.in), c.out) << c.in;
}

TEST(CleanText, EveryHighByteIsSpelledOrStray) {
  for (int b = 128; b < 256; ++b) {
    const std::string out = CleanText(std::string(1, char(b)));
    ASSERT_FALSE(out.empty()) << b;
    for (char c : out) {
      // Spellings are ASCII except the three symbols kept as they are.
      const auto u = static_cast<unsigned char>(c);
      EXPECT_TRUE(u < 128 || u == 0xA7 || u == 0xAA || u == 0xBA) << b;
    }
  }
}

struct StressCase {
  std::string word;
  std::string marked;
};

TEST(MarkStress, PicksTheStressedVowel) {
  const StressCase cases[] = {
      {"papel", "papEl"},   {"casa", "cAsa"},     {"tatu", "tatU"},   {"aqui", "aquI"},
      {"beijo", "bEijo"},   {"rainha", "raInha"}, {"cantam", "cAntam"}, {"bom", "bOm"},
      {"casas", "cAsas"},   {"lapis", "lapIs"},   {"saindo", "saIndo"}, {"amor", "amOr"},
      {"feliz", "felIz"},   {"jovens", "jOvens"}, {"guri", "gurI"},     {"quase", "quAse"},
      {"sagui", "saguI"},   {"parque", "pArque"},   {"ruim", "rUim"},     {"xyz", "xyz"},       {"ao", "Ao"},
      // the u of que and gue is not a vowel of its own
      {"ataque", "atAque"}, {"parques", "pArques"}, {"sangue", "sAngue"}, {"joguem", "jOguem"},
      {"quem", "quem"},     {"esquina", "esquIna"}, {"seguir", "seguIr"}, {"tranquilo", "tranquIlo"},
  };
  for (const auto& c : cases) {
    std::string w = c.word;
    MarkStress(w);
    EXPECT_EQ(w, c.marked) << c.word;
  }
}

struct LineCase {
  std::string line;
  std::string left, centre, right, output;
};

TEST(ParseRuleLine, SplitsAndTruncatesFields) {
  const LineCase cases[] = {
      {"#(C)+= s|", "#", "C", "+", " s"},
      {"(A)= a", "", "A", "", " a"},
      {"abcdefg(HIJKLMN)opqrstu=123456789012345|x", "abcde", "HIJKL", "opqrs", "12345678901"},
      {"no paren", "no pa", "", "", ""},
      {"(AB", "", "AB", "", ""},
      {"(AB)cd", "", "AB", "cd", ""},
      {"(A)=x\r", "", "A", "", "x"},
      {"", "", "", "", ""},
  };
  for (const auto& c : cases) {
    const LetterRule r = ParseRuleLine(c.line);
    EXPECT_EQ(r.left, c.left) << c.line;
    EXPECT_EQ(r.centre, c.centre) << c.line;
    EXPECT_EQ(r.right, c.right) << c.line;
    EXPECT_EQ(r.output, c.output) << c.line;
  }
}

TEST(LetterRules, SkipsUnusableLinesAndKeepsOrderPerCharacter) {
  LetterRules rules;
  rules.LoadFromText(
      "(A)=a1\n"
      "\n"
      "(B)=b1\n"
      "(a)=lower\n"       // first centre character above 95
      "()=empty\n"
      "(\x7F)=del\n"
      "(A)=a2\n"          // a second A rule after a B rule
      "(B)=b2\n");
  ASSERT_EQ(rules.size(), 4u);
  ASSERT_EQ(rules.ListFor('A').size(), 2u);
  EXPECT_EQ(rules.ListFor('A')[0].output, "a1");
  EXPECT_EQ(rules.ListFor('A')[1].output, "a2");
  ASSERT_EQ(rules.ListFor('B').size(), 2u);
  EXPECT_EQ(rules.ListFor('B')[1].output, "b2");
  EXPECT_TRUE(rules.ListFor('a').empty());
  EXPECT_TRUE(rules.ListFor('\xC0').empty());
  rules.Free();
  EXPECT_EQ(rules.size(), 0u);
}

TEST(ExceptionTable, LoadsSortsAndWalksSuffixes) {
  ExceptionTable table;
  table.LoadFromText("zebra=zEbra\r\ncasa=kAza|comment\nbare line\n\nmae=ma~y\n");
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(table.entries()[0].key, "bare line|");
  EXPECT_EQ(table.entries()[0].replacement, "");
  EXPECT_EQ(table.entries()[1].key, "casa");
  EXPECT_EQ(table.entries()[3].key, "zebra");

  const CleanCase lookups[] = {
      {"casa", "kAza"},     {"casas", "kAzas"},   {"zebras", "zEbras"},
      {"maes", "ma~ys"},    {"casam", "kAzam"},   {"casass", "kAzass"},
      {"bola", "bola"},     {"bolas", "bolas"},   {"ssm", "ssm"},
      {"bare line", "bare line"},
  };
  for (const auto& c : lookups) EXPECT_EQ(table.Lookup(c.in), c.out) << c.in;
}

TEST(ExceptionTable, StopsAtItsCapacityAndCutsLongLines) {
  std::string text;
  for (int i = 0; i < 15005; ++i) text += "k" + std::to_string(100000 + i) + "=v\n";
  ExceptionTable table;
  table.LoadFromText(text);
  EXPECT_EQ(table.size(), ExceptionTable::kMaxEntries);
  EXPECT_EQ(table.Lookup("k114999"), "v");
  EXPECT_EQ(table.Lookup("k115000"), "k115000");

  // Only the first 255 characters of a line count, also when read from a file.
  const auto path = std::filesystem::temp_directory_path() / "placarim_exc_long_line.exc";
  {
    std::ofstream out(path, std::ios::binary);
    out << std::string(300, 'a') << "=x\nbola=bOla\n";
  }
  ASSERT_TRUE(table.Load(path.string()));
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table.entries()[0].key, std::string(255, 'a') + "|");
  EXPECT_EQ(table.Lookup("bola"), "bOla");
  std::filesystem::remove(path);
  EXPECT_FALSE(table.Load((std::filesystem::temp_directory_path() / "no-such-file.exc").string()));
}

// Empty, binary and megabyte-line files load as far as they make sense and
// leave a translator that still works.
TEST(Loaders, SurviveHostileFiles) {
  const auto dir = std::filesystem::temp_directory_path() / "placarim_hostile_rules";
  std::filesystem::create_directories(dir);
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) & 0xFF);
  const std::string megabyte_line = "(A)=" + std::string(1 << 20, 'x') + "\n(B)=b\n";
  struct Case {
    std::string name, bytes;
    size_t rules;
  };
  const Case cases[] = {{"empty", "", 0}, {"binary", binary, 0}, {"long", megabyte_line, 2},
                        {"nul", std::string("(C)=\0k\n(D)=d", 12), 2}};
  for (const auto& c : cases) {
    const auto path = dir / c.name;
    std::ofstream(path, std::ios::binary) << c.bytes;
    Translator t;
    ASSERT_TRUE(t.LoadLetterRules(path.string())) << c.name;
    ASSERT_TRUE(t.LoadDiphoneExceptions(path.string())) << c.name;
    if (c.name != "binary") {
      EXPECT_EQ(t.rules().size(), c.rules) << c.name;
    }
    for (const auto& list_char : {'A', 'B'}) {
      for (const auto& rule : t.rules().ListFor(list_char)) EXPECT_LE(rule.output.size(), 11u);
    }
    for (const auto& e : t.exceptions().entries()) EXPECT_LE(e.key.size(), 256u);
    EXPECT_FALSE(t.TranslateToDiphoneCodes("abacaxi doce").empty()) << c.name;
  }
  std::filesystem::remove_all(dir);
}

class TranslatorTest : public ::testing::Test {
 protected:
  std::string Translate(std::string_view text) { return t.TranslateToDiphoneCodes(text); }
  Translator t;
};

TEST_F(TranslatorTest, WordsWithoutRulesFallBackToRecordedCharacters) {
  const CleanCase cases[] = {
      {"", ""},
      {"   ", ""},
      {"bcd", "[ /_b][ /_c][ /_d]"},
      {",", "[ /_,]"},
      {"a , b", "[ /_A][ /_,][ /_b]"},
      {"5", "[ /_5]"},
      {"casa", "[ /_C/ /_A/ /_S/ /_A]"},             // stress kept in the default output
      {"irm\xE3o", "[ /_I/ /_R/ /_M/ /_A/ /_~/ /_O]"},  // accent: no automatic stress
      {"y", "[ /_y]"},                                 // a lone y is a consonant: spelled
      {"wagner", "[ /_U/ /_A/ /_G/ /_N/ /_E/ /_R]"},
      {"rock'n", "[ /_R/ /_O/ /_C/ /_K/ /_'/ /_N]"},   // apostrophe is an accent mark: no stress
      {"d'\xE1gua", "[ /_D/ /_A/ /_'/ /_G/ /_U/ /_A]"},
      {"a\x01" "b", "[ /_A][ /_\x01][ /_b]"},
      {"\xA7", "[ /_\xA7]"},
  };
  for (const auto& c : cases) EXPECT_EQ(Translate(c.in), c.out) << c.in;
}

TEST_F(TranslatorTest, ExceptionsReplaceWordsAndKeepSuffixes) {
  t.exceptions().LoadFromText("casa=kasa\n");
  t.rules().LoadFromText("(K)=k\n(A)=a\n(S)=s\n");
  EXPECT_EQ(Translate("casa"), "[k/A/s/a]");
  EXPECT_EQ(Translate("casas"), "[k/A/s/a/s]");
  EXPECT_EQ(Translate("CASAS"), "[k/A/s/a/s]");
}

struct RuleCase {
  std::string rule;   // one rule for the letter X, output "hit"
  std::string word;
  bool hits;          // whether the X of the word takes the rule
};

// Each context symbol on each side, with a word that fits and one that does not.
TEST_F(TranslatorTest, ContextSymbolsMatchTheirClasses) {
  const RuleCase cases[] = {
      {"#(X)=hit", "aex", true},      {"#(X)=hit", "bx", false},
      {"%#(X)=hit", "aex", true},     {"%#(X)=hit", "baex", false},   // # skips every vowel
      {"%(X)=hit", "xa", true},       {"%(X)=hit", "axa", false},
      {"](X)=hit", "ox", true},       {"](X)=hit", "ex", false},
      {"%](X)=hit", "a'x", true},     {"](X)=hit", "i'x", false},
      {"_(X)=hit", "xa", true},       {"_(X)=hit", "ex", true},
      {"%_(X)=hit", "e^x", true},     {"_(X)=hit", "bx", false},
      {"|(X)=hit", "nx", true},       {"|(X)=hit", "sx", true},       {"|(X)=hit", "tx", false},
      {"|(X)=hit", "xa", false},
      {"B(X)=hit", "bx", true},       {"B(X)=hit", "cx", false},
      {"(X)#=hit", "xae", true},      {"(X)#%=hit", "xaeb", false},
      {"(X)%=hit", "ax", true},       {"(X)%=hit", "xa", false},
      {"(X)&=hit", "xl", true},       {"(X)&=hit", "xz", true},       {"(X)&=hit", "xs", false},
      {"(X)&=hit", "x", false},
      {"(X)*=hit", "xt", true},       {"(X)*=hit", "xr", false},      {"(X)*=hit", "xa", false},
      {"(X)*T=hit", "xt", true},      // * does not move
      {"(X)+=hit", "xe", true},       {"(X)+=hit", "xa", false},
      {"(X)+%=hit", "xi'", true},     {"(X)+%=hit", "xib", false},
      {"(X)[=hit", "x", true},        {"(X)[=hit", "xb", true},       {"(X)[=hit", "xh", false},
      {"(X)[=hit", "xa", false},
      {"(X)\\%=hit", "x", true},      {"(X)\\%=hit", "xs", true},     {"(X)\\%=hit", "xt", false},
      {"(X)A=hit", "xa", true},       {"(X)A=hit", "xo", false},      {"(X)A=hit", "x", false},
      {"(XY)=hit", "xy", true},       {"(XY)=hit", "x", false},
  };
  for (const auto& c : cases) {
    t.rules().LoadFromText(c.rule);
    const std::string codes = t.ApplyRules(c.word);
    EXPECT_EQ(codes.find("hit") != std::string::npos, c.hits) << c.rule << " on " << c.word << ": " << codes;
  }
}

TEST_F(TranslatorTest, BackslashMatchesWithAndWithoutPluralS) {
  t.rules().LoadFromText("(N)O\\%= n|\n(O)\\%=u\n(M)=m\n(E)=e\n(I)=i\n(S)=s\n");
  EXPECT_EQ(Translate("menino"), "[m/e/ /_N/I/ n/u]");
  EXPECT_EQ(Translate("meninos"), "[m/e/ /_N/I/ n/u/s]");
  EXPECT_EQ(t.ApplyRules("meninas"), "[m/e/ /_N/i/ /_N/ /_A/s]");
}

TEST_F(TranslatorTest, RulesConsumeTheirCentreAndStressTheFirstVowel) {
  t.rules().LoadFromText("(CH)= x\n(A)= ya\n(QU)+= k\n(E)=e^\n(S)=s\n(P)=p\n");
  EXPECT_EQ(Translate("chaque"), "[ x/ yA/ k/e^]");  // the u of qu is not stressed
  EXPECT_EQ(Translate("Ches"), "[ x/e^/s]");         // one vowel: not marked
  EXPECT_EQ(Translate("chapa"), "[ x/ yA/p/ ya]");
}

}  // namespace
}  // namespace placarim::tradutor
