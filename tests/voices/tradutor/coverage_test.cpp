// Coverage of the voice's real data: every word of the Brazilian Portuguese
// word list is translated and synthesized into memory, and words in which a
// unit was missing (noise burst, or a name for which nothing could be
// played) are counted. Also checks the shipped rule and exception files
// load and the databases of all five speeds open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/text_encoding.h"
#include "tests/voices/tradutor/test_database.h"
#include "voices/tradutor/voice.h"

namespace placarim::tradutor {
namespace {

class CountingPlayer : public WaveBufferPlayer {
 public:
  void PlayWaveBufferWait(const std::vector<uint8_t>& image) override { bytes += image.size() - 44; }
  size_t bytes = 0;
};

std::string DifonesDir() {
  const char* bin = std::getenv("PLACARIM_BINARY_DIR");
  return std::string(bin ? bin : ".") + "/data/difones";
}

class VoiceDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(DifonesDir() + "/DIFONES3.IND")) GTEST_SKIP() << "database not built";
    const auto letters = fixture::ScratchDir("coverage-letras");
    settings.values["dirLetras"] = letters.string();
    settings.values["DIRDIFONES"] = DifonesDir();
  }
  fixture::MapSettings settings;
  CountingPlayer player;
  DiphoneVoice voice{player, settings};
};

TEST_F(VoiceDataTest, EverySpeedOpensWithTheShippedRules) {
  for (int speed = 1; speed <= 5; ++speed) {
    voice.SetDatabaseName("DIFONES" + std::to_string(speed));
    ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened) << speed;
    EXPECT_GT(voice.index().size(), 300u);
    const auto& entries = voice.index().entries();
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                               [](const auto& a, const auto& b) { return a.name < b.name; }));
  }
}

struct Reading {
  const char* word;  // UTF-8
  const char* codes;
};

// Pronunciations the shipped rules and exceptions must give: syllables,
// stress, open and closed vowels, nasals, glides, digraphs, x and s sounds.
TEST_F(VoiceDataTest, ShippedRulesReadPortuguese) {
  ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
  const Reading readings[] = {
      {"casa", "[ k/A/ z/a^]"},          {"casas", "[ k/A/ z/a^/ s]"},
      {"meninos", "[ m/e^/ n/I/ n/u/ s]"}, {"bola", "[ b/O/ l/a^]"},
      {"gol", "[ g/O^/w]"},               {"placar", "[ p/ l/a/ k/A/ rr]"},
      {"goleiro", "[ g/o^/ l/E^/y/ r/u]"}, {"chute", "[ x/U/ tch/i]"},
      {"coração", "[ k/o^/ r/a/ s/A~w]"}, {"mãe", "[ m/A~y]"},
      {"muito", "[ m/U~/y/ t/u]"},        {"também", "[ t/a/~/ b/E/~y]"},
      {"quando", "[ kw/A/~/ d/u]"},       {"aqui", "[a/ k/I]"},
      {"guerra", "[ g/E/ rr/a^]"},        {"táxi", "[ t/A/ k/ s/i]"},
      {"exame", "[e^/ z/A~/ m/i]"},       {"caixa", "[ k/A/y/ x/a^]"},
      {"rato", "[ rr/A/ t/u]"},           {"honra", "[/O/~/ rr/a^]"},
      {"papel", "[ p/a/ p/E/w]"}  ,        {"dia", "[ dj/I/ ya^]"},
      {"saída", "[ s/a/ I/ d/a^]"},       {"rainha", "[ rr/a/ I/ nh/a^]"},
      {"cantam", "[ k/A/~/ t/a/~w]"},     {"jovens", "[ j/O/ v/e/~y/ s]"},
      {"ilha", "[i/ lh/a^]"},             {"Gol!", "[ g/O^/w][ /_!]"},
  };
  for (const auto& r : readings) {
    EXPECT_EQ(voice.TranslateToDiphoneCodes(platform::Utf8ToCp1252(r.word)), r.codes) << r.word;
  }
}

