#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>

#include "tests/support/sound_output_base.h"
#include "tests/voices/tradutor/test_database.h"
#include "voices/tradutor/recorded_character.h"
#include "voices/tradutor/voice.h"

namespace placarim::tradutor {
namespace {

using fixture::MapSettings;
using fixture::RecordingPlayer;
using fixture::Fill;

class SynthesisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fixture::ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir / "letras");
    std::filesystem::create_directories(dir / "difones");
    settings.values["dirLetras"] = (dir / "letras").string();
    settings.values["DIRDIFONES"] = (dir / "difones").string();
    fixture::WriteFile(dir / "difones" / "regras.rgr", "(K)= k\n(A)=a\n(Z)= z\n");
    fixture::WriteFile(dir / "difones" / "portug.exc", "");
    fixture::WriteFile(dir / "letras" / "_115.wav", fixture::WaveFile(Fill(7, 50)));
    units = {
        {"$A", Fill(1, 600)},       {"$KA", Fill(2, 1000)},    {"$ZA", Fill(3, 300)},
        {"$B", Fill(4, 200)},       {"$K", Fill(5, 100)},      {"$ACIRC", Fill(6, 500)},
        {"$NN", Fill(8, 1000)},     {"$KI", Fill(9, 1000)},    {"$S", Fill(10, 400)},
        {"$AY", Fill(11, 1000)},    {"$AWTIL", Fill(12, 1000)}, {"$KACIRC", Fill(13, 1000)},
        {"RR", Fill(14, 10)},       {"$RR", Fill(15, 500)},
    };
  }

  void Open() {
    fixture::WriteDatabase(dir / "difones", "DIFONES2", units);
    ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
    voice.set_name_observer([this](std::string_view name, double x, int mode) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*s@%g/%d", int(name.size()), name.data(), x, mode);
      played.push_back(buf);
    });
    voice.set_unit_observer([this](std::string_view, double, int, size_t bytes) { unit_bytes += bytes; });
  }

  std::vector<uint8_t> Speak(std::string_view codes) {
    player.images.clear();
    played.clear();
    unit_bytes = 0;
    voice.SpeakDiphoneCodes(codes);
    return player.Samples();
  }

  std::filesystem::path dir;
  std::map<std::string, std::vector<uint8_t>> units;
  MapSettings settings;
  RecordingPlayer player;
  DiphoneVoice voice{player, settings};
  std::vector<std::string> played;
  size_t unit_bytes = 0;  // as the unit observer reports them
};

size_t CountOf(const std::vector<uint8_t>& s, uint8_t v) { return std::count(s.begin(), s.end(), v); }

TEST_F(SynthesisTest, PunctuationWordGapsAndSilenceBlocks) {
  Open();
  auto s = Speak("[ /_,]");
  EXPECT_EQ(s.size(), 4000u);
  EXPECT_EQ(CountOf(s, 128), 4000u);

  voice.SetDiphoneTuning(400, 0, 150);  // a gap of 150 bytes is written as 100
  s = Speak("[A][A]");
  EXPECT_EQ(s.size(), 600u + 100u + 600u);
  EXPECT_EQ(CountOf(s, 128), 100u);

  s = Speak("[A]");  // no gap after the last word
  EXPECT_EQ(s.size(), 600u);

  s = Speak("[A/ A][ /_.][ /_;][ /_:]");
  EXPECT_EQ(CountOf(s, 128), 100u * 3 + 8000u + 6000u + 8000u);
}

TEST_F(SynthesisTest, RecordedCharactersArePlayedByTheirCodes) {
  Open();
  auto s = Speak("[ /_s]");  // "_s" is a recorded s, never a plural
  // The recording itself between the edges that rise from and fall to silence.
  ASSERT_EQ(s.size(), 50u);
  EXPECT_EQ(std::vector<uint8_t>(s.begin() + 24, s.end() - 24), Fill(7, 2));
  EXPECT_EQ(played, std::vector<std::string>{"_115@1/1"});

  s = Speak("[ /_A]");  // _65.wav does not exist: three characters, silent
  EXPECT_TRUE(s.empty());
  EXPECT_EQ(voice.counters().noise_bursts, 0);
}

