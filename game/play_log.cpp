#include "game/play_log.h"

#include "game/screen.h"
#include "platform/text_encoding.h"

namespace placarim::game {

void PlayLog::Start() {
  if (writer_.Path().empty()) return;
  working_ = writer_.Open();
  if (!working_) Fail();
}

void PlayLog::SetChampionship(int number, std::string title) {
  championship_ = number;
  title_ = std::move(title);
}

void PlayLog::SumAnswered(const SumAnswer& answer) {
  if (!working_) return;
  AnsweredSum line;
  line.when = clock_.LocalNow();
  line.championship = championship_;
  line.title = title_;
  line.child = child_;
  line.phase = answer.phase;
  const ParsedSum& s = answer.sum;
  line.sum = std::to_string(s.a) + " " + s.op + " " + std::to_string(s.b) + " = " + std::to_string(s.r);
  line.answer = answer.answer;
  line.outcome = answer.outcome;
  line.seconds = static_cast<double>(clock_.NowMs() - spoken_ms_) / 1000.0;
  if (!writer_.Append(line)) {
    working_ = false;
    Fail();
  }
}

// A sentence of the game's own: written for the teacher, heard with pauses.
void PlayLog::Fail() {
  const std::string text = platform::Utf8ToCp1252(kRecordFailed);
  WriteLn(console_, text);
  speech_.SpeakSentence(text);
}

}  // namespace placarim::game
