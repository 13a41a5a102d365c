// The Ilvra voice's pipeline and binding: the calls it makes on an engine
// (a stand-in that journals them, and ours), the wave images and files it
// makes, and every way opening can fail.
#include "voices/ilvra/ilvra_voice.h"

#include "tests/support/sound_output_base.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace placarim::ilvra {
namespace {

namespace fs = std::filesystem;

std::string DataDir() { return std::string(std::getenv("PLACARIM_BINARY_DIR")) + "/data/ilvra/"; }
// The prosody file is one of the tests' own, so the checks do not depend on
// how the shipped one tunes the voice.
std::string Prosody() { return std::string(std::getenv("PLACARIM_SOURCE_DIR")) + "/tests/voices/ilvra/data/teste.pro"; }

// The voice hands over wave images only (the base throws at anything else).
struct FakeSound : placarim::testing::SoundOutputBase {
  std::vector<std::vector<uint8_t>> images;
  bool playing = false;
  int PlayMemory(const std::vector<uint8_t>& image) override {
    images.push_back(image);
    return 0;
  }
  bool IsPlaying() override { return playing; }
};

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// Samples the lines ask for: 16 per millisecond.
size_t LineSamples(const std::vector<std::string>& lines) {
  size_t ms = 0;
  for (const auto& line : lines) {
    if (line.empty() || line[0] == ';') continue;
    ms += std::strtoul(line.c_str() + line.find(' ') + 1, nullptr, 10);
  }
  return ms * 16;
}

class IlvraVoiceTest : public ::testing::Test {
 protected:
  // The stand-in engine stays loaded by this handle, so its journal
  // survives the voice closing it.
  void SetUp() override {
    fake_ = dlopen(std::getenv("ILVRA_FAKE_ENGINE"), RTLD_NOW);
    ASSERT_NE(fake_, nullptr);
    journal_ = reinterpret_cast<const char* (*)()>(dlsym(fake_, "fake_journal"));
    reinterpret_cast<void (*)()>(dlsym(fake_, "fake_clear"))();
  }
  void TearDown() override { dlclose(fake_); }

  std::unique_ptr<IlvraVoice> Voice(const std::string& engine) {
    return std::make_unique<IlvraVoice>(sound_, nullptr, engine, DataDir() + "ilvra.db");
  }
  bool Open(IlvraVoice& voice, const std::string& database = "") {
    const std::string d = DataDir();
    return voice.IlvraOpen(database, d + "portug.nrl", d + "portug.exc", d + "portug.dfn", Prosody(),
                           d + "portug.abr");
  }
  std::vector<std::string> FrontEndLines(std::string_view text, double pitch, double duration) {
    FrontEnd front(nullptr);
    const std::string d = DataDir();
    EXPECT_EQ(front.Load({d + "portug.nrl", d + "portug.exc", d + "portug.abr", Prosody(), d + "portug.dfn"}),
              FrontEndError::kNone);
    return front.TextToMbrola(text, pitch, duration);
  }
  std::string Journal() { return journal_(); }

  void* fake_ = nullptr;
  const char* (*journal_)() = nullptr;
  FakeSound sound_;
};

TEST_F(IlvraVoiceTest, SpeaksEveryLineAndQueuesWaveImagesOfAllTheSamples) {
  auto voice = Voice(std::getenv("ILVRA_FAKE_ENGINE"));
  ASSERT_TRUE(Open(*voice));
  voice->IlvraSetFactors(1.3, 0.6);
  const std::string text = "Bom dia, Maria. Vamos jogar?";
  ASSERT_TRUE(voice->IlvraSpeak("  " + text + " "));
  const std::vector<std::string> lines = FrontEndLines(text, 1.3, 0.6);
  const std::string journal = Journal();
  // Opening: the database, no-error mode; speaking: a reset first, every
  // non-empty line with CR LF, one flush right after the last line.
  EXPECT_EQ(journal.find("init " + DataDir() + "ilvra.db;noerror 1;reset;"), 0u) << journal;
  size_t at = journal.find("reset;");
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty() && i + 1 < lines.size()) continue;
    const size_t found = journal.find("write " + lines[i] + "\r\n;", at);
    ASSERT_NE(found, std::string::npos) << lines[i];
    at = found + 1;
  }
  EXPECT_EQ(journal.find("write \r\n;"), lines.back().empty() ? journal.rfind("write ") : std::string::npos);
  EXPECT_EQ(journal.find("flush;"), journal.find(";", journal.rfind("write ")) + 1);
  EXPECT_EQ(journal.find("read "), journal.find("read 16000;"));

  size_t samples = 0;
  ASSERT_FALSE(sound_.images.empty());
  for (const auto& image : sound_.images) {
    ASSERT_GE(image.size(), 44u + 256u);
    EXPECT_EQ(std::memcmp(image.data(), "RIFF", 4), 0);
    EXPECT_EQ(U32(image, 4), image.size() - 8);
    EXPECT_EQ(U32(image, 24), 16000u);
    EXPECT_EQ(U32(image, 40), image.size() - 44);
    samples += (image.size() - 44) / 2;
  }
  EXPECT_EQ(samples, LineSamples(lines));
  EXPECT_GT(sound_.images.size(), 1u);  // handed over in pieces as the buffer fills
}