// Units are cut anywhere in their wave; where one meets silence (the start,
// a word gap, the end) the sound rises from or falls to the silence level
// instead of jumping: no step between two samples there is larger than the
// unit's distance from silence spread over the edge.
TEST_F(SynthesisTest, SoundMeetsSilenceWithoutAStep) {
  units["$A"] = Fill(250, 600);
  Open();
  voice.SetDiphoneTuning(400, 0, 300);
  for (const char* codes : {"[A]", "[A][A]", "[A][ /_,][A]"}) {
    const auto s = Speak(codes);
    ASSERT_FALSE(s.empty()) << codes;
    EXPECT_LE(std::abs(int(s.front()) - 128), 6) << codes;
    EXPECT_LE(std::abs(int(s.back()) - 128), 6) << codes;
    int largest = 0;
    for (size_t i = 1; i < s.size(); ++i) largest = std::max(largest, std::abs(int(s[i]) - int(s[i - 1])));
    EXPECT_LE(largest, (250 - 128) / 24 + 1) << codes;
    EXPECT_EQ(CountOf(s, 250), 600u * std::count(codes, codes + std::strlen(codes), 'A') - 48u *
                                   std::count(codes, codes + std::strlen(codes), 'A')) << codes;
  }
}

// A unit whose recording starts in silence (a stop's closure) right after a
// unit that ends in sound: the sound falls to silence before it, as before a
// pause, while the silence and the burst after it stay as recorded.
TEST_F(SynthesisTest, SoundFallsBeforeAUnitThatStartsInSilence) {
  units["$A"] = Fill(250, 600);
  std::vector<uint8_t> closure(10, 128);
  closure.resize(50, 120);
  units["$K"] = closure;
  Open();
  voice.SetDiphoneTuning(400, 0, 0);
  const auto s = Speak("[A/ k]");
  ASSERT_EQ(s.size(), 650u);
  int largest = 0;
  for (size_t i = 1; i < 600; ++i) largest = std::max(largest, std::abs(int(s[i]) - int(s[i - 1])));
  EXPECT_LE(largest, (250 - 128) / 24 + 1);
  EXPECT_LE(std::abs(int(s[599]) - 128), 6);
  // The end of the text falls to silence over the last 24 samples.
  EXPECT_EQ(std::vector<uint8_t>(s.begin() + 600, s.end() - 24), std::vector<uint8_t>(closure.begin(), closure.end() - 24));
}

// Each case also checks that the unit observer reports exactly what was played.
TEST_F(SynthesisTest, UnstressedUnitsAreTrimmedAndStressedKeptWhole) {
  Open();
  const struct {
    const char* codes;
    int minimum;
    size_t bytes;
  } cases[] = {
      {"[ka]", 0, 600},       // 1000 - 400
      {"[kA]", 0, 1000},      // stressed: whole
      {"[za]", 0, 0},         // shorter than the trim, minimum 0
      {"[a]", 0, 600},        // "$A" is too short a name to trim
      {"[kA/ za]", 0, 1000},  // stress mode 0 after the stressed unit
      {"[za]", 200, 200},     // kept at the minimum
      {"[za]", 2000, 300},    // never longer than the unit
  };
  for (const auto& c : cases) {
    voice.SetDiphoneTuning(400, c.minimum, 100);
    EXPECT_EQ(Speak(c.codes).size(), c.bytes) << c.codes << " minimum " << c.minimum;
    EXPECT_EQ(unit_bytes, c.bytes) << c.codes << " minimum " << c.minimum;
  }
}

struct DecomposeCase {
  std::string codes;
  std::vector<std::string> names;  // name@factor/stress mode, in order
};

