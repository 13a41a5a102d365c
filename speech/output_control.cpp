// Which voice speaks, its speed and pauses, and silence.
#include "speech/output_control.h"

#include "speech/config_values.h"

namespace placarim::speech {
namespace {

constexpr std::string_view kTranslator = "TRADUTOR";
constexpr std::string_view kSynthesizer = "SINTETIZADOR";
constexpr std::string_view kSpeechServer = "SERVFALA";
constexpr size_t kDatabaseNameLength = 8;
constexpr int kDefaultSpeed = 3;

}  // namespace

OutputControl::OutputControl(sound::MainLoop& loop, sound::SoundOutput& sound, const ConfigLookup& ini,
                             Synthesizer* synthesizer)
    : loop_(loop), sound_(sound), ini_(ini), synthesizer_(synthesizer) {}

// --- speed and voice -------------------------------------------------------------

int OutputControl::ChooseSpeed(int speed) {
  if (speed < 1) speed = IniIntOr(ini_.ReadIniString(kTranslator, "VELOCIDADE"), kDefaultSpeed);
  if (speed < 1 || speed > 5) speed = kDefaultSpeed;
  speed_ = speed;
  LoadSpeedSettings(speed);
  return speed;
}

void OutputControl::SetSpeechTuning(int unit_trim, int minimum_unit_length, int word_gap, bool shorten,
                                    bool fast) {
  if (voice_ != nullptr) voice_->SetDiphoneTuning(unit_trim, minimum_unit_length, word_gap);
  sound_.SetCondense(shorten);
  sound_.SetSpeedUp(fast);
}

void OutputControl::LoadSpeedSettings(int speed) {
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

void OutputControl::OpenSynthesizer() {
  synth_active_ = false;
  if (!IniYesNo(ini_.ReadIniString(kTranslator, "SAPI"))) return;
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

void OutputControl::CloseSynthesizer() {
  if (!synth_active_) return;
  synthesizer_->SynthClose();
  synth_active_ = false;
}

voices::VoiceFlags OutputControl::SpeakingVoiceFlags() {
  // Once no external voice can speak, the built-in voice's flags apply.
  if (!synth_active_ || !synthesizer_->SynthCanSpeak()) return voices::FindVoiceDriver(voices::kVoiceBuiltIn).flags;
  return voices::FindVoiceDriver(synth_type_).flags;
}

bool OutputControl::SpeakExternally(std::string_view text) {
  WaitWhileSpeaking();
  if (loop_.KeyPressed()) return true;
  synthesizer_->SynthSpeak(text);
  synth_pending_ = true;
  return synthesizer_->SynthCanSpeak();
}

std::string OutputControl::TakeExternalNotice() {
  return synth_active_ ? synthesizer_->SynthTakeNotice() : std::string();
}

// --- silence -----------------------------------------------------------------------

bool OutputControl::IsSpeaking() {
  if (loop_.KeyPressed()) {
    StopSpeech();
    return false;
  }
  if (synth_active_) return sound_.IsPlaying() || synthesizer_->SynthIsSpeaking(0);
  return sound_.IsPlaying();
}

void OutputControl::WaitWhileSpeaking() {
  while (IsSpeaking()) loop_.WaitMessage();
}

void OutputControl::WaitSpeech() {
  if (!synth_pending_) return;
  WaitWhileSpeaking();
  synth_pending_ = false;
}

void OutputControl::StopSpeech() {
  sound_.Stop();
  stop_requested_ = true;
  if (synth_active_ && (synthesizer_->SynthIsSpeaking(0) || voices::FindVoiceDriver(synth_type_).flags.stop_when_quiet)) {
    synthesizer_->SynthStop();
  }
  loop_.PostWakeUp(kSpeechWakeUp);
}

void OutputControl::SpeechPause(int milliseconds) {
  for (int steps = milliseconds / 50; steps > 0; --steps) {
    if (!loop_.KeyPressed()) loop_.Delay(50);
  }
}

}  // namespace placarim::speech
