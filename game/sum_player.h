// One sum is one kick at goal: the sum is voiced, the child types the result,
// and the answer is a goal or a miss (with a counting-out for small sums).
// "." and TAB ask for a times table instead; ESC gives up the game.
#pragma once

#include <cstdint>
#include <string>

#include "console/console.h"
#include "game/ending.h"
#include "game/exercise_file.h"
#include "game/narrator.h"
#include "game/play_record.h"
#include "game/speech_port.h"
#include "game/times_tables.h"

namespace placarim::game {

// A damaged sum line as it is shown and said: whole when it fits in two
// screen lines, otherwise the start of it and an ellipsis ("\x85") filling
// exactly two lines, so that a huge line cannot flood the screen. Control
// characters other than the tab show as "?", so that the teacher sees where.
std::string DamagedLineShown(const std::string& line);

// A sum as the braille display shows it: "7+8=15", or "7+8=" to be answered.
std::string SumText(const ParsedSum& sum, bool with_result = true);

// A sum the child has just answered, as the record of play needs it.
struct SumAnswer {
  int phase = 0;
  ParsedSum sum;
  std::string answer;  // as typed; "." or "TAB" for help
  Outcome outcome = Outcome::kGoal;
};

// Hears when a sum has been spoken (the child may answer from then on) and
// when it was answered; giving up is not an answer.
class AnswerListener {
 public:
  virtual ~AnswerListener() = default;
  virtual void SumSpoken() = 0;
  virtual void SumAnswered(const SumAnswer& answer) = 0;
};

class SumPlayer {
 public:
  static constexpr int kAnswerLength = 10;

  SumPlayer(console::Console& console, SpeechPort& speech, Narrator& narrator, Ending& ending,
            TimesTables& tables, const Championship& championship);

  // Plays sum `sum` of phase `phase`. Sets PhaseFailed on a miss or any help.
  // Does not return when the child gives up or the sum line is damaged.
  void PlaySum(int phase, int sum);

  // Told about every answered sum before the game reacts to the answer.
  void SetAnswerListener(AnswerListener* listener) { listener_ = listener; }

  bool PhaseFailed() const { return phase_failed_; }
  void ClearPhaseFailed() { phase_failed_ = false; }

  // Writes and voices one number, then lets its speech end.
  void SpeakNumber(int64_t value);
  // The answer as typed (digits and "." only), or the one key that ended it.
  std::string ReadAnswer();

 private:
  // Voices the sum and remembers its expected answer.
  ParsedSum PresentSum(int phase, int sum);
  void Tell(int phase, const ParsedSum& sum, std::string answer, Outcome outcome);
  // The sum's parts; a damaged line is reported and ends the game.
  ParsedSum ParseOrQuit(int phase, int sum);
  void ShowCounting(const ParsedSum& sum);
  void OfferTimesTable(const ParsedSum& sum);
  void SayOperator(char op);
  void WaitWhileSpeaking();

  console::Console& console_;
  SpeechPort& speech_;
  Narrator& narrator_;
  Ending& ending_;
  TimesTables& tables_;
  const Championship& championship_;
  bool phase_failed_ = false;
  std::string expected_answer_;
  AnswerListener* listener_ = nullptr;
};

}  // namespace placarim::game