TEST_F(SynthesisTest, SegmentsDecomposeIntoUnits) {
  Open();
  const DecomposeCase cases[] = {
      {"[bka]", {"$B@1/1", "$KA@1/1"}},                        // cluster: first consonant alone
      {"[kas]", {"$KA@1/1", "$S@1/1"}},                        // final consonant
      {"[kArr]", {"$KA@1/2", "$RR@1/0"}},                      // final rr
      {"[kay]", {"$KA@0.6/1", "$AY@1/1"}},                     // diphthong
      {"[ka~w]", {"$KACIRC@0.6/1", "$AWTIL@1/1"}},             // nasal diphthong
      // closed diphthong missing: split once, then "$YCIRC" (six characters) is dropped
      {"[ka^y]", {"$KACIRC@0.6/1", "$AYCIRC@1/1", "$A@0.9/1", "$YCIRC@1/1"}},
      {"[a~w]", {"$AWTIL@1/1"}},                               // three characters: 1st, 3rd, 2nd
      {"[as]", {"$A@0.7/1", "$S@1/1"}},                        // plural s
      {"[ka~]", {"$KATIL@1/1", "$KACIRC@0.9/2", "$NN@0.9/1"}}, // missing nasal: oral vowel + murmur
      {"[ki~]", {"$KITIL@1/1", "$KI@0.9/1", "$NN@0.9/1"}},
      {"[ba]", {"$BA@1/1", "$B@0.9/1", "$A@1/1"}},             // missing syllable: split
      {"[ke^]", {"$KECIRC@1/1", "$K@0.9/1", "$ECIRC@1/1"}},    // missing closed vowel: split
      {"[rr]", {"$RR@1/1"}},
      {"[dji]", {"$DJI@1/1", "$DJ@0.9/1", "$I@1/1"}},          // dj is not a cluster
  };
  for (const auto& c : cases) {
    Speak(c.codes);
    EXPECT_EQ(played, c.names) << c.codes;
  }
}

TEST_F(SynthesisTest, MissingShortNamesSoundAsNoise) {
  Open();
  voice.counters().Reset();
  const auto s = Speak("[x]");
  ASSERT_EQ(s.size(), 300u);
  for (uint8_t b : s) {
    EXPECT_GE(b, 88);
    EXPECT_LE(b, 167);
  }
  EXPECT_EQ(voice.counters().noise_bursts, 1);
}

TEST_F(SynthesisTest, LongSegmentsAreCutAtSlashes) {
  Open();
  // Nine characters, then a slash: the slash ends the segment (with a gap).
  Speak("[kakakakak/a]");
  ASSERT_FALSE(played.empty());
  EXPECT_EQ(played.back(), "$A@1/1");
}

TEST_F(SynthesisTest, FullBuffersArePlayedInPieces) {
  units["$KA"] = Fill(2, 30000);
  Open();
  const auto s = Speak("[kA][kA][kA]");
  EXPECT_EQ(s.size(), 90000u + 200u);
  ASSERT_EQ(player.images.size(), 2u);
  for (const auto& image : player.images) {
    ASSERT_LT(image.size(), 64000u);
    const uint32_t data = image[40] | image[41] << 8 | image[42] << 16 | image[43] << 24;
    const uint32_t riff = image[4] | image[5] << 8 | image[6] << 16 | image[7] << 24;
    EXPECT_EQ(data, image.size() - 44);
    EXPECT_EQ(riff, data + 36);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "RIFF");
    EXPECT_EQ(image[22], 1);     // mono
    EXPECT_EQ(image[34], 8);     // 8 bits
  }
}

// A key during a long text: the piece playing is the last one built.
TEST_F(SynthesisTest, SilenceStopsTheWorkAtTheNextPiece) {
  units["$KA"] = Fill(2, 30000);
  Open();
  std::string codes;
  for (int i = 0; i < 20; ++i) codes += "[kA]";
  for (size_t after : {1u, 2u}) {
    player.silence_after = after;
    Speak(codes);
    EXPECT_EQ(player.images.size(), after);
    // Each piece holds two units; the third was started before the flush.
    EXPECT_LE(played.size(), 2 * after + 1) << after;
  }
  player.silence_after = 0;
  Speak(codes);
  EXPECT_EQ(played.size(), 20u) << "a new utterance starts afresh";
}