TEST_F(IlvraVoiceTest, BlankTextMakesNoEngineCallAndEngineErrorsAreReportedAfterTheWholeText) {
  auto voice = Voice(std::getenv("ILVRA_FAKE_ENGINE"));
  ASSERT_TRUE(Open(*voice));
  const std::string opened = Journal();
  EXPECT_TRUE(voice->IlvraSpeak("    "));
  EXPECT_EQ(Journal(), opened);
  EXPECT_TRUE(sound_.images.empty());

  // The stand-in refuses every k; the voice resets the engine and goes on.
  EXPECT_FALSE(voice->IlvraSpeak("casa bonita"));
  const std::string journal = Journal();
  const size_t refused = journal.find("write k ");
  ASSERT_NE(refused, std::string::npos);
  EXPECT_EQ(journal.find("reset;", refused), journal.find(";", refused) + 1);
  EXPECT_NE(journal.find("write b ", refused), std::string::npos);
  EXPECT_NE(journal.find("flush;", refused), std::string::npos);
}

// Speech shorter than 128 samples is padded with silence to 256 bytes.
TEST_F(IlvraVoiceTest, ShortSpeechIsPaddedTo256Bytes) {
  reinterpret_cast<void (*)(unsigned long)>(dlsym(fake_, "fake_set_ms_per_sample"))(100);
  auto voice = Voice(std::getenv("ILVRA_FAKE_ENGINE"));
  ASSERT_TRUE(Open(*voice));
  ASSERT_TRUE(voice->IlvraSpeak("Gol"));
  size_t lines_ms = 0;
  for (const auto& line : FrontEndLines("Gol", 1.0, 1.0)) lines_ms += LineSamples({line}) / 16 / 100;
  ASSERT_GT(lines_ms, 0u);
  ASSERT_LT(lines_ms, 128u);
  ASSERT_EQ(sound_.images.size(), 1u);
  const auto& image = sound_.images[0];
  ASSERT_EQ(image.size(), 44u + 256u);
  EXPECT_EQ(U32(image, 40), 256u);
  for (size_t i = 44; i < image.size(); i += 2) {
    EXPECT_EQ(image[i] | image[i + 1] << 8, i < 44 + 2 * lines_ms ? 1000 : 0) << i;
  }
}

TEST_F(IlvraVoiceTest, OutputFileModeWritesTheFileAndItsSizesAtClose) {
  const std::string path = ::testing::TempDir() + "/ilvra_out.wav";
  auto voice = Voice(std::getenv("ILVRA_FAKE_ENGINE"));
  voice->IlvraSetOutputFile(path);
  ASSERT_TRUE(Open(*voice));
  sound_.playing = true;
  ASSERT_TRUE(voice->IlvraSpeak("Bom dia."));
  EXPECT_FALSE(voice->IlvraIsSpeaking());
  voice->IlvraStop();
  EXPECT_EQ(sound_.stops, 0);
  EXPECT_TRUE(sound_.images.empty());
  auto read = [&path] {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  };
  std::vector<uint8_t> file = read();
  ASSERT_GT(file.size(), 44u);
  EXPECT_EQ(U32(file, 40), 0u);  // not known until the voice closes
  // A file named after the opening is for the next one: close leaves it be.
  const std::string next = ::testing::TempDir() + "/ilvra_next.wav";
  std::ofstream(next, std::ios::binary) << "not a wave";
  voice->IlvraSetOutputFile(next);
  voice->IlvraClose();
  std::ifstream next_in(next, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(next_in), std::istreambuf_iterator<char>()), "not a wave");
  file = read();
  EXPECT_EQ(U32(file, 4), file.size() - 8);
  EXPECT_EQ(U32(file, 40), file.size() - 44);
  EXPECT_EQ((file.size() - 44) / 2, LineSamples(FrontEndLines("Bom dia.", 1.0, 1.0)));
}

