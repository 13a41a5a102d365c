// A speech layer for whole-game tests: it notes every sound key, spoken and
// spelled text and beep in order, writes what the real layer writes, reads keys
// from the console like the real one, and edits answers with the plain keys the
// child uses (characters, Backspace, and the keys that end editing).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "console/console.h"
#include "game/screen.h"
#include "game/speech_port.h"

namespace placarim::game::testing {

class RecordingSpeech : public SpeechPort {
 public:
  explicit RecordingSpeech(console::Console& console) : console_(console) {}

  std::string ReadIniString(std::string_view section, std::string_view key) override {
    auto it = ini.find(std::string(section) + "/" + std::string(key));
    return it == ini.end() ? std::string() : it->second;
  }
  void SpeechStart(int speed, const std::string& directory) override {
    log.push_back("start:" + std::to_string(speed) + ":" + directory);
  }
  void SetSpeakPunctuation(bool on) override { speak_punctuation = on; }
  void FinishSpeech() override { log.push_back("finish"); }

  void PlaySoundKey(std::string_view key) override { log.push_back("sound:" + std::string(key)); }
  bool SoundKeyExists(std::string_view key) override { return recordings.count(std::string(key)) > 0; }
  // The game's sentences are "say:", any other text "text:".
  void SpeakText(std::string_view text) override { log.push_back("text:" + std::string(text)); }
  void SpeakSentence(std::string_view text) override { log.push_back("say:" + std::string(text)); }
  void SpellText(std::string_view text) override { log.push_back("spell:" + std::string(text)); }
  void WriteSpeakInt(int64_t value) override {
    Write(console_, std::to_string(value));
    SpeakText(std::to_string(value));
  }
  void WriteLnSpeak(std::string_view text) override {
    WriteLn(console_, text);
    SpeakText(text);
  }
  bool IsSpeaking() override { return false; }
  void PlayBeep() override {
    while (console_.KeyPressed()) console_.ReadKey();
    log.push_back("beep");
  }

  void ReadKeySpeak(uint8_t& key, uint8_t& extended) override {
    extended = 32;
    key = console_.ReadKey();
    if (key == 0) extended = console_.ReadKey();
    if (key > 31 && key != 222 && key != 223) {
      log.push_back("char:" + std::string(1, static_cast<char>(key)));
      Write(console_, std::string(1, static_cast<char>(key)));
    }
  }

  int ReadLineEdit(std::string& text, int x, int y, int max_length, bool) override {
    edits.push_back({x, y, max_length});
    for (;;) {
      uint8_t key = console_.ReadKey();
      if (key == 0) return console_.ReadKey();
      if (key == 9 || key == 10 || key == 13 || key == 27) {
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return key;
      }
      if (key == 8 && !text.empty()) {
        text.pop_back();
        console_.GotoXY(x + static_cast<int>(text.size()), y);
        Write(console_, " ");
        console_.GotoXY(x + static_cast<int>(text.size()), y);
      } else if (key >= 32 && static_cast<int>(text.size()) < max_length) {
        text.push_back(static_cast<char>(key));
        Write(console_, std::string(1, static_cast<char>(key)));
        log.push_back("char:" + std::string(1, static_cast<char>(key)));
      }
    }
  }

  struct Edit {
    int x, y, max_length;
  };

  std::vector<std::string> log;
  std::map<std::string, std::string> ini;  // "SECTION/KEY" -> value
  std::set<std::string> recordings;        // keys whose recordings exist
  std::vector<Edit> edits;
  bool speak_punctuation = true;

 private:
  console::Console& console_;
};

}  // namespace placarim::game::testing