// The main loop as the voice waits on it: a key becomes pending once the
// voice has waited `key_after_waits` times (never when negative).
class KeyAfterWaits final : public sound::MainLoop {
 public:
  int key_after_waits = -1;
  int waits = 0;
  bool KeyPressed() override { return key_after_waits >= 0 && waits >= key_after_waits; }
  void WaitMessage() override { ++waits; }
  void PumpAllMessages() override {}
  void Delay(uint16_t) override {}
  void PostWakeUp(int) override {}
  int64_t NowMs() override { return waits; }
  void Beep() override {}
  void SetAudioBlockDoneHandler(std::function<void(int)>) override {}
  void ReportAudioError(std::string_view) override {}
  void ShowNotice(std::string_view) override {}
};

// Each image plays while the voice polls three times.
class ImageSound final : public placarim::testing::SoundOutputBase {
 public:
  int PlayMemory(const std::vector<uint8_t>& image) override {
    images.push_back(image);
    polls_left = 3;
    return 0;
  }
  bool IsPlaying() override { return polls_left-- > 0; }
  std::vector<std::vector<uint8_t>> images;
  int polls_left = 0;
};

// Built over the ports, the voice plays the same buffers as through a
// recorder and waits for each; a key stops the sound playing and the rest of
// the utterance, and stays pending.
TEST_F(SynthesisTest, OverThePortsAKeyStopsTheSoundAndTheRestOfTheText) {
  units["$KA"] = Fill(2, 30000);
  Open();
  std::string codes;
  for (int i = 0; i < 20; ++i) codes += "[kA]";
  const std::vector<uint8_t> recorded = Speak(codes);
  const size_t buffers = player.images.size();
  ASSERT_GT(buffers, 3u);

  struct Case {
    int key_after_waits;
    size_t images;
    int stops;
  };
  for (const Case& c : std::vector<Case>{{-1, buffers, 0}, {0, 0, 0}, {1, 1, 1}, {4, 2, 1}, {7, 3, 1}}) {
    KeyAfterWaits loop;
    loop.key_after_waits = c.key_after_waits;
    ImageSound sound;
    DiphoneVoice ports_voice(sound, loop, settings);
    ASSERT_EQ(ports_voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
    ports_voice.SpeakDiphoneCodes(codes);
    EXPECT_EQ(sound.images.size(), c.images) << c.key_after_waits;
    EXPECT_EQ(sound.stops, c.stops) << c.key_after_waits;
    EXPECT_EQ(loop.KeyPressed(), c.key_after_waits >= 0) << "the key stays for its reader";
    if (c.key_after_waits < 0) {
      std::vector<uint8_t> heard;
      for (const auto& image : sound.images) heard.insert(heard.end(), image.begin() + 44, image.end());
      EXPECT_EQ(heard, recorded);
      EXPECT_EQ(loop.waits, static_cast<int>(3 * buffers)) << "each buffer is waited for to its end";
    }
  }
}

TEST_F(SynthesisTest, OpenReportsWhatFailed) {
  fixture::WriteDatabase(dir / "difones", "DIFONES2", units);
  fixture::WriteDatabase(dir / "difones", "DIFONES4", units);
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);

  voice.SetDatabaseName("DIFONES4XYZ");  // cut to 8 characters
  EXPECT_EQ(voice.DatabaseName(), "DIFONES4");
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
  EXPECT_EQ(voice.LettersDirectory(), (dir / "letras").string() + "/");

  voice.SetDatabaseName("NADA");
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kDatabaseFailed);
  EXPECT_FALSE(voice.is_open());
  voice.SetDatabaseName("DIFONES2");

  std::filesystem::remove(dir / "difones" / "DIFONES2.DIF");
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kDatabaseFailed);
  fixture::WriteDatabase(dir / "difones", "DIFONES2", units);

  std::filesystem::remove(dir / "difones" / "portug.exc");
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kRulesFailed);
  fixture::WriteFile(dir / "difones" / "portug.exc", "");
  std::filesystem::remove(dir / "difones" / "regras.rgr");
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kRulesFailed);
  fixture::WriteFile(dir / "difones" / "regras.rgr", "");

  settings.values["dirLetras"] = (dir / "nada").string();
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kDatabaseFailed);
  settings.values.erase("dirLetras");  // default directory does not exist here
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kDatabaseFailed);
  settings.values["dirLetras"] = (dir / "letras").string();
  settings.values["DIRDIFONES"] = "/nada/difones";
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kDatabaseFailed);

  // Directories written the Windows way.
  std::string windows = (dir / "difones").string() + "\\";
  std::replace(windows.begin(), windows.end(), '/', '\\');
  settings.values["DIRDIFONES"] = windows;
  EXPECT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
  EXPECT_EQ(voice.DiphoneDirectory(), (dir / "difones").string() + "/");

  voice.CloseDiphoneVoice();
  EXPECT_TRUE(Speak("[kA]").empty());  // a closed voice is silent
}

