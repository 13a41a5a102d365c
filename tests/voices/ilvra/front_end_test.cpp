// The front end's stages on their edge cases, and the shipped rules on
// everyday and school words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "lang/number_words.h"
#include "lang/symbol_names.h"
#include "voices/ilvra/front_end.h"
#include "voices/ilvra/phoneme_set.h"
#include "platform/text_encoding.h"

namespace placarim::ilvra {
namespace {

using platform::Cp1252ToUtf8;
using platform::Utf8ToCp1252;
using Lines = std::vector<std::string>;

std::string Normal(const std::string& utf8, const AbbreviationTable& table = {}) {
  return Cp1252ToUtf8(NormalizeText(Utf8ToCp1252(utf8), table));
}

std::string Scratch(const std::string& name, const std::string& utf8_text) {
  const char* base = std::getenv("PLACARIM_SYSCONFDIR");
  const auto dir = std::filesystem::path(base ? base : "/tmp") / "ilvra";
  std::filesystem::create_directories(dir);
  const auto path = dir / name;
  std::ofstream(path, std::ios::binary) << Utf8ToCp1252(utf8_text);
  return path.string();
}

// --- normalisation -----------------------------------------------------------

TEST(IlvraNormalize, NumbersSignsAndSymbols) {
  AbbreviationTable table;
  ParseAbbreviations(Utf8ToCp1252("SR = senhor\nN.º = número\nKM = quilômetro | quilômetros\n"), table);
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"1.000 bolas", "mil bolas"},  // read by the teacher-text stage: bola is feminine
      {"1.000 livros", "mil  livros"},  // the number's own space, then the text's
      {"1.0000", "um ponto zero zero zero zero "},
      {"3,5", "três vírgula cinco "},
      {"-7", "menos sete "},
      {"casa - bola", "casa , bola"},
      {"2222-3333", "dois dois dois dois traço três três três três "},
      {"007", "zero zero sete "},
      {"1º 2ª 3o. 4as.", "primeiro  segunda  terceiro  quartas "},
      {"21ª", "vigésima primeira "},
      {"1999º", "milésimo nongentésimo nonagésimo nono "},
      {"2000º", "dois mil "},
      {"CBF", " sêbêéfe"},
      {"Sr. Silva", "senhor Silva"},
      {"Sr.Silva", "Sr ponto Silva"},  // a known abbreviation is not spelled
      {"Sr Silva", "senhor Silva"},    // a word without vowels needs no dot
      {"1 km", "um  quilômetro"},      // the singular after one
      {"uma km", "uma quilômetro"},
      {"21 km.", "vinte e um  quilômetros."},
      {"5 km. Fim", "cinco  quilômetros Fim"},
      {"casa. Fim", "casa. Fim"},
      {"n.º 5", "número cinco "},
      {"@", "arrôba"},
      {"5", "cinco"},  // one character: its name
      {"casa\tbola", "casabola"},
      {"ok...", "ok... "},
      {"casa÷bola", "casa dividido por bola"},
      {"12-5=7", "doze  menos cinco  igual a sete "},
      {"1024 e 2024", "mil e vinte e quatro  e dois mil e vinte e quatro "},
      {"guarda-chuva", "guarda chuva"},
      {"12h30", "doze horas e trinta minutos"},
      {"R$ 3,95", "três reais e noventa e cinco centavos"},
      {"1/2 e 3/4", "um meio e três quartos"},
      {"2 horas", "duas horas"},
      {"1 000", "mil "},
      {"Ele disse \"gol\" e — feliz — riu.", "Ele disse , gol,  e ,  feliz ,  riu."},
      {"“Gol!”", " Gol! "},
      {"1234567890123456", "cento e vinte e três trilhões quatrocentos e cinquenta e seis bilhões "
                           "setecentos e oitenta e nove milhões doze mil trezentos e quarenta e cinco seis "},
  };
  for (const auto& c : cases) EXPECT_EQ(Normal(c.in, table), c.out) << c.in;
}

TEST(IlvraNormalize, CardinalsAndOrdinals) {
  const struct {
    uint64_t value;
    const char* words;
  } cardinals[] = {
      {0, "zero"},
      {21, "vinte e um"},
      {100, "cem"},
      {101, "cento e um"},
      {1005, "mil e cinco"},
      {1100, "mil e cem"},
      {2300, "dois mil e trezentos"},
      {2345, "dois mil trezentos e quarenta e cinco"},
      {1000000, "um milhão"},
      {1001000, "um milhão e mil"},
      {2000000000, "dois bilhões"},
      {1000000000000, "um trilhão"},
      {999999999999999, "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões "
                         "novecentos e noventa e nove milhões novecentos e noventa e nove mil "
                         "novecentos e noventa e nove"},
  };
  for (const auto& c : cardinals) {
    EXPECT_EQ(Cp1252ToUtf8(lang::CardinalWords(c.value, lang::LastGroupJoin::kBrazilian)), c.words) << c.value;
  }
  EXPECT_EQ(Cp1252ToUtf8(lang::OrdinalWords(0, lang::Gender::kMasculine)), "zero");
  EXPECT_EQ(Cp1252ToUtf8(lang::OrdinalWords(110, lang::Gender::kFeminine)), "centésima décima");
  EXPECT_EQ(Cp1252ToUtf8(lang::OrdinalWords(2001, lang::Gender::kFeminine)), "dois mil e um");
}

