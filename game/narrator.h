// Says the game's sentences: each catalogue key is written for the teacher and
// heard by the child, from its recording when the sound directory has one,
// otherwise through the synthesizer.
#pragma once

#include <string_view>

#include "console/console.h"
#include "game/message_catalogue.h"
#include "game/random.h"
#include "game/speech_port.h"

namespace placarim::game {

class Narrator {
 public:
  Narrator(console::Console& console, SpeechPort& speech, Random& random);

  // Writes the key's text, then `line_breaks` line breaks, then voices it. A
  // key the catalogue lacks is not an error: a framed notice naming it is
  // written and its recording (if any) still plays.
  void SayMessage(std::string_view key, int line_breaks);
  // "Gol! " and a commentary phrase drawn at random; the same for a miss.
  void SayGoal();
  void SayMiss();

  const MessageCatalogue& Catalogue() const { return catalogue_; }

 private:
  void SayCommentary(std::string_view shout_key, int phrase_count, bool goal);
  void WriteUnknownKeyNotice(std::string_view key);

  console::Console& console_;
  SpeechPort& speech_;
  Random& random_;
  MessageCatalogue catalogue_;
};

}  // namespace placarim::game