TEST_F(SynthesisTest, BrokenIndexesPlayOnlyWhatIsThere) {
  fixture::WriteDatabase(dir / "difones", "DIFONES2", {});
  std::string index;
  index += DiphoneIndex::Encode({"$A", 100, 0});        // in the data file
  index += DiphoneIndex::Encode({"$E", 100, 150});      // runs past the end
  index += DiphoneIndex::Encode({"$I", 100, 999999});   // beyond the end
  std::string long_name = DiphoneIndex::Encode({"$O", 10, 0});
  long_name[0] = char(200);                              // name length above 8
  index += long_name;
  index += "tail";                                       // partial record
  fixture::WriteFile(dir / "difones" / "DIFONES2.IND", index);
  fixture::WriteFile(dir / "difones" / "DIFONES2.DIF", std::string(200, 'x'));
  ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);
  EXPECT_EQ(voice.index().size(), 4u);
  EXPECT_EQ(Speak("[a]").size(), 100u);
  EXPECT_EQ(Speak("[e]").size(), 50u);
  EXPECT_EQ(Speak("[i]").size(), 0u);
  EXPECT_EQ(voice.index().entries()[3].name.size(), 8u);

  fixture::WriteFile(dir / "difones" / "DIFONES2.IND", "");
  ASSERT_EQ(voice.OpenDiphoneVoice(), VoiceOpen::kOpened);  // an empty index: every unit is missing
  EXPECT_EQ(Speak("[a]").size(), 300u);
}

TEST(RecordedCharacter, FindsTheDataChunk) {
  const auto dir = fixture::ScratchDir("recorded");
  struct Case {
    std::string name, bytes;
    std::optional<size_t> size;
  };
  std::string lower = fixture::WaveFile(Fill(1, 20));
  lower.replace(0, 4, "riff");
  std::string no_fmt = fixture::WaveFile(Fill(1, 20));
  no_fmt.replace(12, 4, "junk");
  std::string truncated = fixture::WaveFile(Fill(1, 20));
  truncated.resize(truncated.size() - 5);
  std::string big = fixture::WaveFile(Fill(1, 70000));  // size taken as 16 bits: 70000 - 65536
  const Case cases[] = {
      {"plain", fixture::WaveFile(Fill(1, 20)), 20},
      {"lower", lower, 20},
      {"list", fixture::WaveFile(Fill(1, 20), "LIST" + fixture::Le32(4) + "abcd"), 20},
      {"nofmt", no_fmt, std::nullopt},
      {"truncated", truncated, 15},
      {"nodata", fixture::WaveFile({}).substr(0, 36), std::nullopt},
      {"big", big, 70000 - 65536},
      {"empty", "", std::nullopt},
  };
  for (const auto& c : cases) {
    fixture::WriteFile(dir / c.name, c.bytes);
    const auto samples = ReadRecordedCharacter((dir / c.name).string());
    ASSERT_EQ(samples.has_value(), c.size.has_value()) << c.name;
    if (samples) {
      EXPECT_EQ(samples->size(), *c.size) << c.name;
    }
  }
  EXPECT_FALSE(ReadRecordedCharacter((dir / "missing").string()));
}

}  // namespace
}  // namespace placarim::tradutor