TEST(IlvraNormalize, SymbolNames) {
  EXPECT_EQ(Cp1252ToUtf8(std::string(lang::SymbolName('&'))), "é comercial");
  EXPECT_EQ(std::string(lang::SymbolName('C')), Utf8ToCp1252(" sê"));
  EXPECT_EQ(std::string(lang::SymbolName('j')), "jota");
  EXPECT_EQ(Cp1252ToUtf8(std::string(lang::SymbolName(0xF8))), "Ó cortado");  // ø takes the name of Ø
  for (int code : {0, 31, 127, 160, 221, 224}) EXPECT_TRUE(lang::SymbolName(static_cast<uint8_t>(code)).empty()) << code;
}

TEST(IlvraAbbreviations, FileFormatAndLimit) {
  std::string text = "; comment\n\n  Pág =  página \nSr=senhor\nSR = segundo\n";
  for (int i = 0; i < 2000; ++i) text += "K" + std::to_string(i) + "=x\n";
  AbbreviationTable table;
  std::vector<std::string> notices;
  ASSERT_TRUE(LoadAbbreviations(Scratch("portug.abr", text), table, &notices));
  ASSERT_EQ(table.entries.size(), AbbreviationTable::kMaxEntries);
  EXPECT_EQ(notices.size(), 3u);  // the three lines beyond the table
  ASSERT_NE(table.Find(Utf8ToCp1252("PÁG")), nullptr);
  EXPECT_EQ(*table.Find(Utf8ToCp1252("PÁG")), Utf8ToCp1252("página"));
  EXPECT_EQ(*table.Find("SR"), "senhor");  // the first key in file order wins
  EXPECT_EQ(table.Find("K1999"), nullptr);
  EXPECT_FALSE(LoadAbbreviations("/nonexistent/portug.abr", table));
}

// --- letter rules and stress ----------------------------------------------------

TEST(IlvraRules, LineFormat) {
  const struct {
    const char* line;
    const char* left;
    const char* centre;
    const char* right;
    const char* output;
  } cases[] = {
      {"#(A)\\%=a&b|note", "#", "A", "\\%", "a&b"},
      {"ABCDEFG(HIJKLMN)OPQRSTU=123456789012345678901234", "ABCDE", "HIJKL", "OPQRS", "12345678901234567890"},
      {"ABCDEFG", "ABCDE", "", "", ""},
      {"X(YZ", "X", "YZ", "", ""},
      {"(A)B", "", "A", "B", ""},
  };
  for (const auto& c : cases) {
    const auto rule = ParseIlvraRuleLine(c.line);
    EXPECT_EQ(rule.left, c.left) << c.line;
    EXPECT_EQ(rule.centre, c.centre) << c.line;
    EXPECT_EQ(rule.right, c.right) << c.line;
    EXPECT_EQ(rule.output, c.output) << c.line;
  }
  RuleSet rules;
  std::vector<std::string> notices;
  ParseIlvraRules(";comment\n(B)=b\nno centre\n(A)=1\nX(A)=2\n", rules, &notices);
  ASSERT_EQ(rules.lists['A'].size(), 2u);
  EXPECT_EQ(rules.lists['A'][0].output, "1");  // file order kept
  EXPECT_EQ(rules.lists['B'].size(), 1u);
  EXPECT_EQ(notices.size(), 1u);  // the rule without a centre is refused
}

TEST(IlvraRules, ExceptionsWithSuffixAndLimit) {
  RuleSet rules;
  std::vector<std::string> notices;
  std::string text = "ovo=ÓVO|note\nxis\ncasa=CAZA\n";
  for (int i = 0; i < 15010; ++i) text += "W" + std::to_string(i) + "=Y\n";
  ParseIlvraExceptions(Utf8ToCp1252(text), rules, &notices);
  EXPECT_EQ(rules.exceptions.size(), RuleSet::kMaxExceptions);
  EXPECT_EQ(notices.size(), 1u);
  EXPECT_TRUE(std::is_sorted(rules.exceptions.begin(), rules.exceptions.end(),
                             [](const auto& a, const auto& b) { return a.key < b.key; }));
  const struct {
    const char* word;
    const char* result;
  } cases[] = {{"OVO", "ÓVO"}, {"OVOS", "ÓVOS"}, {"CASAM", "CAZAM"}, {"CASASM", "CAZASM"},
               {"XIS|", ""},   {"BOLO", "BOLO"}, {"S", "S"}};
  for (const auto& c : cases) EXPECT_EQ(Cp1252ToUtf8(ApplyExceptions(c.word, rules)), c.result) << c.word;
}

