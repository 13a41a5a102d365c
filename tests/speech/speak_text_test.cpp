#include "tests/speech/speech_fixture.h"

#include "lang/cp1252.h"

namespace placarim::speech::testing {
namespace {

class SpeakTextTest : public SpeechTest {
 protected:
  void SetUp() override {
    Start();
    speech_->Text().speak_punctuation = false;  // as the game runs
  }
  Journal Say(std::string_view text) {
    journal_.clear();
    speech_->Text().SpeakText(text);
    return Heard();
  }
};

struct TextCase {
  const char* text;
  bool speak_punctuation;
  Journal heard;
};

TEST_F(SpeakTextTest, SplitsNumbersWordsAndSymbols) {
  const TextCase cases[] = {
      {"007", false, {"_zero", "_zero", "buffer:_sete"}},
      {"123456", false, {"buffer:_cento_e_vinte_e_tres_mil_e_quatroc_e_cinquen_e_seis"}},
      {"1234567", false, {"_49", "_50", "_51", "_52", "_53", "_54", "_55"}},
      {"12-34", false, {"_49", "_50", "_45", "_51", "_52"}},
      // A written sum is a sum: the numbers from recordings, the signs as words.
      {"12-5=", false, {"buffer:_doze", "voice:< menos >", "buffer:_cinco", "voice:< igual >"}},
      {"7x8=56", false, {"buffer:_sete", "voice:< vezes >", "buffer:_oito", "voice:< igual a >",
                         "buffer:_cinquen_e_seis"}},
      // What a teacher writes: the forms read out, their numbers recorded,
      // feminine before a feminine noun (but not before the times sign).
      {"R$ 3,95", false, {"buffer:_tres", "voice:< reais e >", "buffer:_noventa_e_cinco", "voice:< centavos >"}},
      {"9:15", false, {"buffer:_nove", "voice:< horas e >", "buffer:_quinze", "voice:< minutos >"}},
      {"1h, 1/2", false, {"buffer:_uma", "voice:< hora>", "delay:150", "buffer:_um", "voice:< meio >"}},
      {"2 bolas, 2x3=", false, {"buffer:_duas", "voice:< bolas>", "delay:150", "buffer:_dois", "voice:< vezes >",
                                "buffer:_tres", "voice:< igual >"}},
      {"-5", false, {"_MENOS", "buffer:_cinco"}},
      {"a - b", false, {"voice:<a >", "delay:150", "voice:< b >"}},
      {"a-b", false, {"voice:<a>", "voice:<b >"}},
      {"a--b", false, {"voice:<a>", "_45", "_45", "voice:<b >"}},
      {"www", false, {"_119", "_119", "_119"}},
      {"WwW.site", false, {"_87", "_119", "_87", "_46", "voice:<site >"}},
      {"wwww", false, {"voice:<wwww >"}},
      {"?????", false, {"_63", "_63", "_63", "_63", "click"}},
      {"a, b", true, {"voice:<a>", "_44", "delay:150", "voice:< b >"}},
      {"a, b", false, {"voice:<a>", "delay:150", "voice:< b >"}},
      {"a. b", false, {"voice:<a>", "delay:250", "voice:< b >"}},
      {"a.b", false, {"voice:<a>", "_46", "voice:<b >"}},
      {"a.b", true, {"voice:<a>", "_46", "voice:<b >"}},  // said once, not twice
      {"(a): b;", false, {"delay:200", "voice:<a>", "delay:400", "voice:< b>", "delay:200"}},
      {"http://x", false, {"voice:<http>", "_58", "_47", "_47", "voice:<x >"}},
      {"10%", false, {"buffer:_dez", "_37"}},
      {"", false, {}},
      {"   ", false, {}},
      {"\t", false, {}},
  };
  for (const TextCase& c : cases) {
    speech_->Text().speak_punctuation = c.speak_punctuation;
    EXPECT_EQ(Say(c.text), c.heard) << '"' << c.text << "\" punctuation " << c.speak_punctuation;
  }
}

// The program's own sentences end in pauses whatever the punctuation setting;
// typed text keeps naming its marks, and a dot inside a file name is a character.
TEST_F(SpeakTextTest, SentencesPauseWhereTypedTextNamesTheMarks) {
  const std::pair<const char*, Journal> sentences[] = {
      {"Gol! Gol de placa!", {"voice:<Gol>", "delay:250", "voice:< Gol de placa>", "delay:250"}},
      {"Conferindo...", {"voice:<Conferindo>", "delay:250"}},
      {"GANHOU!!!", {"voice:<GANHOU>", "delay:250"}},
      {"Quer jogar?", {"voice:<Quer jogar>", "delay:250"}},
      {"Erro!!!  Arquivo a.cnf, veja!",
       {"voice:<Erro>", "delay:250", "voice:<  Arquivo a>", "_46", "voice:<cnf>", "delay:150", "voice:< veja>",
        "delay:250"}},
      {"a?!b", {"voice:<a>", "_63", "_33", "voice:<b >"}},
  };
  for (bool named : {false, true}) {
    speech_->Text().speak_punctuation = named;
    for (const auto& [text, heard] : sentences) {
      journal_.clear();
      speech_->Text().SpeakSentence(text);
      EXPECT_EQ(Heard(), heard) << '"' << text << "\" punctuation " << named;
    }
  }
  speech_->Text().speak_punctuation = false;
  EXPECT_EQ(Say("Gol!"), (Journal{"voice:<Gol>", "_33"}));
  EXPECT_EQ(Say("a..."), (Journal{"voice:<a>", "_46", "_46", "delay:250"}));
  speech_->Text().speak_punctuation = true;
  EXPECT_EQ(Say("a..."), (Journal{"voice:<a>", "_46", "_46", "_46", "delay:250"}));
}

TEST_F(SpeakTextTest, RepeatedSymbolsCountAcrossWords) {
  // The fifth comma of the sentence clicks and makes no pause: the words in
  // between do not reset the count.
  const Journal heard = Say("a, b, c, d, e, f");
  const Journal expected = {"voice:<a>",    "delay:150", "voice:< b>", "delay:150", "voice:< c>",
                            "delay:150",    "voice:< d>", "delay:150", "voice:< e>", "click",
                            "voice:< f >"};
  EXPECT_EQ(heard, expected);
  // A different symbol resets it.
  EXPECT_EQ(Say("?\?!?\?"), (Journal{"_63", "_63", "_33", "_63", "_63"}));
}

TEST_F(SpeakTextTest, LongWordRunsReachTheVoiceInPieces) {
  const std::string text(1500, 'a');
  const Journal heard = Say(text);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0], "voice:<" + std::string(kMaxVoiceText, 'a') + ">");
  EXPECT_EQ(heard[1], "voice:<" + std::string(1500 - kMaxVoiceText, 'a') + " >");
}

