// Serves the game's speech operations from the real speech layer, its
// configuration reader and the spoken line editor.
#pragma once

#include "game/speech_port.h"
#include "speech/config_lookup.h"
#include "editor/line_editor.h"
#include "speech/local_path.h"
#include "speech/speech.h"

namespace placarim::game {

class SpeechLink final : public SpeechPort {
 public:
  SpeechLink(speech::Speech& speech, const speech::ConfigLookup& ini, editor::LineEditor& editor)
      : speech_(speech), ini_(ini), editor_(editor) {}

  std::string ReadIniString(std::string_view section, std::string_view key) override {
    return ini_.ReadIniString(section, key);
  }
  std::string LocalPath(std::string_view configured) override { return speech::LocalPath(configured); }
  void SpeechStart(int speed, const std::string& directory) override {
    speech_.SpeechStart(speed, directory);
  }
  void SetSpeakPunctuation(bool on) override { speech_.Text().speak_punctuation = on; }
  void FinishSpeech() override { speech_.FinishSpeech(); }
  void PlaySoundKey(std::string_view key) override { speech_.Sounds().PlaySoundKey(key); }
  bool SoundKeyExists(std::string_view key) override { return speech_.Sounds().SoundKeyExists(key); }
  void SpeakText(std::string_view text) override { speech_.Text().SpeakText(text); }
  void SpeakSentence(std::string_view text) override { speech_.Text().SpeakSentence(text); }
  void SpellText(std::string_view text) override { speech_.Sounds().SpellText(text); }
  void WriteSpeakInt(int64_t value) override { speech_.Text().WriteSpeakInt(value); }
  void WriteLnSpeak(std::string_view text) override { speech_.Text().WriteLnSpeak(text); }
  bool IsSpeaking() override { return speech_.Output().IsSpeaking(); }
  void PlayBeep() override { speech_.Sounds().PlayBeep(); }
  void ReadKeySpeak(uint8_t& key, uint8_t& extended) override { speech_.Keys().ReadKeySpeak(key, extended); }
  int ReadLineEdit(std::string& text, int x, int y, int max_length, bool editable) override {
    return editor_.ReadLineEdit(text, x, y, max_length, editable);
  }

 private:
  speech::Speech& speech_;
  const speech::ConfigLookup& ini_;
  editor::LineEditor& editor_;
};

}  // namespace placarim::game
