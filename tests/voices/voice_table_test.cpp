// The table of voices: which driver each configured type reaches, and what
// the speech layer learns from its flags.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "voices/voice.h"

namespace placarim::voices {
namespace {

TEST(VoiceTableTest, EachTypeReachesItsDriver) {
  const std::string service = PLACARIM_WITH_SPEECHD ? "speech-dispatcher" : "espeak-ng";
  const struct {
    int type;
    std::string name;
  } cases[] = {
      {kVoiceIlvra, "Ilvra"},   {kVoiceEngine, "espeak-ng"}, {kVoiceService, service}, {kVoiceServiceAlt, service},
      {kVoiceBuiltIn, "built-in diphone voice"},
      // Types no driver claims fall to the in-process engine.
      {0, "espeak-ng"},         {1, "espeak-ng"},            {6, "espeak-ng"},         {-5, "espeak-ng"},
  };
  for (const auto& c : cases) EXPECT_EQ(FindVoiceDriver(c.type).name, c.name) << "type " << c.type;
}

TEST(VoiceTableTest, FlagsTellTheSpeechLayerHowToTreatEachVoice) {
  std::set<int> types;
  for (const VoiceDriver& driver : VoiceDrivers()) {
    EXPECT_TRUE(types.insert(driver.type).second) << "type " << driver.type << " twice";
    const bool built_in = driver.type == kVoiceBuiltIn;
    // Only the built-in voice waits until heard and leaves numbers to the layer.
    EXPECT_EQ(driver.flags.blocks_until_heard, built_in) << driver.name;
    EXPECT_EQ(driver.flags.reads_numbers_itself, !built_in) << driver.name;
    // The program makes the built-in voice itself; the table makes the others.
    EXPECT_EQ(driver.make == nullptr, built_in) << driver.name;
    EXPECT_EQ(driver.flags.may_be_substituted, driver.name == "speech-dispatcher") << driver.name;
    EXPECT_EQ(driver.flags.stop_when_quiet, driver.type == kVoiceIlvra) << driver.name;
  }
}

}  // namespace
}  // namespace placarim::voices