TEST_F(SpeakTextTest, LettersAboveAsciiAreWords) {
  EXPECT_EQ(Say("\xE1gua 2"), (Journal{"voice:<\xE1gua >", "buffer:_dois"}));
}

TEST_F(SpeakTextTest, PendingKeyStopsTheUtterance) {
  console_.keys = {'x'};
  EXPECT_EQ(Say("um 2 tres"), Journal{});
  EXPECT_EQ(console_.keys.size(), 1u);  // the key is left for the program
  EXPECT_GE(sound_.stops, 1);

  // A key arriving during the first sound ends the rest.
  console_.keys.clear();
  sound_.key_during_sound[1] = 'k';
  EXPECT_EQ(Say("7 ? 8"), Journal{"buffer:_sete"});
  EXPECT_EQ(console_.keys.size(), 1u);
}

TEST_F(SpeakTextTest, BufferedSpeechCollectsUntilAnEmptyText) {
  speech_->Text().buffer_speech = true;
  EXPECT_EQ(Say("ola"), Journal{});
  EXPECT_EQ(Say("3"), Journal{});
  EXPECT_EQ(Say("mundo"), Journal{});
  EXPECT_EQ(speech_->Text().SpeechBuffer(), " ola3 mundo");
  EXPECT_EQ(Say(""), (Journal{"voice:< ola>", "buffer:_tres", "voice:< mundo >"}));
  EXPECT_TRUE(speech_->Text().SpeechBuffer().empty());
}

