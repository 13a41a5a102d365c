#include "game/narrator.h"

#include <string>

#include "game/message_keys.h"
#include "game/screen.h"

namespace placarim::game {

Narrator::Narrator(console::Console& console, SpeechPort& speech, Random& random)
    : console_(console), speech_(speech), random_(random) {}

void Narrator::SayMessage(std::string_view key, int line_breaks) {
  const std::string* found = catalogue_.Find(key);
  if (!found) WriteUnknownKeyNotice(key);
  const std::string text = found ? *found : std::string();
  Write(console_, text);
  for (int i = 0; i < line_breaks; ++i) WriteLn(console_);
  if (speech_.SoundKeyExists(key)) {
    speech_.PlaySoundKey(key);
  } else {
    speech_.SpeakSentence(text);
  }
}

void Narrator::WriteUnknownKeyNotice(std::string_view key) {
  const std::string rule(36, '-');
  WriteLn(console_);
  WriteLn(console_, rule);
  WriteLn(console_, "--- mensagem errada: " + std::string(key) + " ---");
  WriteLn(console_, rule);
  WriteLn(console_);
}

void Narrator::SayGoal() { SayCommentary(kGoalShout, MessageCatalogue::kGoalPhraseCount, true); }

void Narrator::SayMiss() { SayCommentary(kMissShout, MessageCatalogue::kMissPhraseCount, false); }

void Narrator::SayCommentary(std::string_view shout_key, int phrase_count, bool goal) {
  SayMessage(shout_key, 0);
  const int n = random_.Uniform(1, phrase_count);
  const std::string& phrase = goal ? catalogue_.GoalPhrase(n) : catalogue_.MissPhrase(n);
  WriteLn(console_, phrase);
  const std::string recording = std::string(shout_key) + std::to_string(n);
  if (speech_.SoundKeyExists(recording)) {
    speech_.PlaySoundKey(recording);
  } else {
    speech_.SpeakSentence(phrase);
  }
}

}  // namespace placarim::game
