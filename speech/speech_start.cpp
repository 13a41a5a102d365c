// Start-up and shutdown of the speech layer: the speed and its settings, the
// built-in voice, the sound directories and the optional external synthesizer.
#include "speech/config_values.h"
#include "speech/local_path.h"
#include "speech/speech.h"
#include "speech/wave_image.h"

namespace placarim::speech {
namespace {

constexpr std::string_view kTranslator = "TRADUTOR";
constexpr std::string_view kSynthesizer = "SINTETIZADOR";
constexpr std::string_view kSpeechServer = "SERVFALA";
constexpr std::string_view kDefaultLetters = "c:\\kestra\\som\\letras\\";
constexpr size_t kDatabaseNameLength = 8;
constexpr int kDefaultSpeed = 3;

}  // namespace

Speech::Speech(sound::MainLoop& loop, SpeechConsole& console, sound::SoundOutput& sound, const ConfigLookup& ini,
               Synthesizer* synthesizer, uint32_t click_seed)
    : loop_(loop),
      console_(console), sound_(sound), ini_(ini), synthesizer_(synthesizer), voice_settings_(ini) {
  std::mt19937 random(click_seed);
  click_samples_ = MakeClickSamples(random);
}

std::string Speech::SystemVoiceSettings::Read(std::string_view key, std::string_view fallback) {
  return ini_.ReadSystemValue(kTranslator, key, fallback);
}

void Speech::SetSpeechTuning(int unit_trim, int minimum_unit_length, int word_gap, bool shorten,
                             bool fast) {
  if (voice_ != nullptr) voice_->SetDiphoneTuning(unit_trim, minimum_unit_length, word_gap);
  sound_.SetCondense(shorten);
  sound_.SetSpeedUp(fast);
}

void Speech::LoadSpeedSettings(int speed) {
  auto read = [&](std::string_view key) { return ini_.ReadIniString(kSynthesizer, KeyWithNumber(key, speed)); };
  std::string database = read("DIFONES");
  if (database.size() > kDatabaseNameLength) database.resize(kDatabaseNameLength);
  if (voice_ != nullptr) voice_->SetDatabaseName(database);

  SetSpeechTuning(IniIntPrefix(read("CORTEFON")), IniIntOr(read("SOBRAFON"), 0),
                  IniIntOr(read("INTERPAL"), 0), IniYesNo(read("CORTAFALA")), IniYesNo(read("RAPIDINHO")));

  full_stop_pause_ = IniIntOr(read("PAUSAPONTO"), 250);
  comma_pause_ = IniIntOr(read("PAUSAVIRG"), 150);
  colon_pause_ = IniIntOr(read("PAUSADOISPONTOS"), 200);
}

void Speech::SpeechStart(int speed, std::string_view program_sound_directory) {
  if (speed < 1) speed = IniIntOr(ini_.ReadIniString(kTranslator, "VELOCIDADE"), kDefaultSpeed);
  if (speed < 1 || speed > 5) speed = kDefaultSpeed;
  speed_ = speed;
  LoadSpeedSettings(speed);

  if (voice_ != nullptr) {
    const int result = voice_->OpenDiphoneVoice();
    if (result != 0) ReportStartFailure(result);
  }

  program_directory_ = LocalDirectory(program_sound_directory);
  letters_directory_ = LocalDirectory(ini_.ReadSystemValue(kTranslator, "DIRLETRAS", kDefaultLetters));

  synth_active_ = false;
  if (!IniYesNo(ini_.ReadIniString(kTranslator, "SAPI"))) return;
  OpenSynthesizer();
}

void Speech::OpenSynthesizer() {
  auto read = [&](std::string_view key) { return IniIntOr(ini_.ReadIniString(kSpeechServer, key), 0); };
  const int voice = read("VOZ");
  int rate = read("VELOCIDADE");
  const int pitch = read("TOM");
  const int type = read("TIPOSAPI");
  // Only the first kind of engine takes words per minute; the others a small scale.
  if (type != 4 && rate > 10) rate = 0;
  synth_active_ = synthesizer_ != nullptr && synthesizer_->SynthOpen(voice, rate, pitch, type);
  synth_type_ = type;
}

void Speech::ReportStartFailure(int code) {
  console_.Write("Erro de inicializa\xE7\xE3o: " + std::to_string(code));
  console_.WriteLineBreak();
  console_.Write("Banco de dados de voz: " + voice_->DatabaseName());
  console_.WriteLineBreak();
  voice_->CloseDiphoneVoice();
  console_.ReadLine();
  console_.Done(1);  // the program could not start: not a normal end
}

void Speech::FinishSpeech() {
  if (!speech_buffer_.empty()) SpeakText({});
  WaitWhileSpeaking();
  StopSpeech();
  if (synth_active_) {
    synthesizer_->SynthClose();
    synth_active_ = false;
  }
  if (voice_ != nullptr) voice_->CloseDiphoneVoice();
}

}  // namespace placarim::speech
