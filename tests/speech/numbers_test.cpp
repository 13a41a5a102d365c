#include "tests/speech/speech_fixture.h"

namespace placarim::speech::testing {
namespace {

class NumbersTest : public SpeechTest {
 protected:
  void SetUp() override {
    Start();
    for (const char* key : {"_hora", "_horas", "_minuto", "_minutos", "_primeir", "_de", "_Sexta", "_Marco"}) {
      WriteWord(key);
    }
  }
  Journal Say(std::string_view text) {
    journal_.clear();
    speech_->Text().SpeakText(text);
    return Heard();
  }
};

TEST_F(NumbersTest, NumbersAreOneBufferOfRecordedWords) {
  const std::pair<const char*, const char*> cases[] = {
      {"17", "buffer:_dezeset"},
      {"16", "buffer:_dezesse"},
      {"1000", "buffer:_mil"},
      {"2000", "buffer:_dois_mil"},
      {"1001", "buffer:_mil_e_um"},
      {"1234", "buffer:_mil_e_duzento_e_trinta_e_quatro"},
      {"115", "buffer:_cento_e_quinze"},
      {"999999", "buffer:_novecen_e_noventa_e_nove_mil_e_novecen_e_noventa_e_nove"},
  };
  for (const auto& [text, heard] : cases) EXPECT_EQ(Say(text), Journal{heard}) << text;

  for (const auto& [n, heard] : std::vector<std::pair<uint64_t, const char*>>{
           {1000000, "buffer:_um_milhao"}, {2000000, "buffer:_dois_milhoes"}, {2000000000000, "buffer:_dois_trilhoe"}}) {
    journal_.clear();
    speech_->Sounds().SpeakNumberWords(NumberToWords(n), false);
    EXPECT_EQ(Heard(), Journal{heard}) << n;
  }
}

TEST_F(NumbersTest, TheTime) {
  struct Case {
    int hour, minute;
    Journal heard;
  };
  const Case cases[] = {
      {0, 0, {"buffer:_zero", "_hora"}},
      {1, 1, {"buffer:_uma", "_hora", "buffer:_um", "_minuto"}},
      {21, 30, {"buffer:_vinte_e_uma", "_horas", "buffer:_trinta", "_minutos"}},
      {2, 0, {"buffer:_duas", "_horas"}},
      {12, 2, {"buffer:_doze", "_horas", "buffer:_dois", "_minutos"}},
  };
  for (const Case& c : cases) {
    journal_.clear();
    console_.hour = c.hour;
    console_.minute = c.minute;
    speech_->Sounds().SpeakTime();
    EXPECT_EQ(Heard(), c.heard) << c.hour << ":" << c.minute;
  }
}

TEST_F(NumbersTest, TheDate) {
  struct Case {
    int year, month, day;
    Journal heard;
  };
  const Case cases[] = {
      {2024, 3, 15, {"_Sexta", "buffer:_quinze", "_de", "_Marco", "_de", "buffer:_dois_mil", "_e", "buffer:_vinte_e_quatro"}},
      {2000, 3, 1, {"_Quarta", "_primeir", "_de", "_Marco", "_de", "buffer:_dois_mil"}},
      {1999, 9, 2, {"_Quinta", "buffer:_dois", "_de", "_Setembr", "_de", "buffer:_noventa_e_nove"}},
      {2010, 9, 21, {"_Terca", "buffer:_vinte_e_um", "_de", "_Setembr", "_de", "buffer:_dois_mil", "_e", "buffer:_dez"}},
      {2150, 1, 1, {"_Quinta", "_primeir", "_de", "_Janeiro", "_de", "buffer:_dois_mil_e_cento_e_cinquen"}},
  };
  for (const Case& c : cases) {
    journal_.clear();
    console_.year = c.year;
    console_.month = c.month;
    console_.day = c.day;
    speech_->Sounds().SpeakDate();
    EXPECT_EQ(Heard(), c.heard) << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST_F(NumbersTest, BufferIsPlayedWhenTheNextWordWouldOverflowIt) {
  WriteWave("letters/_dois.wav", std::string(20000, 'd'));
  WriteWave("letters/_mil.wav", std::string(9000, 'm'));
  WriteWave("letters/_e.wav", std::string(1000, 'e'));
  WriteWave("letters/_um.wav", std::string(1, 'u'));
  // dois mil e um: 20000 + 9000 + 1000 fill the buffer exactly; "um" starts the next.
  EXPECT_EQ(Say("2001"), (Journal{"buffer:[d*20000][m*9000][e*1000]", "buffer:u"}));
}

TEST_F(NumbersTest, WordLongerThanTheBufferIsPlayedInPieces) {
  std::string long_word;
  for (int i = 0; i < 70000; ++i) long_word += static_cast<char>('a' + i % 26);
  WriteWave("letters/_cinco.wav", long_word);
  WriteWave("letters/_um.wav", "u");
  const Journal heard = Say("5");
  ASSERT_EQ(heard.size(), 3u);
  EXPECT_EQ(heard[0], "buffer:" + long_word.substr(0, 30000));
  EXPECT_EQ(heard[1], "buffer:" + long_word.substr(30000, 30000));
  EXPECT_EQ(heard[2], "buffer:" + long_word.substr(60000));
  EXPECT_EQ(Say("1"), Journal{"buffer:u"});
}

TEST_F(NumbersTest, WordFilesThatAreNotRecordingsAreSkipped) {
  std::ofstream(root_ + "/letters/_vinte.wav") << "not a wave file at all, just some text to be skipped";
  std::ofstream(root_ + "/letters/_e.wav") << "RIFF";  // too short
  std::filesystem::remove(root_ + "/letters/_um.wav");
  std::filesystem::create_directory(root_ + "/letters/_um.wav");  // a folder named like a recording
  std::filesystem::rename(root_ + "/letters/_tres.wav", root_ + "/letters/_TRES.WAV");
  EXPECT_EQ(Say("21"), Journal{});
  EXPECT_EQ(Say("23"), Journal{"buffer:_tres"});  // found despite its letter case
}

TEST_F(NumbersTest, KeyPressSilencesTheRestOfTheNumber) {
  WriteWave("letters/_dois.wav", std::string(29998, 'd'));
  sound_.key_during_sound[1] = 'x';
  EXPECT_EQ(Say("2001"), Journal{"buffer:[d*29998]"});
  EXPECT_EQ(console_.keys.size(), 1u);
}

}  // namespace
}  // namespace placarim::speech::testing