TEST(IlvraStress, StateTableAndAccents) {
  const struct {
    const char* word;
    int position;
  } cases[] = {{"casa", 2},    {"rua", 2},     {"aqui", 4},    {"papel", 4},  {"homem", 2},  {"língua", 2},
               {"lingua", 2},  {"CASA", 2},    {"café", 4},    {"brr", 0},    {"", 0},       {"quatro", 3},
               {"saia", 3},    {"ruim", 3},    {"gratuito", 5}, {"averiguo", 5}, {"jovens", 4}, {"cantam", 2},
               {"parabéns", 6}, {"ônibus", 1},  {"relógio", 4}, {"qual", 3},   {"fiz", 2},    {"xyz", 0}};
  for (const auto& c : cases) EXPECT_EQ(FindStressedVowel(Utf8ToCp1252(c.word)), c.position) << c.word;
  EXPECT_TRUE(IsUnstressedWord("COM"));
  EXPECT_TRUE(IsUnstressedWord("DE"));
  EXPECT_TRUE(IsUnstressedWord(Utf8ToCp1252("NÃO")));
  EXPECT_FALSE(IsUnstressedWord("MAR"));
}

// Each context symbol, on a rule that writes "x" for the centre B.
TEST(IlvraRules, ContextSymbols) {
  const struct {
    const char* rule;
    const char* word;
    bool matches;
  } cases[] = {
      {"#(B)=x", "AB", true},      {"#(B)=x", "CB", false},     {"%(B)=x", "BA", true},
      {"%(B)=x", "AB", false},     {"](B)=x", "OB", true},      {"](B)=x", "EB", false},
      {"_(B)=x", "BA", true},      {"_(B)=x", "AB", true},      {"_(B)=x", "CB", false},
      {"|(B)=x", "NB", true},      {"|(B)=x", "LB", false},     {"A#(B)=x", "AEB", true},
      {"(B)#=x", "BA", true},      {"(B)#=x", "B", false},      {"(B)%=x", "AB", true},
      {"(B)%=x", "BA", false},     {"(B)&=x", "BM", true},      {"(B)&=x", "BT", false},
      {"(B)*=x", "BT", true},      {"(B)*=x", "BL", false},     {"(B)*T=x", "BT", true},
      {"(B)+=x", "BI", true},      {"(B)+=x", "BA", false},     {"(B)[=x", "B", true},
      {"(B)[=x", "BH", false},     {"(B)[=x", "BA", false},     {"(B)\\%=x", "BS", true},
      {"(B)\\%=x", "B", true},     {"(B)\\%=x", "BA", false},   {"(B)C=x", "BC", true},
      {"(B)C=x", "BD", false},     {"(BC)=x", "BC", true},      {"(BC)=x", "B", false},
  };
  for (const auto& c : cases) {
    RuleSet rules;
    ParseIlvraRules(c.rule, rules);
    Lines out;
    ApplyRules(c.word, 0, rules, out);
    const bool matched = std::find(out.begin(), out.end(), "x") != out.end();
    EXPECT_EQ(matched, c.matches) << c.rule << " on " << c.word;
  }
}

TEST(IlvraRules, OutputsMarksAndSplits) {
  RuleSet rules;
  ParseIlvraRules("(K)=k&s\n(H)=\n(A)=a\n(O)=o\n", rules);
  Lines out;
  ApplyRules("KAHO", 2, rules, out);
  EXPECT_EQ(out, (Lines{"k", "s", ">a", "o", ""}));  // H writes nothing, Z has no rule
  out.clear();
  ApplyRules("KZO", 2, rules, out);  // the mark goes on the first output at or after the stress
  EXPECT_EQ(out, (Lines{"k", "s", ">o", ""}));
  out.clear();
  ApplyRules("KA", 0, rules, out);
  EXPECT_EQ(out, (Lines{"k", "s", "a", ""}));
}

TEST(IlvraWords, PausesFunctionWordsAndLinking) {
  RuleSet rules;
  ParseIlvraRules("(M)=m\n(A)=a\n(R)%=r2\n(R)=r\n(Z)=z\n(U)=u\n(L)=l\n(S)%=s2\n(C)=k\n(O)=o\n(P)=p\n(I)=i\n",
                  rules);
  const Lines out = WordsToPhonemes({"555|", "565|mar", "565|azul", "542|mar", "542|com", "577|,", "555|paz",
                                     "588|is", "555| "},
                                    rules);
  const Lines expected = {";555|", "__", "",
                          ";565|mar", "m", ">a", "r", "",        // r2 joins the vowel of azul
                          ";565|azul", "a", "z", ">u", "l", "",
                          ";542|mar", "m", ">a", "r2", "",       // before a consonant it stays
                          ";542|com", "k", "o", "m", "",         // function word: no stress
                          ";577|,", "_,",
                          ";555|paz", "p", ">a", "z", "",
                          ";588|is", "i", "s2", "",
                          ";555| ", "_", "__"};
  EXPECT_EQ(out, expected);
  // A stressed first vowel still counts as a vowel: por isso.
  const Lines linked = WordsToPhonemes({"555|mar", "555|isca"}, rules);
  EXPECT_EQ(linked[3], "r");
}

// --- prosody --------------------------------------------------------------------

const char* kProsody =
    "; test voice\n[DURAÇÃO]\na = 100\ne=80\n_, = 250\n__=150\n* star comment\n"
    "[CHAVES]\nque = qw\nde=fnx\n"
    "[PROSÓDIA]\nhertz=200\ntabhertz=0,10,20,30,40,50,60,70,80,90\n|XX|..=123\n|QW|=?45\n";

