// Every recording the system can ask for must be in the data tree the build
// made, in the format its reader expects, audible, and no longer than the
// reader's buffer. The keys are derived here from the readers' own rules,
// not taken from the tool, so a key the tool misspells is caught.
#include <gtest/gtest.h>

#include "platform/config_file.h"
#include "platform/text_encoding.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/tools/wave_reading.h"
#include "sound/riff_walker.h"

namespace placarim::soundkit {
namespace {

namespace fs = std::filesystem;

fs::path DataTree() {
  const char* binary = std::getenv("PLACARIM_BINARY_DIR");
  return binary ? fs::path(binary) / "data" : fs::path();
}

// Number words as the number reader writes them (plain ASCII, except the
// group names), and its rule for a word's key: "ã" and "õ" lose their tilde,
// dezessete becomes "dezeset", and "_" + word is cut to 8 characters, a
// feminine hundred's then ending in "a".
std::string NumberWordKey(std::string word) {
  if (word == "dezessete") word = "dezeset";
  for (const auto& [accented, plain] : {std::pair{"\xC3\xA3", "a"}, std::pair{"\xC3\xB5", "o"}}) {
    for (size_t at; (at = word.find(accented)) != std::string::npos;) word.replace(at, 2, plain);
  }
  std::string key = ("_" + word).substr(0, 8);
  if (key.size() < word.size() + 1 && word.ends_with("entas")) key.back() = 'a';  // _trezena, trezentas
  return key;
}

std::vector<std::string> NumberWordKeys() {
  const char* words[] = {
      "zero", "um", "dois", "tres", "quatro", "cinco", "seis", "sete", "oito", "nove",
      "dez", "onze", "doze", "treze", "quatorze", "quinze", "dezesseis", "dezessete", "dezoito", "dezenove",
      "vinte", "trinta", "quarenta", "cinquenta", "sessenta", "setenta", "oitenta", "noventa",
      "cento", "duzentos", "trezentos", "quatrocentos", "quinhentos", "seiscentos", "setecentos",
      "oitocentos", "novecentos", "cem", "e", "mil",
      "milh\xC3\xA3o", "milh\xC3\xB5" "es", "bilh\xC3\xA3o", "bilh\xC3\xB5" "es",
      "trilh\xC3\xA3o", "trilh\xC3\xB5" "es",
      // the feminine forms of the words below a million
      "uma", "duas", "duzentas", "trezentas", "quatrocentas", "quinhentas", "seiscentas", "setecentas",
      "oitocentas", "novecentas",
  };
  std::vector<std::string> keys;
  for (const char* w : words) keys.push_back(NumberWordKey(w));
  return keys;
}

std::vector<std::string> TimeAndDateKeys() {
  std::vector<std::string> keys = {"_hora", "_horas", "_minuto", "_minutos", "_primeir", "_de", "_e"};
  for (const char* day : {"Domingo", "Segunda", "Terca", "Quarta", "Quinta", "Sexta", "Sabado"})
    keys.push_back(std::string("_") + day);
  for (const char* month : {"Janeiro", "Fevereiro", "Marco", "Abril", "Maio", "Junho", "Julho", "Agosto",
                            "Setembro", "Outubro", "Novembro", "Dezembro"})
    keys.push_back("_" + std::string(month).substr(0, 7));
  return keys;
}

std::vector<std::string> EditorKeys() {
  std::vector<std::string> keys = {"_DEL", "_APFCPO", "_APICPO", "_CPOAPA", "_FALACI", "_FALDLG", "_VELOC"};
  for (int c = 'A'; c <= 'Z'; ++c) keys.push_back("_FON" + std::to_string(c));
  for (int c = 'a'; c <= 'z'; ++c) keys.push_back("_FON" + std::to_string(c));
  return keys;
}

std::vector<std::string> CharacterKeys() {
  // 127 is a control code; the other five have no character in Windows-1252.
  const std::set<int> nameless = {127, 129, 141, 143, 144, 157};
  std::vector<std::string> keys;
  for (int c = 32; c <= 255; ++c)
    if (!nameless.contains(c)) keys.push_back("_" + std::to_string(c));
  return keys;
}

std::vector<std::string> ToneKeys() {
  std::vector<std::string> keys;
  for (char c : std::string("0123456789#X")) keys.push_back(std::string("dtmf_") + c);
  return keys;
}

std::vector<std::string> GameKeys() {
  std::vector<std::string> keys = {"PLMUSINI", "PLMUSFIM", "PLTANA", "PLTANA2", "PLTANA3", "PLMAIS", "PLMENOS",
                                   "PLVEZES",  "PLDIVID",  "PLIGUAL", "PLCHUTE", "PLCLOK", "PLUAU",  "PLPALMAS",
                                   "PLINITRT"};
  for (char d = '0'; d <= '9'; ++d) keys.push_back(std::string(1, d));
  return keys;
}

// The number reader glues words into 30,000 samples; the built-in voice
// appends a recorded character into its 64,000-byte buffer after the header.
constexpr size_t kNumberBuffer = 30000;
constexpr size_t kVoiceBuffer = 64000 - 44;
constexpr size_t kGameCueLimit = 4 * 22050;  // the child waits through it

struct Group {
  const char* name;
  std::vector<std::string> keys;
  const char* directory;
  size_t limit;
  bool letters_format;  // 8-bit mono 11,025 Hz, data right after 44 bytes
};

std::vector<Group> Groups() {
  return {
      {"characters", CharacterKeys(), "letras", kVoiceBuffer, true},
      {"number words", NumberWordKeys(), "letras", kNumberBuffer, true},
      {"time and date", TimeAndDateKeys(), "letras", kNumberBuffer, true},
      {"minus sign", {"_MENOS"}, "letras", kNumberBuffer, true},
      {"editor cues", EditorKeys(), "letras", kVoiceBuffer, true},
      {"telephone tones", ToneKeys(), "letras", kVoiceBuffer, true},
      {"game sounds", GameKeys(), "sons", kGameCueLimit, false},
  };
}

float LoudestDeviation(const std::vector<float>& samples) {
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::abs(s));
  return peak;
}

TEST(DataTree, HoldsEveryKeyInItsReadersFormat) {
  const fs::path tree = DataTree();
  ASSERT_FALSE(tree.empty()) << "PLACARIM_BINARY_DIR is not set";
  for (const Group& group : Groups()) {
    for (const std::string& key : group.keys) {
      const fs::path file = tree / group.directory / (key + ".wav");
      SCOPED_TRACE(group.name + std::string(": ") + file.string());
      const auto wave = testing::ReadWave(file.string());
      ASSERT_TRUE(wave.has_value()) << "missing or not a PCM wave file";
      EXPECT_EQ(wave->channels, 1);
      if (group.letters_format) {
        EXPECT_EQ(wave->sample_rate, 11025);
        EXPECT_EQ(wave->bits, 8);
        EXPECT_EQ(wave->data_offset, 44u);
        EXPECT_EQ(fs::file_size(file), 44 + wave->samples.size()) << "bytes after the data chunk";
      }
      // The system's own wave reader takes the file as it is.
      const std::vector<uint8_t> bytes = testing::ReadBytes(file.string());
      const auto image = sound::FindImageSamples(bytes);
      ASSERT_TRUE(image.has_value()) << "the wave player refuses it";
      EXPECT_EQ(image->format, (platform::AudioFormat{static_cast<uint32_t>(wave->sample_rate),
                                                      static_cast<uint16_t>(wave->bits), 1}));
      EXPECT_EQ(image->samples.size(), wave->samples.size() * static_cast<size_t>(wave->bits / 8));
      EXPECT_GT(LoudestDeviation(wave->samples), 0.1f) << "silent";
      EXPECT_LE(wave->samples.size(), group.limit) << "longer than its reader's buffer";
      EXPECT_GT(wave->samples.size(), static_cast<size_t>(wave->sample_rate / 50)) << "too short to be heard";
    }
  }
}

TEST(DataTree, SpokenWordsAreTrimmedSoNumbersFlow) {
  // The number reader plays words back to back: silence at either end would
  // sound as a stumble between "vinte" and "e".
  const fs::path tree = DataTree();
  for (const std::string& key : NumberWordKeys()) {
    const auto wave = testing::ReadWave((tree / "letras" / (key + ".wav")).string());
    ASSERT_TRUE(wave.has_value()) << key;
    const auto& s = wave->samples;
    const size_t edge = 11025 / 20;  // 50 ms
    ASSERT_GT(s.size(), 2 * edge) << key;
    float head = 0, tail = 0;
    for (size_t i = 0; i < edge; ++i) {
      head = std::max(head, std::abs(s[i]));
      tail = std::max(tail, std::abs(s[s.size() - 1 - i]));
    }
    EXPECT_GT(head, 0.02f) << key << " starts with silence";
    EXPECT_GT(tail, 0.005f) << key << " ends with silence";
  }
}

// A value as the system's configuration reader sees it (Windows-1252 text),
// turned back into this system's UTF-8 file names as the program does.
std::string IniValue(const fs::path& file, const std::string& section, const std::string& key) {
  return platform::Cp1252ToUtf8(platform::ReadConfigValue(file.string(), section, key).value_or(""));
}

std::string ExpandAt(const std::string& value, const std::string& program_dir) {
  return value.starts_with("@") ? program_dir + value.substr(1) : value;
}

TEST(BuildConfiguration, PointsAtTheDataTree) {
  const char* binary = std::getenv("PLACARIM_BINARY_DIR");
  ASSERT_NE(binary, nullptr);
  const fs::path ini = fs::path(binary) / "etc" / "FALDEK.INI";
  ASSERT_TRUE(fs::exists(ini));
  const std::string program_dir = IniValue(ini, "FALDEK", "PGMFALDEK");
  EXPECT_TRUE(fs::equivalent(program_dir, DataTree()));
  // Read without "@" expansion by the speech layer and the built-in voice.
  const std::string letters = IniValue(ini, "TRADUTOR", "DIRLETRAS");
  EXPECT_FALSE(letters.starts_with("@"));
  EXPECT_TRUE(fs::exists(fs::path(letters) / "_65.wav")) << letters;
  EXPECT_TRUE(fs::equivalent(fs::path(IniValue(ini, "TRADUTOR", "DIRDIFONES")).parent_path().parent_path(),
                             DataTree()));
  const std::string sounds = ExpandAt(IniValue(ini, "PLACARIM", "DIRPLACARIM"), program_dir);
  EXPECT_TRUE(fs::exists(fs::path(sounds) / "PLTANA.wav")) << sounds;
  EXPECT_EQ(ExpandAt(IniValue(ini, "PLACARIM", "CONFIGPLACARIM"), program_dir), program_dir + "/placarim.cnf");
  for (int speed = 1; speed <= 5; ++speed)
    EXPECT_EQ(IniValue(ini, "SINTETIZADOR", "DIFONES" + std::to_string(speed)), "DIFONES" + std::to_string(speed));
}

}  // namespace
}  // namespace placarim::soundkit
