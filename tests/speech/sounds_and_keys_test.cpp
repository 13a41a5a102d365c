#include "tests/speech/speech_fixture.h"

namespace placarim::speech::testing {
namespace {

class SoundsTest : public SpeechTest {
 protected:
  void SetUp() override { Start(); }
};

TEST_F(SoundsTest, SoundKeysChooseTheirDirectoryAndIgnoreLetterCase) {
  WriteWave("sons/plinic.wav", "x");
  WriteWave("letters/_DEL.WAV", "x");
  EXPECT_TRUE(speech_->Sounds().SoundKeyExists("PLINIC"));
  EXPECT_TRUE(speech_->Sounds().SoundKeyExists("_del"));
  EXPECT_FALSE(speech_->Sounds().SoundKeyExists("PLGOL"));
  EXPECT_FALSE(speech_->Sounds().SoundKeyExists("_PLINIC"));  // "_" keys live in the letters directory
  EXPECT_FALSE(speech_->Sounds().SoundKeyExists(""));
  speech_->Sounds().PlaySoundKey("PLINIC");
  speech_->Sounds().PlaySoundKey("_del");
  speech_->Sounds().PlaySoundKey("PLGOL");  // missing: wave playback stays silent
  EXPECT_EQ(journal_, (Journal{"file:sons/plinic.wav", "file:letters/_DEL.WAV", "file:sons/PLGOL.wav"}));
}

TEST_F(SoundsTest, EmptyProgramDirectoryMeansTheCurrentDirectory) {
  speech_->SpeechStart(0, "");
  speech_->Sounds().PlaySoundKey("PLINIC");
  EXPECT_EQ(journal_, Journal{"file:PLINIC.wav"});
}

TEST_F(SoundsTest, CharactersComeFromTheVoicesLettersDirectory) {
  voice_.letters_directory = root_ + "/sons/";
  speech_->Sounds().SpeakChar('A');
  speech_->Sounds().SpeakChar(0xE7);
  speech_->Sounds().SpellText("b1");
  EXPECT_EQ(journal_, (Journal{"file:sons/_65.wav", "file:sons/_231.wav", "file:sons/_98.wav",
                               "file:sons/_49.wav"}));
}

TEST_F(SoundsTest, SpellingStopsAtAPendingKey) {
  sound_.key_during_sound[2] = 'x';
  speech_->Sounds().SpellText("abcd");
  EXPECT_EQ(Heard(), (Journal{"_97", "_98"}));
}

TEST_F(SoundsTest, BeepDiscardsPendingKeysAndClickRestoresCondensing) {
  console_.keys = {'a', 0, 72};
  speech_->Sounds().PlayBeep();
  EXPECT_TRUE(console_.keys.empty());
  sound_.condense = true;
  speech_->Sounds().PlayClick();
  EXPECT_TRUE(sound_.condense);
  EXPECT_EQ(journal_, (Journal{"beep", "click"}));
}

TEST_F(SoundsTest, ClickIsSilentWhileAKeyIsPending) {
  console_.keys = {'a'};
  speech_->Sounds().PlayClick();
  EXPECT_TRUE(journal_.empty());
  EXPECT_EQ(console_.keys.size(), 1u);
}

TEST_F(SoundsTest, PausesSleepInStepsUnlessAKeyIsPending) {
  speech_->Output().SpeechPause(260);
  speech_->Output().SpeechPause(-50);
  EXPECT_EQ(journal_, Journal{"delay:250"});
  console_.keys = {'a'};
  journal_.clear();
  speech_->Output().SpeechPause(1000);
  EXPECT_TRUE(journal_.empty());
}

TEST_F(SoundsTest, IsSpeakingStopsOutputWhenAKeyIsPending) {
  EXPECT_FALSE(speech_->Output().IsSpeaking());
  EXPECT_EQ(sound_.stops, 0);
  console_.keys = {'a'};
  EXPECT_FALSE(speech_->Output().IsSpeaking());
  EXPECT_EQ(sound_.stops, 1);
  EXPECT_EQ(console_.wake_ups, std::vector<int>{kSpeechWakeUp});
  EXPECT_EQ(console_.keys.size(), 1u);
}

struct KeyCase {
  std::vector<uint8_t> keys;
  uint8_t c, ext;
  Journal heard;
  std::string echoed;
};

TEST_F(SoundsTest, ReadKeySpeakEchoesPrintableKeys) {
  const KeyCase cases[] = {
      {{'a'}, 'a', ' ', {"_97"}, "a"},
      {{0xE9}, 0xE9, ' ', {"_233"}, "\xE9"},
      {{13}, 13, ' ', {}, ""},
      {{0, 72}, 0, 72, {}, ""},
      {{0, 17, '@'}, '@', 17, {"_64"}, "@"},  // AltGr
      {{222}, 222, ' ', {}, ""},              // focus gained
      {{223}, 223, ' ', {}, ""},              // focus lost
  };
  for (const KeyCase& c : cases) {
    journal_.clear();
    console_.output.clear();
    console_.keys.assign(c.keys.begin(), c.keys.end());
    uint8_t code = 1, ext = 1;
    speech_->Keys().ReadKeySpeak(code, ext);
    EXPECT_EQ(code, c.c) << int(c.keys[0]);
    EXPECT_EQ(ext, c.ext) << int(c.keys[0]);
    EXPECT_EQ(Heard(), c.heard) << int(c.keys[0]);
    EXPECT_EQ(console_.output, c.echoed) << int(c.keys[0]);
    EXPECT_TRUE(console_.keys.empty());
  }
}

TEST_F(SoundsTest, ReadKeySpeakSaysTheTimeForF8AndReadsOn) {
  console_.hour = 2;
  console_.minute = 0;
  console_.typed = {0, 66, 'z'};
  uint8_t code = 0, ext = 0;
  speech_->Keys().ReadKeySpeak(code, ext);
  EXPECT_EQ(code, 'z');
  EXPECT_EQ(Heard(), (Journal{"buffer:_duas", "_horas", "_122"}));
}

TEST_F(SoundsTest, ReadCharSpeakSpeaksTheBufferThenTheKey) {
  speech_->Text().buffer_speech = true;
  speech_->Text().SpeakText("oi");
  console_.typed = {'q', 0, 59};
  EXPECT_EQ(speech_->Keys().ReadCharSpeak(), 'q');
  EXPECT_EQ(speech_->Keys().ReadCharSpeak(), 0);
  EXPECT_EQ(console_.typed.size(), 1u);  // the extended code is left to read
  EXPECT_EQ(Heard(), (Journal{"voice:< oi >", "_113", "_0"}));
}

}  // namespace
}  // namespace placarim::speech::testing
