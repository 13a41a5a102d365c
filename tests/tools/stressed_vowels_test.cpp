// The stressed e/o both voices give the words the game itself says and the
// commonest words of running text, read through the same functions the
// agreement benchmark uses; and those functions on espeak-ng's notation.
#include <gtest/gtest.h>

#include "lang/cp1252.h"
#include "platform/text_encoding.h"
#include "tools/vowel_lexicon/stressed_vowels.h"
#include "voices/ilvra/letter_rules.h"
#include "voices/tradutor/translator.h"

namespace placarim::vowel_lexicon {
namespace {

struct Expected {
  const char* word;  // UTF-8
  char letter;
  bool open;
};

// Brazilian speech, checked by ear and against espeak-ng.
constexpr Expected kWords[] = {
    {"essa", 'e', true},     {"aperte", 'e', true},  {"gol", 'o', false},    {"gols", 'o', false},
    {"melhor", 'o', true},   {"maior", 'o', true},   {"pior", 'o', true},    {"deve", 'e', true},
    {"nosso", 'o', true},    {"forma", 'o', true},   {"logo", 'o', true},    {"volta", 'o', true},
    {"começa", 'e', true},   {"pobre", 'o', true},   {"joga", 'o', true},    {"acontece", 'e', true},
    {"parece", 'e', true},   {"hoje", 'o', false},   {"esposa", 'o', false}, {"chega", 'e', false},
    {"garoto", 'o', false},  {"planeta", 'e', false},
    {"folha", 'o', false},   {"letra", 'e', false},   {"acerto", 'e', false},
    // Ending rules and the words they leave alone.
    {"aberta", 'e', true},   {"semestre", 'e', true}, {"inverno", 'e', true}, {"governo", 'e', false},
    {"tivesse", 'e', true},  {"disseram", 'e', true}, {"explore", 'o', true}, {"esquece", 'e', true},
    {"Samuel", 'e', true},   {"deliciosa", 'o', true}, {"famosos", 'o', true}, {"porta", 'o', true},
    {"moda", 'o', true},     {"toda", 'o', false},    {"todas", 'o', false},  {"foram", 'o', false},
    {"controle", 'o', false}, {"comporem", 'o', false}, {"converta", 'e', false}, {"pela", 'e', false},
    {"cabeça", 'e', false},  {"moça", 'o', false},    {"sopa", 'o', false},   {"cresce", 'e', true},
    {"responsavel", 'e', true}, {"Russell", 'e', true}};

class StressedVowels : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string bin = PLACARIM_BUILD_DATA_DIR;
    ASSERT_TRUE(ilvra::LoadIlvraRules(bin + "/ilvra/portug.nrl", bin + "/ilvra/portug.exc", rules_));
    ASSERT_TRUE(translator_.LoadLetterRules(bin + "/difones/regras.rgr"));
    ASSERT_TRUE(translator_.LoadDiphoneExceptions(bin + "/difones/portug.exc"));
  }
  static ilvra::RuleSet rules_;
  static tradutor::Translator translator_;
};
ilvra::RuleSet StressedVowels::rules_;
tradutor::Translator StressedVowels::translator_;

TEST_F(StressedVowels, BothVoicesGiveTheCommonWordsTheirBrazilianQuality) {
  for (const auto& e : kWords) {
    const std::string cp = platform::Utf8ToCp1252(e.word);
    const Stressed ilvra = FromIlvraLines(ilvra::WordsToPhonemes({"555|" + lang::UpperCase(cp)}, rules_));
    const Stressed diphone = FromDiphoneCodes(translator_.TranslateToDiphoneCodes(cp));
    for (const auto& [voice, s] : {std::pair{"Ilvra", ilvra}, std::pair{"built-in", diphone}}) {
      EXPECT_EQ(s.letter, e.letter) << voice << " " << e.word;
      EXPECT_EQ(s.open, e.open) << voice << " " << e.word;
      EXPECT_FALSE(s.nasal) << voice << " " << e.word;
    }
  }
}

TEST(StressedVowelReading, ReadsEachNotation) {
  struct Case {
    Stressed got;
    char letter;
    bool open, nasal;
    int from_end;
  } cases[] = {
      {FromEspeak("m,elj'Or"), 'o', true, false, 0},
      {FromEspeak("'Es&"), 'e', true, false, 1},
      {FromEspeak("S'eg&"), 'e', false, false, 1},
      {FromEspeak("b'eIN"), 'e', false, true, 0},             // bem: nasal
      {FromEspeak("maI;'Or"), 'o', true, false, 0},           // the glide is not a vowel
      {FromDiphoneCodes("[ b/O/ l/a^]"), 'o', true, false, 1},
      {FromDiphoneCodes("[ g/O^/ l]"), 'o', false, false, 0},
      {FromIlvraLines({";", "b", ">oo", "l", "@", "", "__"}), 'o', true, false, 1},
      {FromIlvraLines({";", "g", ">o", "l", "", "__"}), 'o', false, false, 0},
      {FromIlvraLines({";", "p", "r", ">a", "y", "@", "", "__"}), 'a', false, false, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.got.letter, c.letter);
    EXPECT_EQ(c.got.open, c.open) << c.letter;
    EXPECT_EQ(c.got.nasal, c.nasal) << c.letter;
    EXPECT_EQ(c.got.from_end, c.from_end) << c.letter;
  }
  EXPECT_EQ(FromEspeak("").letter, 0);
  EXPECT_FALSE(Comparable(FromEspeak("'Es&"), FromEspeak("'es")));  // not the same place from the end
}

TEST(StressedVowelReading, SplitsFortunesAndWords) {
  const auto words = LowerCaseWords("Você É o GOL-de-placa, 12 vezes!");
  const std::vector<std::string> expected = {"você", "é", "o", "gol", "de", "placa", "vezes"};
  EXPECT_EQ(words, expected);
  EXPECT_TRUE(HeldOut(3));
  EXPECT_FALSE(HeldOut(4));
}

}  // namespace
}  // namespace placarim::vowel_lexicon
