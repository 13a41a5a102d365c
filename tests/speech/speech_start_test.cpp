#include "tests/speech/speech_fixture.h"

namespace placarim::speech::testing {
namespace {

using StartTest = SpeechTest;

TEST_F(StartTest, SpeedComesFromTheArgumentOrTheConfiguration) {
  struct Case {
    int argument;
    const char* configured;  // "VELOCIDADE" of "TRADUTOR", nullptr when absent
    int speed;
    bool reads_configured;
  };
  const Case cases[] = {
      {0, nullptr, 3, true}, {0, "2", 2, true},  {0, "9", 3, true}, {0, "abc", 3, true},
      {0, "0", 3, true},     {-4, "4", 4, true}, {7, "1", 3, false}, {5, "1", 5, false},
  };
  for (const Case& c : cases) {
    config_.values.clear();
    config_.reads.clear();
    if (c.configured) config_.values["TRADUTOR/VELOCIDADE"] = c.configured;
    Start(c.argument);
    EXPECT_EQ(speech_->Output().Speed(), c.speed) << c.argument << " " << (c.configured ? c.configured : "-");
    EXPECT_EQ(config_.WasRead("TRADUTOR/VELOCIDADE"), c.reads_configured) << c.argument;
    const std::string n = std::to_string(c.speed);
    for (const char* key : {"DIFONES", "CORTEFON", "SOBRAFON", "INTERPAL", "CORTAFALA", "RAPIDINHO",
                            "PAUSAPONTO", "PAUSAVIRG", "PAUSADOISPONTOS"}) {
      EXPECT_TRUE(config_.WasRead("SINTETIZADOR/" + std::string(key) + n)) << key << n;
    }
  }
}

TEST_F(StartTest, PerSpeedSettingsReachTheVoiceAndWavePlayback) {
  config_.values["SINTETIZADOR/DIFONES3"] = "DIF3";
  config_.values["SINTETIZADOR/CORTEFON3"] = "120";
  config_.values["SINTETIZADOR/SOBRAFON3"] = "30";
  config_.values["SINTETIZADOR/INTERPAL3"] = "80";
  config_.values["SINTETIZADOR/CORTAFALA3"] = "Sim";
  config_.values["SINTETIZADOR/RAPIDINHO3"] = "s";
  config_.values["SINTETIZADOR/PAUSAPONTO3"] = "400";
  config_.values["SINTETIZADOR/PAUSAVIRG3"] = "$64";
  config_.values["SINTETIZADOR/PAUSADOISPONTOS3"] = "0x20";
  config_.values["SINTETIZADOR/DIFONES2"] = "WRONG";
  Start();
  EXPECT_EQ(voice_.DatabaseName(), "DIF3");
  EXPECT_EQ(voice_.unit_trim, 120);
  EXPECT_EQ(voice_.minimum_unit_length, 30);
  EXPECT_EQ(voice_.word_gap, 80);
  EXPECT_TRUE(sound_.condense);
  EXPECT_TRUE(sound_.speed_up);
  EXPECT_EQ(speech_->Output().FullStopPause(), 400);
  EXPECT_EQ(speech_->Output().CommaPause(), 100);
  EXPECT_EQ(speech_->Output().ColonPause(), 32);
  EXPECT_EQ(voice_.opens, 1);
}

TEST_F(StartTest, InvalidAndAbsentValuesTakeTheirRules) {
  config_.values["SINTETIZADOR/PAUSAPONTO2"] = "abc";
  config_.values["SINTETIZADOR/PAUSAVIRG2"] = "";
  config_.values["SINTETIZADOR/SOBRAFON2"] = "12ab";
  config_.values["SINTETIZADOR/INTERPAL2"] = std::string(254, '@');
  config_.values["SINTETIZADOR/CORTAFALA2"] = "Nao";
  config_.values["SINTETIZADOR/DIFONES1"] = "DIFONESXYZ";
  sound_.condense = true;
  Start(2);
  EXPECT_EQ(speech_->Output().FullStopPause(), 250);
  EXPECT_EQ(speech_->Output().CommaPause(), 150);
  EXPECT_EQ(speech_->Output().ColonPause(), 200);
  EXPECT_EQ(voice_.unit_trim, 0);  // absent: 0, not the voice's own 400
  EXPECT_EQ(voice_.minimum_unit_length, 0);
  EXPECT_EQ(voice_.word_gap, 0);
  EXPECT_FALSE(sound_.condense);
  EXPECT_EQ(voice_.DatabaseName(), "");

  config_.values["SINTETIZADOR/CORTEFON1"] = "12ab";  // the unit trim keeps its leading digits
  Start(1);
  EXPECT_EQ(voice_.DatabaseName(), "DIFONESX");
  EXPECT_EQ(voice_.unit_trim, 12);
}

TEST_F(StartTest, DirectoriesGainTheirSlashAndComeFromTheSystemFile) {
  speech_->SpeechStart(0, "sons");
  EXPECT_EQ(speech_->Sounds().ProgramSoundDirectory(), "sons/");
  EXPECT_EQ(speech_->Sounds().LettersDirectory(), root_ + "/letters/");
  EXPECT_TRUE(config_.WasRead("system:TRADUTOR/DIRLETRAS"));
  speech_->SpeechStart(0, "");
  EXPECT_EQ(speech_->Sounds().ProgramSoundDirectory(), "");
  speech_->SpeechStart(0, "c:\\jogos\\sons");
  EXPECT_EQ(speech_->Sounds().ProgramSoundDirectory(), "/jogos/sons/");

  config_.system_values.clear();
  speech_->SpeechStart(0, "");
  EXPECT_EQ(speech_->Sounds().LettersDirectory(), "/kestra/som/letras/");

  // The voice's own directories go through the same path helper.
  config_.system_values["TRADUTOR/DIRDIFONES"] = "d:\\som\\difones";
  auto& voice_settings = speech_->VoiceConfig();
  EXPECT_EQ(voice_settings.ToLocalPath(voice_settings.Read("DIRDIFONES", "")), "/som/difones");
}

TEST_F(StartTest, ExternalSynthesizerOnlyWhenConfigured) {
  UseSynthesizer();
  for (const char* sapi : {"Nao", "", "nao"}) {
    config_.values["TRADUTOR/SAPI"] = sapi;
    Start();
    EXPECT_FALSE(speech_->Output().SynthActive()) << sapi;
    EXPECT_EQ(synth_.type, -1) << sapi;
  }
  config_.values["TRADUTOR/SAPI"] = "Sim";
  config_.values["SERVFALA/VOZ"] = "2";
  config_.values["SERVFALA/VELOCIDADE"] = "150";
  config_.values["SERVFALA/TOM"] = "-3";
  config_.values["SERVFALA/TIPOSAPI"] = "5";
  Start();
  EXPECT_TRUE(speech_->Output().SynthActive());
  EXPECT_EQ(synth_.voice, 2);
  EXPECT_EQ(synth_.rate, 0);  // only the first kind takes words per minute
  EXPECT_EQ(synth_.pitch, -3);
  EXPECT_EQ(speech_->Output().SynthType(), 5);

  config_.values["SERVFALA/TIPOSAPI"] = "4";
  Start();
  EXPECT_EQ(synth_.rate, 150);

  config_.values["SERVFALA/TIPOSAPI"] = "3";
  config_.values["SERVFALA/VELOCIDADE"] = "zz";
  synth_.open_result = false;
  Start();
  EXPECT_FALSE(speech_->Output().SynthActive());
  EXPECT_EQ(speech_->Output().SynthType(), 3);  // recorded even when opening failed
  EXPECT_EQ(synth_.rate, 0);
}

TEST_F(StartTest, WithoutASynthesizerTheBuiltInVoiceSpeaks) {
  config_.values["TRADUTOR/SAPI"] = "Sim";
  Start();
  EXPECT_FALSE(speech_->Output().SynthActive());
  speech_->Text().SpeakText("ola");
  EXPECT_EQ(Heard(), Journal{"voice:<ola >"});
}

TEST_F(StartTest, VoiceFailureIsReportedAndEndsTheProgram) {
  config_.values["SINTETIZADOR/DIFONES3"] = "FALTA";
  voice_.open_result = tradutor::VoiceOpen::kRulesFailed;
  try {
    Start();
    ADD_FAILURE() << "the program went on without its voice";
  } catch (const platform::ProgramExit& exit) {
    EXPECT_EQ(exit.code, 1);
  }
  EXPECT_EQ(console_.output, "Erro de inicializa\xE7\xE3o: 2\nBanco de dados de voz: FALTA\n");
  EXPECT_EQ(voice_.closes, 1);
  EXPECT_EQ(journal_, Journal{"readline"});
}

TEST_F(StartTest, FinishSpeaksTheBufferAndClosesTheVoices) {
  UseSynthesizer();
  config_.values["TRADUTOR/SAPI"] = "Sim";
  Start();
  speech_->Text().buffer_speech = true;
  speech_->Text().SpeakText("resta");
  EXPECT_TRUE(journal_.empty());
  speech_->FinishSpeech();
  EXPECT_EQ(journal_, Journal{"synth: resta"});  // a word gains its separating space
  EXPECT_TRUE(speech_->Text().SpeechBuffer().empty());
  EXPECT_EQ(synth_.closes, 1);
  EXPECT_FALSE(speech_->Output().SynthActive());
  EXPECT_EQ(voice_.closes, 1);
  EXPECT_EQ(console_.wake_ups, std::vector<int>{kSpeechWakeUp});

  // Started again, it works as before.
  Start();
  EXPECT_TRUE(speech_->Output().SynthActive());
  EXPECT_EQ(voice_.opens, 2);
}

}  // namespace
}  // namespace placarim::speech::testing