TEST(IlvraProsody, SectionsAndValues) {
  ProsodyTables t;
  std::vector<std::string> messages;
  ASSERT_TRUE(ParseProsody(Utf8ToCp1252(kProsody), t, [&](const std::string& m) { messages.push_back(m); }));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(t.DurationOf("e"), 80);
  EXPECT_EQ(t.DurationOf("_,"), 250);
  EXPECT_EQ(t.DurationOf("zz"), 100);
  ASSERT_EQ(t.keys.size(), 2u);
  EXPECT_EQ(t.keys[0].word, "DE");  // sorted, upper case, code cut to 2
  EXPECT_EQ(t.keys[0].code, "FN");
  EXPECT_EQ(t.hertz, 200);
  EXPECT_EQ(t.table[9], 90);
  ASSERT_EQ(t.patterns.size(), 2u);
  EXPECT_EQ(t.patterns[0].current, "XX");
  EXPECT_EQ(t.patterns[0].next, "..");
  EXPECT_EQ(t.patterns[1].contour, "?45");
}

TEST(IlvraProsody, EveryFaultHasItsMessage) {
  const std::string good = Utf8ToCp1252(kProsody);
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    s.replace(s.find(Utf8ToCp1252(from)), Utf8ToCp1252(from).size(), Utf8ToCp1252(to));
    return s;
  };
  const struct {
    std::string text;
    bool loads;
    const char* message;
  } cases[] = {
      {replaced("[DURAÇÃO]", "[X]"), false, "Duração dos difones errada ou ausente"},
      {replaced("[CHAVES]", "[Y]"), false, "Prosódia: palavras chaves ausentes"},
      {replaced("[PROSÓDIA]", "[Z]"), false, "Prosódia: especificações ausentes"},
      {replaced("e=80", "e80"), false, "Configuração da prosódia: fonema errado: e80"},
      {replaced("e=80", "e=oito"), true, "Configuração da prosódia: fonema errado: e=oito"},
      {replaced("e=80", "e=-5"), true, "Configuração da prosódia: fonema errado: e=-5"},
      {replaced("de=fnx", "de fnx"), false, "Configuração da prosódia: chave errada: de fnx"},
      {replaced("|QW|=?45", "|QW|"), false, "Configuração da prosódia: chave errada: |QW|"},
      {replaced("hertz=200", "hertz=2x0"), false, "Configuração da prosódia: frequência errada: hertz=2x0"},
      {replaced(",80,90", ",80"), false,
       "Configuração da prosódia: tabela de frequências errada: tabhertz=0,10,20,30,40,50,60,70,80"},
      {replaced(",80,90", ",80,90,100"), false,
       "Configuração da prosódia: tabela de frequências errada: tabhertz=0,10,20,30,40,50,60,70,80,90,100"},
  };
  for (const auto& c : cases) {
    ProsodyTables t;
    std::vector<std::string> messages;
    EXPECT_EQ(ParseProsody(c.text, t, [&](const std::string& m) { messages.push_back(m); }), c.loads) << c.message;
    ASSERT_EQ(messages.size(), 1u) << c.message;
    EXPECT_EQ(Cp1252ToUtf8(messages[0]), c.message);
  }
  ProsodyTables t;
  std::vector<std::string> messages;
  EXPECT_FALSE(LoadProsody("/nonexistent/portug.pro", t, [&](const std::string& m) { messages.push_back(m); }));
  EXPECT_EQ(Cp1252ToUtf8(messages.at(0)), "Configuração da prosódia não foi achada");
}

TEST(IlvraProsody, TableLimits) {
  std::string text = "[DURAÇÃO]\n[CHAVES]\n";
  for (int i = 0; i < 1005; ++i) text += "W" + std::to_string(i) + "=XX\n";
  text += "[PROSÓDIA]\n";
  for (int i = 0; i < 302; ++i) text += "|XX|=555\n";
  ProsodyTables t;
  std::vector<std::string> notices;
  ASSERT_TRUE(ParseProsody(Utf8ToCp1252(text), t, nullptr, &notices));
  EXPECT_EQ(t.keys.size(), ProsodyTables::kMaxKeys);
  EXPECT_EQ(t.patterns.size(), ProsodyTables::kMaxPatterns);
  EXPECT_EQ(notices.size(), 7u);
}

TEST(IlvraProsody, DiphoneList) {
  DiphoneList list;
  ParseDiphoneList("; comment\n! x\n* y\n\n  a b  \nR2\t_ 12\n@-s2\nb\n", list);
  EXPECT_EQ(list.size(), 4u);
  EXPECT_TRUE(list.Has("A", "b"));
  EXPECT_TRUE(list.Has("r2", "_"));
  EXPECT_TRUE(list.Has("@", "s2"));
  EXPECT_TRUE(list.Has("b", ""));
  EXPECT_FALSE(list.Has("b", "a"));
  EXPECT_FALSE(LoadDiphoneList("/nonexistent/portug.dfn", list));
}

