// Recordings by key, recorded characters and the generated click and beep.
#include "speech/recorded_sounds.h"

#include <random>

#include "speech/local_path.h"
#include "speech/wave_image.h"

namespace placarim::speech {

RecordedSounds::RecordedSounds(sound::MainLoop& loop, SpeechConsole& console, sound::SoundOutput& sound,
                               OutputControl& output, uint32_t click_seed)
    : loop_(loop), console_(console), sound_(sound), output_(output) {
  std::mt19937 random(click_seed);
  click_samples_ = MakeClickSamples(random);
}

void RecordedSounds::SetDirectories(std::string program, std::string letters) {
  program_directory_ = std::move(program);
  letters_directory_ = std::move(letters);
}

std::string RecordedSounds::SoundKeyPath(std::string_view key) const {
  const std::string& directory = !key.empty() && key[0] == '_' ? letters_directory_ : program_directory_;
  return FindFileIgnoringCase(directory + LocalPath(key) + ".wav");
}

std::string RecordedSounds::VoiceLetters() const {
  return voice_ != nullptr ? voice_->LettersDirectory() : std::string();
}

bool RecordedSounds::SoundKeyExists(std::string_view key) const {
  return FileExistsIgnoringCase(SoundKeyPath(key));
}

void RecordedSounds::PlaySoundKey(std::string_view key) {
  output_.WaitSpeech();
  sound_.PlayFile(SoundKeyPath(key));
}

void RecordedSounds::SpeakChar(uint8_t c) {
  output_.WaitSpeech();
  sound_.PlayFile(FindFileIgnoringCase(VoiceLetters() + "_" + std::to_string(c) + ".wav"));
}

void RecordedSounds::SpellText(std::string_view text) {
  for (char c : text) {
    if (loop_.KeyPressed()) return;
    SpeakChar(static_cast<uint8_t>(c));
  }
}

void RecordedSounds::PlayClick() {
  output_.WaitSpeech();
  const bool condense = sound_.Condense();
  sound_.SetCondense(false);
  sound_.PlayMemory(MakeSpeechImage(click_samples_.data(), click_samples_.size()));
  output_.WaitWhileSpeaking();
  sound_.SetCondense(condense);
}

void RecordedSounds::PlayBeep() {
  output_.WaitSpeech();
  while (loop_.KeyPressed()) console_.ReadKey();
  const std::vector<uint8_t> beep = MakeBeepSamples();
  sound_.PlayMemory(MakeSpeechImage(beep.data(), beep.size()));
  output_.WaitWhileSpeaking();
}

void RecordedSounds::PlayImageWait(const std::vector<uint8_t>& image) {
  output_.WaitSpeech();
  sound_.PlayMemory(image);
  output_.WaitWhileSpeaking();
}

}  // namespace placarim::speech