TEST_F(SpeakTextTest, WriteSpeakMirrorsOnTheConsole) {
  speech_->Text().WriteSpeak("gol");
  speech_->Text().WriteSpeakInt(-12);
  speech_->Text().WriteLnSpeak("fim");
  EXPECT_EQ(console_.output, "gol-12fim\n");
  EXPECT_EQ(Heard(), (Journal{"voice:<gol >", "_MENOS", "buffer:_doze", "voice:<fim >"}));
}

class SynthesizerTextTest : public SpeechTest {
 protected:
  void SetUp() override {
    UseSynthesizer();
    config_.values["TRADUTOR/SAPI"] = "Sim";
    config_.values["SERVFALA/TIPOSAPI"] = "5";
    Start();
    ASSERT_TRUE(speech_->Output().SynthActive());
  }
};

TEST_F(SynthesizerTextTest, WholeTextGoesToTheSynthesizerAndSoundsWaitForIt) {
  synth_.busy_polls = 3;
  speech_->Text().SpeakText("12 gols, -5");
  speech_->Sounds().PlaySoundKey("_gol");
  EXPECT_EQ(Heard(), (Journal{"synth:12 gols, -5", "_gol"}));
  EXPECT_GE(console_.wait_messages, 3);  // the recording waited for the synthesizer

  console_.keys = {'x'};
  journal_.clear();
  speech_->Text().SpeakText("skipped");
  EXPECT_EQ(journal_, Journal{});  // a pending key skips the text
}

TEST_F(SynthesizerTextTest, WithNoExternalVoiceLeftTheBuiltInVoiceSaysWhyOnceAndSpeaks) {
  synth_.can_speak = false;
  synth_.notice = "O servi\xe7o parou. Sigo com outra voz.";
  speech_->Text().SpeakText("gol 7");
  speech_->Text().SpeakText("gol");
  EXPECT_EQ(Heard(), (Journal{"voice:<O servi\xe7o parou>", "delay:250", "voice:< Sigo com outra voz>",
                              "delay:250", "voice:<gol >", "buffer:_sete", "voice:<gol >"}));
}

TEST_F(SynthesizerTextTest, StopSilencesTheSynthesizerWhenItSpeaks) {
  speech_->Output().StopSpeech();
  EXPECT_EQ(synth_.stops, 0);
  synth_.busy_polls = 5;
  speech_->Text().SpeakText("fala");
  speech_->Output().StopSpeech();
  EXPECT_EQ(synth_.stops, 1);
  EXPECT_EQ(console_.wake_ups, (std::vector<int>{kSpeechWakeUp, kSpeechWakeUp}));
}

// The speech layer folds case with the language library: ÷ is no small
// letter of × and ÿ's capital is Ÿ (not ß).
TEST(UpperCaseLatin1, FoldsAsciiAndTheUpperHalf) {
  EXPECT_EQ(lang::UpperCase("abcXYZ09"), "ABCXYZ09");
  EXPECT_EQ(lang::UpperCase("\xE1\xE7\xF5\xFF\xF7"), "\xC1\xC7\xD5\x9F\xF7");
  EXPECT_EQ(lang::UpperCase("\xB5\xDF\xC0"), "\xB5\xDF\xC0");  // below 224 stays
}

}  // namespace
}  // namespace placarim::speech::testing