TEST(IlvraProsody, TokensAndContours) {
  ProsodyTables t;
  ASSERT_TRUE(ParseProsody(Utf8ToCp1252(kProsody), t, nullptr));
  EXPECT_EQ(TokenizeWithKeys("casa", t), (Lines{"[--]", "[XX]casa"}));
  EXPECT_EQ(TokenizeWithKeys(Utf8ToCp1252("Que ação. De... ok!"), t),
            (Lines{"[--]", "[QW]Que", Utf8ToCp1252("[XX]ação"), "[..].", "[--]", "[FN]De", "[.-].", "[--]",
                   "[XX]ok", "[!!]!", "[--]"}));
  const Lines contours = AssignContours({"[--]", "[QW]que", "[XX]casa", "[..].", "[--]"}, t);
  EXPECT_EQ(contours, (Lines{"555|", "545|que", "123|casa", "555|.", "555|"}));
  // "?" takes the last digit of the previous contour, 5 before the first token.
  EXPECT_EQ(AssignContours({"[QW]que"}, t), (Lines{"545|que"}));
  t.patterns.push_back({"", "XX", "", "789"});
  EXPECT_EQ(AssignContours({"[--]", "[XX]a", "[QW]que"}, t), (Lines{"555|", "789|a", "945|que"}));
}

TEST(IlvraProsody, DurationsPitchAndBridges) {
  ProsodyTables t;
  ASSERT_TRUE(ParseProsody(Utf8ToCp1252(kProsody), t, nullptr));
  DiphoneList all;
  std::vector<std::string> pairs;
  for (auto a : PhonemeNames()) {
    for (auto b : PhonemeNames()) pairs.push_back(std::string(a) + "-" + std::string(b));
  }
  all.Assign(pairs);
  const std::string dots = "\xA8";  // ends the stressed syllable's lengthening
  const Lines in = {";159|casa", "a", ">a", "e", dots + "a", "e", "", ";555|abcdefghijklm", "a", ">e", "",
                    ";555|", "_ 250", "_", "_,", "__"};
  const Lines out = PhonemesToMbrola(in, t, all, 1.0, 1.0);
  const Lines expected = {";casa",    "a 100 50 20",  // first digit at the start
                          "a 145 80 100",             // stressed: 145 %, second digit
                          "e 116",                    // still lengthened
                          "a 100",                    // "¨" ends the lengthening
                          "e 80 50 180",              // last phoneme: third digit
                          "",
                          ";abcdefghijklm", "a 80 50 100",  // 14 characters with ";": 80 % before the stress
                          "e 116 80 100", "",
                          ";",        "_ 250 50 100",  // a pause of its own length
                          "_ 100",    "_ 250", "_ 150"};
  EXPECT_EQ(out, expected);
  // Factors scale durations and pitch; a table value of 0 gives no point.
  const Lines scaled = PhonemesToMbrola({";055|ba", "b", ">a", ""}, t, all, 2.0, 0.5);
  EXPECT_EQ(scaled, (Lines{";ba", "b 50", "a 72 80 200", ""}));
  // Bridges: "y 50" when the previous phoneme pairs with y, "_ 50" otherwise
  // and always after r2 when r2-_ exists.
  DiphoneList some;
  some.Assign({"_-a", "a-y", "r2-_", "_-r2", "a-r2"});
  // Words run together: the last phoneme of a word and the first of the
  // next make a diphone of their own, bridged only when the list lacks it
  // (not a pause before every word).
  const Lines two_words = {";555|casa", "k", ">a", "z", "@", "", ";555|bela", "b", ">ee", "l", "@", ""};
  const Lines joined = PhonemesToMbrola(two_words, t, all, 1.0, 1.0);
  EXPECT_EQ(std::count_if(joined.begin(), joined.end(), [](const std::string& l) { return l[0] == '_'; }), 0);
  std::erase(pairs, "@-b");
  DiphoneList without_join;
  without_join.Assign(pairs);
  const Lines bridged_join = PhonemesToMbrola(two_words, t, without_join, 1.0, 1.0);
  const auto b = std::find_if(bridged_join.begin(), bridged_join.end(), [](const std::string& l) { return l[0] == 'b'; });
  ASSERT_NE(b, bridged_join.end());
  EXPECT_EQ(*(b - 1), "y 50");
  const Lines bridged = PhonemesToMbrola({";555|x", "a", "e", "r2", "e", "", "i"}, t, some, 1.0, 1.0);
  EXPECT_EQ(bridged, (Lines{";x", "a 100 50 100", "y 50", "e 80", "_ 50", "r2 100", "_ 50", "e 80", "", "_ 50",
                            "i 100"}));
}

// --- the whole front end --------------------------------------------------------

std::string DataDir() {
  const char* bin = std::getenv("PLACARIM_BINARY_DIR");
  return std::string(bin ? bin : ".") + "/data/ilvra/";
}

std::string AllPairsDfn() {
  std::string text;
  for (auto a : PhonemeNames()) {
    for (auto b : PhonemeNames()) text += std::string(a) + " " + std::string(b) + "\n";
  }
  return Scratch("portug.dfn", text);
}

