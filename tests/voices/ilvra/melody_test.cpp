// Melody of the shipped prosody, checked on the engine lines of generated
// sentences: statements end lower than they start, yes/no questions higher;
// a question that opens with a question word, or ends on one, falls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "voices/ilvra/front_end.h"
#include "voices/ilvra/phoneme_set.h"
#include "platform/text_encoding.h"

namespace placarim::ilvra {
namespace {

// The pitch points (Hz) of engine lines, in order.
std::vector<int> PitchPoints(const std::vector<std::string>& lines) {
  std::vector<int> points;
  for (const auto& line : lines) {
    if (line.empty() || line[0] == ';') continue;
    std::istringstream fields(line);
    std::string name;
    int ms = 0, position = 0, hz = 0;
    fields >> name >> ms;
    while (fields >> position >> hz) points.push_back(hz);
  }
  return points;
}

class IlvraMelody : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("PLACARIM_BINARY_DIR");
    const std::string dir = std::string(bin ? bin : ".") + "/data/ilvra/";
    if (!std::filesystem::exists(dir + "portug.pro")) GTEST_SKIP() << "language files not built";
    const char* etc = std::getenv("PLACARIM_SYSCONFDIR");
    const auto scratch = std::filesystem::path(etc ? etc : "/tmp") / "melody";
    std::filesystem::create_directories(scratch);
    const std::string dfn = (scratch / "portug.dfn").string();
    std::ofstream out(dfn);
    for (auto a : PhonemeNames()) {
      for (auto b : PhonemeNames()) out << a << ' ' << b << '\n';
    }
    out.close();
    ASSERT_EQ(front.Load({dir + "portug.nrl", dir + "portug.exc", dir + "portug.abr", dir + "portug.pro", dfn}),
              FrontEndError::kNone);
  }

  // Sentences of a subject, a verb and an object, drawn with a fixed seed.
  std::vector<std::string> Sentences(char mark, unsigned seed) {
    const char* subjects[] = {"O menino", "A professora", "Meu amigo", "O goleiro", "A menina", "O time",
                              "Você", "Ela", "Nosso time", "A vizinha", "O juiz", "Seu irmão"};
    const char* verbs[] = {"chutou", "comprou", "viu", "quer", "encontrou", "levou", "ganhou", "pegou",
                           "esqueceu", "trouxe"};
    const char* objects[] = {"a bola", "um presente", "o livro", "a camisa nova", "o caderno azul",
                             "um gol bonito", "a tabuada inteira", "três laranjas", "o placar", "a taça",
                             "doze figurinhas", "o apito"};
    std::mt19937 random(seed);
    std::vector<std::string> out;
    for (int i = 0; i < 200; ++i) {
      out.push_back(platform::Utf8ToCp1252(std::string(subjects[random() % 12]) + " " + verbs[random() % 10] +
                                           " " + objects[random() % 12] + mark));
    }
    return out;
  }

  FrontEnd front{nullptr};
};

TEST_F(IlvraMelody, StatementsFallAndQuestionsRise) {
  int falling = 0, rising = 0;
  for (const auto& s : Sentences('.', 7)) {
    const auto points = PitchPoints(front.TextToMbrola(s, 1.0, 1.0));
    ASSERT_GE(points.size(), 2u) << s;
    falling += points.back() < points.front();
  }
  for (const auto& s : Sentences('?', 8)) {
    const auto points = PitchPoints(front.TextToMbrola(s, 1.0, 1.0));
    ASSERT_GE(points.size(), 2u) << s;
    rising += points.back() > points.front();
  }
  std::printf("statements ending lower: %d of 200; yes/no questions ending higher: %d of 200\n", falling, rising);
  EXPECT_EQ(falling, 200);
  EXPECT_EQ(rising, 200);
  for (const char* text : {"Onde?", "Como?", "E quanto?"}) {
    const auto points = PitchPoints(front.TextToMbrola(platform::Utf8ToCp1252(text), 1.0, 1.0));
    EXPECT_LT(points.back(), points.front()) << text;
  }
  // Questions opening with a question word fall, at the start of the text or
  // after another sentence.
  int wh_falling = 0, wh_total = 0;
  for (const char* opener : {"Onde", "Quem", "Quando", "Como", "Por que", "Qual", "Quanto", "O que", "De onde"}) {
    for (const char* body : {"o menino chutou a bola", "a professora viu no placar", "o time ganhou",
                             "você trouxe hoje"}) {
      for (const char* before : {"", "Muito bem. "}) {
        const std::string text = std::string(before) + opener + " " + body + "?";
        const auto points = PitchPoints(front.TextToMbrola(platform::Utf8ToCp1252(text), 1.0, 1.0));
        ASSERT_GE(points.size(), 2u) << text;
        ++wh_total;
        wh_falling += points.back() < points.front();
        EXPECT_LT(points.back(), points.front()) << text;
      }
    }
  }
  std::printf("questions opening with a question word ending lower: %d of %d\n", wh_falling, wh_total);
  EXPECT_EQ(wh_falling, wh_total);
  // Commas hold the pitch up: the word before a comma ends above the base.
  const auto comma = PitchPoints(front.TextToMbrola(platform::Utf8ToCp1252("Bola, gol."), 1.0, 1.0));
  EXPECT_GT(*std::max_element(comma.begin(), comma.end()), front.prosody().hertz);
}

}  // namespace
}  // namespace placarim::ilvra