TEST_F(IlvraVoiceTest, EachFailureToOpenLeavesNothingOpenAndSaysWhy) {
  const std::string d = DataDir();
  const std::string fake = std::getenv("ILVRA_FAKE_ENGINE");
  const std::string missing_database = ::testing::TempDir() + "/missing.db";  // the stand-in refuses it
  std::ofstream(missing_database) << "x";
  const struct {
    const char* what;
    std::string engine, database, rules, exceptions, definitions, prosody, abbreviations, output;
    std::string error;
  } cases[] = {
      {"no engine", "/nonexistent/libengine.so", "", d + "portug.nrl", d + "portug.exc", d + "portug.dfn",
       Prosody(), d + "portug.abr", "", ""},
      {"engine lacks an entry point", std::getenv("ILVRA_INCOMPLETE_ENGINE"), "", d + "portug.nrl",
       d + "portug.exc", d + "portug.dfn", Prosody(), d + "portug.abr", "", ""},
      {"database refused", fake, missing_database, d + "portug.nrl", d + "portug.exc", d + "portug.dfn",
       Prosody(), d + "portug.abr", "", ""},
      {"rules", fake, "", d + "none.nrl", d + "portug.exc", d + "portug.dfn", Prosody(), d + "portug.abr", "",
       "Erro na base de dados de portugu\xEAs"},
      {"exceptions", fake, "", d + "portug.nrl", d + "none.exc", d + "portug.dfn", Prosody(),
       d + "portug.abr", "", "Erro na base de dados de portugu\xEAs"},
      {"abbreviations", fake, "", d + "portug.nrl", d + "portug.exc", d + "portug.dfn", Prosody(),
       d + "none.abr", "", "Erro no arquivo de abreviaturas"},
      {"prosody", fake, "", d + "portug.nrl", d + "portug.exc", d + "portug.dfn", d + "none.pro", d + "portug.abr",
       "", "Erro no arquivo de pros\xF3" "dia"},
      {"definitions", fake, "", d + "portug.nrl", d + "portug.exc", d + "none.dfn", Prosody(),
       d + "portug.abr", "", "Erro no arquivo de pros\xF3" "dia"},
      {"output file", fake, "", d + "portug.nrl", d + "portug.exc", d + "portug.dfn", Prosody(),
       d + "portug.abr", "/nonexistent/dir/out.wav", "Arquivo de sa\xED" "da n\xE3o pode ser criado"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    reinterpret_cast<void (*)()>(dlsym(fake_, "fake_clear"))();
    auto voice = Voice(c.engine);
    voice->IlvraSetOutputFile(c.output);
    EXPECT_FALSE(voice->IlvraOpen(c.database, c.rules, c.exceptions, c.definitions, c.prosody, c.abbreviations));
    EXPECT_FALSE(voice->IsOpen());
    EXPECT_EQ(voice->LastError(), c.error);
    const std::string journal = Journal();
    // An engine that was started is closed again.
    EXPECT_EQ(journal.find("noerror") != std::string::npos, journal.find("close;") != std::string::npos) << journal;
    EXPECT_FALSE(voice->IlvraSpeak("Bom dia"));
    EXPECT_TRUE(sound_.images.empty());
  }
}

TEST(IlvraDatabasePath, InstalledVoiceThenNamedFileThenOurs) {
  const fs::path root = fs::path(::testing::TempDir()) / "mbrola_root";
  fs::create_directories(root / "br4");
  std::ofstream(root / "br4" / "br4") << "x";
  const std::string named = (root / "named.db").string();
  std::ofstream(named) << "x";
  const struct {
    std::string name, expected;
  } cases[] = {
      {"br4", (root / "br4" / "br4").string()},
      {named, named},
      {"br3", "ours.db"},
      {"", "ours.db"},
      {(root / "br4").string(), "ours.db"},  // a directory is not a database
  };
  for (const auto& c : cases) EXPECT_EQ(IlvraDatabasePath(c.name, "ours.db", root.string()), c.expected) << c.name;
}

// Our engine behind the same binding: the samples are as long as the lines
// say (within one pitch period per pause-separated stretch), never clipped.
TEST_F(IlvraVoiceTest, OurEngineSpeaksAsLongAsTheLinesSay) {
  auto voice = Voice(std::getenv("PLACARIM_MBROLA_LIBRARY"));
  ASSERT_TRUE(Open(*voice, "/nonexistent/br4"));
  const std::string text = "Gol! Sete mais cinco, doze. Parab\xE9ns, campe\xE3o!";
  ASSERT_TRUE(voice->IlvraSpeak(text));
  std::vector<int16_t> samples;
  for (const auto& image : sound_.images) {
    const size_t n = (image.size() - 44) / 2;
    const size_t start = samples.size();
    samples.resize(start + n);
    std::memcpy(samples.data() + start, image.data() + 44, n * 2);
  }
  const size_t expected = LineSamples(FrontEndLines(text, 1.0, 1.0));
  EXPECT_NEAR(double(samples.size()), double(expected), 16000.0 / 230);
  int peak = 0;
  for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
  EXPECT_GT(peak, 3000);
  EXPECT_LT(peak, 32767);
}

}  // namespace
}  // namespace placarim::ilvra