// The words the game says most, as a Brazilian says them: closed and open
// e and o (a^ e^ o^ are closed, a e o open), stress (upper case), the r that
// closes a syllable (rr), voiced s before a voiced consonant (z), and the u
// of que that is only spelling.
TEST_F(VoiceDataTest, GameWordsSoundBrazilian) {
  ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
  const Reading readings[] = {
      {"gol", "[ g/O^/w]"},                       {"gols", "[ g/O^/w/ s]"},
      {"golaço", "[ g/o^/ l/A/ s/u]"},            {"campeonato", "[ k/a/~/ p/e^/ yo^/ n/A/ t/u]"},
      {"fase", "[ f/A/ z/i]"},                    {"parabéns", "[ p/a/ r/a/ b/E/~y/ s]"},
      {"errou", "[e^/ rr/O^]"},                   {"acertou", "[a/ s/e^/ rr/ t/O^]"},
      {"tente", "[ t/E/~/ tch/i]"},               {"novo", "[ n/O^/ v/u]"},
      {"nova", "[ n/O/ v/a^]"},                   {"placar", "[ p/ l/a/ k/A/ rr]"},
      {"tabuada", "[ t/a/ b/u/ wA/ d/a^]"},        {"vezes", "[ v/E^/ z/i/ s]"},
      {"mais", "[ m/A/y/ s]"},                    {"menos", "[ m/E^/ n/u/ s]"},
      {"dividido", "[ dj/i/ v/i/ dj/I/ d/u]"},    {"igual", "[i/ gw/A/w]"},
      {"escolha", "[e^/ s/ k/O^/ lh/a^]"},        {"ao", "[A/w]"},
      {"jogo", "[ j/O^/ g/u]"},                   {"jogar", "[ j/o^/ g/A/ rr]"},
      {"certo", "[ s/E/ rr/ t/u]"},               {"caro", "[ k/A/ r/u]"},
      {"mesmo", "[ m/E^/ z/ m/u]"},               {"desde", "[ d/E^/ z/ dj/i]"},
      {"festa", "[ f/E/ s/ t/a^]"},               {"parque", "[ p/A/ rr/ k/i]"},
      {"craque", "[ k/ r/A/ k/i]"},               {"sangue", "[ s/A/~/ g/i]"},
      {"porque", "[ p/o^/ rr/ k/E^]"},            {"aquele", "[a/ k/E^/ l/i]"},
      {"bairros", "[ b/A/y/ rr/u/ s]"},           {"saiu", "[ s/a/ I/w]"},
      // the game's sentences: open vowels, and the key names read as words
      {"Colegas", "[ k/o^/ l/E/ g/a^/ s]"},       {"bicicleta", "[ b/i/ s/i/ k/ l/E/ t/a^]"},
      {"dorme", "[ d/O/ rr/ m/i]"},               {"nossa", "[ n/O/ s/a^]"},
      {"posso", "[ p/O/ s/u]"},                   {"Tecle", "[ t/E/ k/ l/i]"},
      {"folha", "[ f/O^/ lh/a^]"},                {"seca", "[ s/E^/ k/a^]"},
      {"esquerdo", "[e^/ s/ k/E^/ rr/ d/u]"},     {"ESC", "[E/ s/ k/i]"},
      {"TAB", "[ t/A/ b/i]"},                     {"tres", "[ t/ r/E^/y/ s]"},
  };
  for (const auto& r : readings) {
    EXPECT_EQ(voice.TranslateToDiphoneCodes(platform::Utf8ToCp1252(r.word)), r.codes) << r.word;
  }
}