TEST(IlvraFrontEnd, LoadReportsTheFirstFailure) {
  const std::string dir = DataDir();
  if (!std::filesystem::exists(dir + "portug.nrl")) GTEST_SKIP() << "language files not built";
  std::vector<std::string> boxes;
  FrontEnd front([&](const std::string& m) { boxes.push_back(m); });
  FrontEndFiles files{dir + "portug.nrl", dir + "portug.exc", dir + "portug.abr", dir + "portug.pro", AllPairsDfn()};
  EXPECT_EQ(front.Load(files), FrontEndError::kNone);
  EXPECT_FALSE(front.TextToMbrola("Bom dia!", 1.0, 1.0).empty());
  const struct {
    std::string FrontEndFiles::*field;
    FrontEndError error;
  } cases[] = {{&FrontEndFiles::rules, FrontEndError::kRules},
               {&FrontEndFiles::exceptions, FrontEndError::kRules},
               {&FrontEndFiles::abbreviations, FrontEndError::kAbbreviations},
               {&FrontEndFiles::prosody, FrontEndError::kProsody},
               {&FrontEndFiles::definitions, FrontEndError::kProsody}};
  for (const auto& c : cases) {
    FrontEndFiles broken = files;
    broken.*(c.field) = "/nonexistent/file";
    EXPECT_EQ(front.Load(broken), c.error);
  }
  EXPECT_EQ(boxes.size(), 1u);  // only the missing prosody file shows a message
}

// The shipped abbreviations where they read differently by their context.
TEST(IlvraFrontEnd, ShippedAbbreviations) {
  const std::string dir = DataDir();
  AbbreviationTable table;
  ASSERT_TRUE(LoadAbbreviations(dir + "portug.abr", table));
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"Seg. e Qua. ", "segunda e quarta "},  // among the weekdays
      {"1 km", "um  quilômetro"},
      {"3 km", "três  quilômetros"},
      {"1 kg.", "um  quilo."},
      {"10 min. ", "dez  minutos "},
  };
  for (const auto& c : cases) EXPECT_EQ(Normal(c.in, table), c.out) << c.in;
}

