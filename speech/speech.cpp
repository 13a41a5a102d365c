// Start-up and shutdown of the speech layer: the speed and its settings, the
// built-in voice, the sound directories and the optional external synthesizer.
#include "speech/speech.h"

#include "speech/local_path.h"

namespace placarim::speech {
namespace {

constexpr std::string_view kTranslator = "TRADUTOR";
constexpr std::string_view kDefaultLetters = "c:\\kestra\\som\\letras\\";

}  // namespace

Speech::Speech(sound::MainLoop& loop, SpeechConsole& console, sound::SoundOutput& sound, const ConfigLookup& ini,
               Synthesizer* synthesizer, uint32_t click_seed)
    : console_(console),
      ini_(ini),
      voice_settings_(ini),
      output_(loop, sound, ini, synthesizer),
      sounds_(loop, console, sound, output_, click_seed),
      text_(loop, console, output_, sounds_),
      keys_(console, output_, sounds_, text_) {}

std::string Speech::SystemVoiceSettings::Read(std::string_view key, std::string_view fallback) {
  return ini_.ReadSystemValue(kTranslator, key, fallback);
}

void Speech::AttachVoice(tradutor::DiphoneVoiceApi& voice) {
  voice_ = &voice;
  output_.AttachVoice(voice);
  sounds_.AttachVoice(voice);
  text_.AttachVoice(voice);
}

void Speech::SpeechStart(int speed, std::string_view program_sound_directory) {
  output_.ChooseSpeed(speed);
  if (voice_ != nullptr) {
    const tradutor::VoiceOpen result = voice_->OpenDiphoneVoice();
    if (result != tradutor::VoiceOpen::kOpened) ReportStartFailure(static_cast<int>(result));
  }
  sounds_.SetDirectories(LocalDirectory(program_sound_directory),
                         LocalDirectory(ini_.ReadSystemValue(kTranslator, "DIRLETRAS", kDefaultLetters)));
  output_.OpenSynthesizer();
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
  text_.FlushBuffer();
  output_.WaitWhileSpeaking();
  output_.StopSpeech();
  output_.CloseSynthesizer();
  if (voice_ != nullptr) voice_->CloseDiphoneVoice();
}

}  // namespace placarim::speech