// Words a child hears in the game's sentences and in ordinary speech, grouped
// by the trait that is easy to get wrong: the number words, open and closed
// e and o, hiatus after an accented vowel, nasal diphthongs, the four sounds
// of x, and the final l that is said as w.
TEST_F(VoiceDataTest, EverydayWordsSoundBrazilian) {
  ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
  const Reading readings[] = {
      // numbers: open e and o where a Brazilian opens them, the glide of dez and três
      {"três", "[ t/ r/E^/y/ s]"},                {"sete", "[ s/E/ tch/i]"},
      {"nove", "[ n/O/ v/i]"},                    {"dez", "[ d/E/y/ s]"},
      {"onze", "[O/~/ z/i]"},                     {"doze", "[ d/O^/ z/i]"},
      {"treze", "[ t/ r/E^/ z/i]"},               {"dezesseis", "[ d/e^/ z/e^/ s/E^/y/ s]"},
      {"dezessete", "[ d/e^/ z/e^/ s/E/ tch/i]"}, {"dezoito", "[ d/e^/ z/O^/y/ t/u]"},
      {"dezenove", "[ d/e^/ z/e^/ n/O/ v/i]"},    {"vinte", "[ v/I/~/ tch/i]"},
      {"trinta", "[ t/ r/I/~/ t/a^]"},            {"cinquenta", "[ s/i/~/ kw/E/~/ t/a^]"},
      {"sessenta", "[ s/e^/ s/E/~/ t/a^]"},       {"setenta", "[ s/e^/ t/E/~/ t/a^]"},
      {"oitenta", "[o^/y/ t/E/~/ t/a^]"},         {"noventa", "[ n/o^/ v/E/~/ t/a^]"},
      {"cem", "[ s/E/~y]"},                       {"mil", "[ m/I/w]"},
      {"setecentos", "[ s/E/ tch/i/ s/E/~/ t/u/ s]"},
      {"novecentos", "[ n/O/ v/i/ s/E/~/ t/u/ s]"},
      // open and closed e and o
      {"esquece", "[e^/ s/ k/E/ s/i]"},           {"esbelto", "[e^/ z/ b/E/w/ t/u]"},
      {"porta", "[ p/O/ rr/ t/a^]"},              {"pé", "[ p/E]"},
      {"avó", "[a/ v/O]"},                        {"avô", "[a/ v/O^]"},
      {"tecla", "[ t/E/ k/ l/a^]"},               {"aperte", "[a/ p/E/ rr/ tch/i]"},
      {"melhor", "[ m/e^/ lh/O/ rr]"},            {"pior", "[ p/i/ O/ rr]"},
      {"agora", "[a/ g/O/ r/a^]"},                {"aquela", "[a/ k/E/ l/a^]"},
      {"sorte", "[ s/O/ rr/ tch/i]"},             {"olhos", "[O/ lh/u/ s]"},
      {"ideia", "[i/ d/E/y/ ya^]"},                {"joia", "[ j/O/y/ ya^]"},
      {"cheia", "[ x/E^/y/ ya^]"},                 {"têm", "[ t/E/~y]"},
      // after the stress, -io and -ia are one syllable that starts on its glide
      {"estádio", "[e^/ s/ t/A/ dj// yu]"},       {"início", "[i/ n/I/ s// yu]"},
      {"água", "[A/ gw/a^]"},                     {"história", "[/i/ s/ t/O/ r// ya^]"},
      {"família", "[ f/a~/ m/I/ l// ya^]"},       {"próprio", "[ p/ r/O/ p/ r// yu]"},
      // nasal diphthongs
      {"mãe", "[ m/A~y]"},                        {"pão", "[ p/A~w]"},
      {"põe", "[ p/O~y]"},                        {"bem", "[ b/E/~y]"},
      {"parabéns", "[ p/a/ r/a/ b/E/~y/ s]"},     {"tranquilo", "[ t/ r/a/~/ kw/I/ l/u]"},
      // x as z, s, ks and ch
      {"exemplo", "[e^/ z/E/~/ p/ l/u]"},         {"êxito", "[E^/ z/i/ t/u]"},
      {"excelente", "[e^/ s/e^/ l/E/~/ tch/i]"},  {"próximo", "[ p/ r/O/ s/i/ m/u]"},
      {"táxi", "[ t/A/ k/ s/i]"},                 {"enxada", "[e/~/ x/A/ d/a^]"},
      {"xícara", "[ x/I/ k/a/ r/a^]"},
      // final l as w; a stressed final -el or -ol is open, -vel never stressed
      {"futebol", "[ f/u/ t/e^/ b/O/w]"},         {"espanhol", "[e^/ s/ p/a~/ nh/O/w]"},
      {"Brasil", "[ b/ r/a/ z/I/w]"},             {"hotel", "[/o^/ t/E/w]"},
      {"anel", "[a~/ n/E/w]"},                    {"cruel", "[ k/ r/u/ E/w]"},
      {"possível", "[ p/o^/ s/I/ v/e^/w]"},
  };
  for (const auto& r : readings) {
    EXPECT_EQ(voice.TranslateToDiphoneCodes(platform::Utf8ToCp1252(r.word)), r.codes) << r.word;
  }
}