// Everyday and school words through the shipped rules and exceptions.
TEST(IlvraFrontEnd, EverydayAndSchoolWords) {
  const std::string dir = DataDir();
  if (!std::filesystem::exists(dir + "portug.nrl")) GTEST_SKIP() << "language files not built";
  RuleSet rules;
  ASSERT_TRUE(LoadIlvraRules(dir + "portug.nrl", dir + "portug.exc", rules));
  const struct {
    const char* word;
    const char* phonemes;
  } words[] = {
{"casa", "k >a z @"}, {"bola", "b >oo l @"}, {"escola", "e s k >oo l @"}, 
{"professora", "p r o f e s >o r @"}, {"caderno", "k a d >ee r2 n u"}, {"lápis", "l >a p i s2"}, 
{"borracha", "b o rr >a x @"}, {"régua", "rr >ee g w @"}, {"mochila", "m o x >i l @"}, 
{"livro", "l >i v r u"}, {"número", "n >u m e r u"}, {"conta", "k >om t @"}, 
{"soma", "s >o m @"}, {"resto", "rr >ee s t u"}, {"metade", "m e t >a dj i"}, 
{"dobro", "d >o b r u"}, {"dezena", "d e z >e n @"}, {"centena", "s em t >e n @"}, 
{"dúzia", "d >u z i @"}, {"zero", "z >ee r u"}, {"um", "um"}, 
{"dois", "d >o y s2"}, {"três", "t r >e s2"}, {"quatro", "k w >a t r u"}, 
{"cinco", "s >im k u"}, {"seis", "s >e y s2"}, {"sete", "s >ee tx i"}, 
{"oito", ">o y t u"}, {"nove", "n >oo v i"}, {"dez", "d >ee s2"}, 
{"onze", ">om z i"}, {"doze", "d >o z i"}, {"treze", "t r >e z i"}, 
{"quatorze", "k w a t >o r2 z i"}, {"quinze", "k >im z i"}, {"dezesseis", "d e z e s >e y s2"}, 
{"dezessete", "d e z e s >ee tx i"}, {"dezoito", "d e z >o y t u"}, {"dezenove", "d e z e n >oo v i"}, 
{"vinte", "v >im tx i"}, {"trinta", "t r >im t @"}, {"quarenta", "k w a r >em t @"}, 
{"cinquenta", "s im k w >em t @"}, {"sessenta", "s e s >em t @"}, {"setenta", "s e t >em t @"}, 
{"oitenta", "o y t >em t @"}, {"noventa", "n o v >em t @"}, {"cem", "s >em y"}, 
{"cento", "s >em t u"}, {"mil", "m >i w"}, {"milhão", "m i lh >am w"}, 
{"gol", "g >o w"}, {"goleiro", "g o l >e y r u"}, {"campeonato", "k am p e o n >a t u"}, 
{"chute", "x >u tx i"}, {"time", "tx >i m i"}, {"jogo", "j >o g u"}, 
{"jogador", "j o g a d >o r2"}, {"torcida", "t o r2 s >i d @"}, {"copa", "k >oo p @"}, 
{"mundo", "m >um d u"}, {"treino", "t r >e y n u"}, {"quintal", "k im t >a w"}, 
{"federal", "f e d e r >a w"}, {"tabuada", "t a b u >a d @"}, {"placar", "p l a k >a r2"}, 
{"parabéns", "p a r a b >em y s2"}, {"certo", "s >ee r2 t u"}, {"errado", "e rr >a d u"}, 
{"resposta", "rr e s p >oo s t @"}, {"pergunta", "p e r2 g >um t @"}, {"mais", "m >a y s2"}, 
{"menos", "m >e n u s2"}, {"vezes", "v >e z i s2"}, {"dividido", "dj i v i dj >i d u"}, 
{"igual", "i g w >a w"}, {"fase", "f >a z i"}, {"nível", "n >i v e w"}, 
{"tecle", "t >ee k l i"}, {"colega", "k o l >ee g @"}, {"bicicleta", "b i s i k l >ee t @"}, 
{"janela", "j @ n >ee l @"}, {"estrela", "e s t r >e l @"}, {"amarelo", "@ m a r >ee l u"}, 
{"vermelho", "v e r2 m >e lh u"}, {"azul", "a z >u w"}, {"verde", "v >e r2 dj i"}, 
{"preto", "p r >e t u"}, {"branco", "b r >am k u"}, {"roxo", "rr >o x u"}, 
{"rosa", "rr >oo z @"}, {"cor", "k >o r2"}, {"flor", "f l >o r2"}, 
{"mãe", "m >am y"}, {"pai", "p >a y"}, {"irmão", "i r2 m >am w"}, 
{"irmã", "i r2 m >am"}, {"avó", "a v >oo"}, {"avô", "a v >o"}, 
{"filho", "f >i lh u"}, {"filha", "f >i lh @"}, {"tio", "tx >i u"}, 
{"tia", "tx >i @"}, {"criança", "k r i >am s @"}, {"menino", "m e n >i n u"}, 
{"menina", "m e n >i n @"}, {"amigo", "@ m >i g u"}, {"amiga", "@ m >i g @"}, 
{"cachorro", "k a x >o rr u"}, {"gato", "g >a t u"}, {"pássaro", "p >a s a r u"}, 
{"peixe", "p >e y x i"}, {"cavalo", "k a v >a l u"}, {"vaca", "v >a k @"}, 
{"leão", "l e >am w"}, {"macaco", "m a k >a k u"}, {"girafa", "j i r >a f @"}, 
{"elefante", "e l e f >am tx i"}, {"água", ">a g w @"}, {"leite", "l >e y tx i"}, 
{"pão", "p >am w"}, {"café", "k a f >ee"}, {"arroz", "a rr >o s2"}, 
{"feijão", "f e y j >am w"}, {"carne", "k >a r2 n i"}, {"fruta", "f r >u t @"}, 
{"banana", "b @ n >am n @"}, {"maçã", "m a s >am"}, {"laranja", "l a r >am j @"}, 
{"uva", ">u v @"}, {"manhã", "m am nh >am"}, {"tarde", "t >a r2 dj i"}, 
{"noite", "n >o y tx i"}, {"dia", "dj >i @"}, {"semana", "s e m >am n @"}, 
{"mês", "m >e s2"}, {"ano", ">am n u"}, {"hoje", ">o j i"}, 
{"ontem", ">om t em y"}, {"amanhã", "@ m am nh >am"}, {"sol", "s >oo w"}, 
{"lua", "l >u @"}, {"chuva", "x >u v @"}, {"vento", "v >em t u"}, 
{"mar", "m >a r2"}, {"rio", "rr >i u"}, {"terra", "t >ee rr @"}, 
{"céu", "s >ee w"}, {"nuvem", "n >u v em y"}, {"árvore", ">a r2 v o r i"}, 
{"folha", "f >o lh @"}, {"cidade", "s i d >a dj i"}, {"rua", "rr >u @"}, 
{"praia", "p r >a y @"}, {"sala", "s >a l @"}, {"mesa", "m >e z @"}, 
{"cadeira", "k a d >e y r @"}, {"porta", "p >oo r2 t @"}, {"chave", "x >a v i"}, 
{"cama", "k >am m @"}, {"carro", "k >a rr u"}, {"ônibus", ">o n i b u s2"}, 
{"trem", "t r >em y"}, {"avião", "a v i >am w"}, {"barco", "b >a r2 k u"}, 
{"hora", ">oo r @"}, {"agora", "a g >oo r @"}, {"sempre", "s >em p r i"}, 
{"nunca", "n >um k @"}, {"muito", "m >um y t u"}, {"pouco", "p >o k u"}, 
{"grande", "g r >am dj i"}, {"pequeno", "p e k >e n u"}, {"bonito", "b o n >i t u"}, 
{"feliz", "f e l >i s2"}, {"triste", "t r >i s tx i"}, {"bom", "b >om"}, 
{"ruim", "rr u >im"}, {"quente", "k >em tx i"}, {"frio", "f r >i u"}, 
{"novo", "n >o v u"}, {"velho", "v >ee lh u"}, {"alto", ">a w t u"}, 
{"baixo", "b >a y x u"}, {"cantar", "k am t >a r2"}, {"dançar", "d am s >a r2"}, 
{"correr", "k o rr >e r2"}, {"pular", "p u l >a r2"}, {"brincar", "b r im k >a r2"}, 
{"estudar", "e s t u d >a r2"}, {"aprender", "a p r em d >e r2"}, {"escrever", "e s k r e v >e r2"}, 
{"ler", "l >e r2"}, {"contar", "k om t >a r2"}, {"somar", "s o m >a r2"}, 
{"falar", "f a l >a r2"}, {"ouvir", "o v >i r2"}, {"comer", "k o m >e r2"}, 
{"beber", "b e b >e r2"}, {"dormir", "d o r2 m >i r2"}, {"acordar", "a k o r2 d >a r2"}, 
{"ajudar", "a j u d >a r2"}, {"também", "t am b >em y"}, {"ninguém", "n im g >em y"}, 
{"você", "v o s >e"}, {"quem", "k >em y"}, {"onde", ">om dj i"}, 
{"quando", "k w >am d u"}, {"como", "k >o m u"}, {"porque", "p o r2 k >e"}, 
{"obrigado", "o b r i g >a d u"}, {"exame", "e z >am m i"}, {"próximo", "p r >oo s i m u"}, 
{"táxi", "t >a k s i"}, {"texto", "t >e s t u"}, {"exemplo", "e z >em p l u"}, 
{"caixa", "k >a y x @"}, {"xícara", "x >i k a r @"}, {"guerra", "g >ee rr @"}, 
{"quero", "k >ee r u"}, {"queijo", "k >e y j u"}, {"guitarra", "g i t >a rr @"}, 
{"linguiça", "l im g w >i s @"}, {"homem", ">o m em y"}, {"homens", ">o m em y s2"}, 
{"viagem", "v i >a j em y"}, {"viagens", "v i >a j em y s2"}, {"coração", "k o r a s >am w"}, 
{"corações", "k o r a s >om y s2"}, {"limão", "l i m >am w"}, {"limões", "l i m >om y s2"}, 
{"trabalho", "t r a b >a lh u"}, {"ilha", ">i lh @"}, {"ninho", "n >i nh u"}, 
{"sinto", "s >im t u"}, {"ponte", "p >om tx i"}, {"campo", "k >am p u"}, 
{"canto", "k >am t u"}, {"fundo", "f >um d u"}, {"exceção", "e s e s >am w"}, 
{"nascer", "n a s >e r2"}, {"crescer", "k r e s >e r2"}, {"honra", ">om rr @"}, 
{"genro", "j >em rr u"}, {"Israel", "i z rr a >ee w"}, {"pelo", "p e l u"}, {"pela", "p >e l @"},
{"ainda", "a >im d @"}, {"rainha", "rr a >i nh @"}, {"bairro", "b >a y rr u"},
{"saiu", "s a >i w"}, {"juiz", "j u >i s2"},
{"pipoca", "p i p >oo k @"}, {"objeto", "o b j >ee t u"}, {"gostosa", "g o s t >oo z @"},
{"pacote", "p a k >oo tx i"}, {"bolo", "b >o l u"}, {"cabelo", "k a b >e l u"},
{"floresta", "f l o r >ee s t @"}, {"meia", "m >e y @"}, {"ideia", "i d >ee y @"}, {"bigode", "b i g >oo dj i"}, {"martelo", "m a r2 t >ee l u"}, {"festa", "f >ee s t @"}, 
{"mesmo", "m >e z m u"}, {"desde", "d >e z dj i"},
// stress of -z, -eais/-uais and of an accent before -ão; x read s or ks
{"talvez", "t a w v >e s2"}, {"capaz", "k a p >a s2"}, {"rapaz", "rr a p >a s2"}, {"xadrez", "x a d r >e s2"}, {"veloz", "v e l >oo s2"}, {"cartaz", "k a r2 t >a s2"}, {"rapidez", "rr a p i d >e s2"}, {"reais", "rr e >a y s2"}, {"ideais", "i d e >a y s2"}, {"atuais", "a t u >a y s2"}, {"órgão", ">oo r2 g am w"}, {"órfão", ">oo r2 f am w"}, {"bênção", "b >em s am w"}, {"trouxe", "t r >o s i"}, {"trouxeram", "t r o s >e r am w"}, {"trouxer", "t r o s >e r2"}, {"auxílio", "a w s >i l i u"}, {"tóxico", "t >oo k s i k u"},
  };
  EXPECT_GE(std::size(words), 200u);
  for (const auto& w : words) {
    const Lines lines = WordsToPhonemes({"555|" + Utf8ToCp1252(w.word)}, rules);
    std::string got;
    for (size_t i = 1; i + 2 < lines.size(); ++i) {
      std::string p = lines[i];
      std::erase(p, '\xA8');
      EXPECT_TRUE(IsPhonemeName(p[0] == '>' ? p.substr(1) : p)) << w.word << ": " << p;
      got += (got.empty() ? "" : " ") + p;
    }
    EXPECT_EQ(got, w.phonemes) << w.word;
  }
}

}  // namespace
}  // namespace placarim::ilvra
