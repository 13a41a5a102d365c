// Keeps the record of play during a game: hears every answered sum from the
// sum player, times it and appends it to the record file. A record that
// cannot be written never stops the game: it is said once, then the game
// plays on without a record.
#pragma once

#include <cstdint>
#include <string>

#include "console/console.h"
#include "game/play_record.h"
#include "game/speech_port.h"
#include "game/sum_player.h"
#include "platform/platform.h"

namespace placarim::game {

// Said (written and spoken) when the record cannot be kept: what is lost,
// and that play goes on.
inline constexpr std::string_view kRecordFailed =
    "Aviso para o professor: não consigo guardar o registro das jogadas. O jogo continua.";

class PlayLog final : public AnswerListener {
 public:
  // An empty `path` keeps no record.
  PlayLog(console::Console& console, SpeechPort& speech, platform::Clock& clock, std::string path)
      : console_(console), speech_(speech), clock_(clock), writer_(std::move(path)) {}

  // Opens the record; says kRecordFailed when it cannot.
  void Start();
  void SetChampionship(int number, std::string title);
  // The child who plays (Windows-1252); empty for no name.
  void SetChild(std::string name) { child_ = std::move(name); }

  void SumSpoken() override { spoken_ms_ = clock_.NowMs(); }
  void SumAnswered(const SumAnswer& answer) override;

 private:
  void Fail();

  console::Console& console_;
  SpeechPort& speech_;
  platform::Clock& clock_;
  PlayRecordWriter writer_;
  bool working_ = false;
  int championship_ = 0;
  std::string title_;
  std::string child_;
  int64_t spoken_ms_ = 0;
};

}  // namespace placarim::game