TEST_F(VoiceDataTest, SpeedChangesTheTempo) {
  size_t previous = SIZE_MAX;
  for (int speed = 1; speed <= 5; ++speed) {
    voice.SetDatabaseName("DIFONES" + std::to_string(speed));
    ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
    player.bytes = 0;
    voice.SpeakDiphoneCodes(voice.TranslateToDiphoneCodes("Bateu nas duas traves e entrou"));
    EXPECT_LT(player.bytes, previous) << speed;
    previous = player.bytes;
  }
}

TEST_F(VoiceDataTest, WordListIsSpokenWithoutMissingUnits) {
  std::ifstream list("/usr/share/dict/brazilian");
  if (!list) GTEST_SKIP() << "wbrazilian is not installed";
  voice.SetDatabaseName("DIFONES3");
  ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
  std::map<std::string, long> missing_names;
  std::map<std::string, std::string> examples;
  std::string current_missing;
  voice.set_name_observer([&](std::string_view name, double, int) {
    if (name[0] != '_' && !voice.index().Find(name)) current_missing = name;
  });
  // Sanitizer builds read every tenth word to stay quick.
  const char* every_env = std::getenv("PLACARIM_COVERAGE_EVERY");
  const long every = every_env ? std::max(1L, std::atol(every_env)) : 1;
  // PLACARIM_COVERAGE_LIST=1 lists every word with a missing unit.
  const bool list_all = std::getenv("PLACARIM_COVERAGE_LIST") != nullptr;
  long words = 0, faulty = 0, line_number = 0;
  std::string line, example;
  while (std::getline(list, line)) {
    if (line_number++ % every != 0 || line.empty()) continue;
    const std::string word = platform::Utf8ToCp1252(line);
    const long before = voice.counters().noise_bursts + voice.counters().names_dropped;
    current_missing.clear();
    voice.SpeakDiphoneCodes(voice.TranslateToDiphoneCodes(word));
    ++words;
    if (voice.counters().noise_bursts + voice.counters().names_dropped != before) {
      ++faulty;
      if (++missing_names[current_missing] == 1) examples[current_missing] = line;
      if (list_all) std::printf("  %s %s\n", line.c_str(), current_missing.c_str());
      if (example.empty()) example = line + " " + voice.TranslateToDiphoneCodes(word);
    }
  }
  const double covered = 100.0 * double(words - faulty) / double(std::max(words, 1L));
  std::printf("coverage: %ld words, %ld with a missing unit, %.3f %% complete\n", words, faulty, covered);
  std::vector<std::pair<long, std::string>> worst;
  for (const auto& [name, count] : missing_names) worst.emplace_back(count, name);
  std::sort(worst.rbegin(), worst.rend());
  for (size_t i = 0; i < std::min<size_t>(worst.size(), 15); ++i) {
    std::printf("  missing %-10s in %ld words, as in %s\n", worst[i].second.c_str(), worst[i].first,
                examples[worst[i].second].c_str());
  }
  if (!example.empty()) std::printf("  first: %s\n", example.c_str());
  EXPECT_GE(covered, 99.9);
}

}  // namespace
}  // namespace placarim::tradutor
