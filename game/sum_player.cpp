#include "game/sum_player.h"

#include "console/display_line.h"
#include "console/keys.h"
#include "game/message_keys.h"
#include "game/screen.h"

namespace placarim::game {
namespace {

using console::plain::kEnter;
using console::plain::kEscape;
using console::plain::kTab;
constexpr int kCountingPauseMs = 500;
constexpr int kLargestCountedOperand = 10;

bool IsAnswerChar(char c) { return (c >= '0' && c <= '9') || c == '.'; }

}  // namespace

SumPlayer::SumPlayer(console::Console& console, SpeechPort& speech, Narrator& narrator,
                     Ending& ending, TimesTables& tables, const Championship& championship)
    : console_(console),
      speech_(speech),
      narrator_(narrator),
      ending_(ending),
      tables_(tables),
      championship_(championship) {}

void SumPlayer::PlaySum(int phase, int sum) {
  std::string answer;
  ParsedSum parts;
  // An empty answer asks the same sum again, at no cost.
  while (answer.empty()) {
    WriteLn(console_);
    parts = PresentSum(phase, sum);
    if (listener_ != nullptr) listener_->SumSpoken();
    answer = ReadAnswer();
  }
  WriteLn(console_);
  if (answer == ".") {
    phase_failed_ = true;
    Tell(phase, parts, answer, Outcome::kHelp);
    OfferTimesTable(ParseOrQuit(phase, sum));
  } else if (answer == std::string(1, static_cast<char>(kTab))) {
    phase_failed_ = true;
    Tell(phase, parts, "TAB", Outcome::kHelp);
    tables_.TimesTableField();
  } else if (answer.front() == static_cast<char>(kEscape)) {
    ending_.GiveUp();
    ending_.ShowCredits();
  } else if (answer == expected_answer_) {
    console_.Display().Show("gol: " + SumText(parts));
    Tell(phase, parts, answer, Outcome::kGoal);
    speech_.PlaySoundKey(kKick);
    narrator_.SayGoal();
  } else {
    console_.Display().Show("erro: " + SumText(parts));
    Tell(phase, parts, answer, Outcome::kMiss);
    speech_.PlaySoundKey(kKick);
    narrator_.SayMiss();
    ShowCounting(ParseOrQuit(phase, sum));
    phase_failed_ = true;
  }
}

std::string DamagedLineShown(const std::string& line) {
  constexpr size_t kShown = 2 * console::Console::kColumns;
  std::string shown = line.size() <= kShown ? line : line.substr(0, kShown - 1) + '\x85';
  // A control character (a NUL from a damaged copy, say) would show as
  // nothing at all, hiding what is wrong with the line; a tab shows as a gap.
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 32 && c != '\t') c = '?';
  }
  return shown;
}

ParsedSum SumPlayer::ParseOrQuit(int phase, int sum) {
  const std::string& line = championship_.Sum(phase, sum);
  auto parsed = ParseSum(line);
  if (!parsed) {
    narrator_.SayMessage(kDamagedSum, 1);
    speech_.WriteLnSpeak(DamagedLineShown(line));
    ending_.QuitGame();
  }
  return *parsed;
}

void SumPlayer::Tell(int phase, const ParsedSum& sum, std::string answer, Outcome outcome) {
  if (listener_ != nullptr) listener_->SumAnswered({phase, sum, std::move(answer), outcome});
}

std::string SumText(const ParsedSum& sum, bool with_result) {
  std::string text = std::to_string(sum.a) + sum.op + std::to_string(sum.b) + "=";
  return with_result ? text + std::to_string(sum.r) : text;
}

ParsedSum SumPlayer::PresentSum(int phase, int sum) {
  const ParsedSum parts = ParseOrQuit(phase, sum);
  console_.Display().Show(SumText(parts, false));
  speech_.PlaySoundKey(kSumCue);
  SpeakNumber(parts.a);
  SayOperator(parts.op);
  SpeakNumber(parts.b);
  Write(console_, "=");
  speech_.PlaySoundKey(kEquals);
  expected_answer_ = std::to_string(parts.r);
  return parts;
}

void SumPlayer::SayOperator(char op) {
  Write(console_, std::string(1, op));
  speech_.PlaySoundKey(OperatorKey(op));
}

void SumPlayer::SpeakNumber(int64_t value) {
  if (value >= 0 && value <= 9) {
    const std::string digit(1, static_cast<char>('0' + value));
    Write(console_, digit);
    speech_.PlaySoundKey(digit);
  } else {
    speech_.WriteSpeakInt(value);
  }
  WaitWhileSpeaking();
}

void SumPlayer::WaitWhileSpeaking() {
  while (speech_.IsSpeaking()) console_.WaitMessage();
}

std::string SumPlayer::ReadAnswer() {
  for (;;) {
    std::string text;
    const int code =
        speech_.ReadLineEdit(text, console_.WhereX(), console_.WhereY(), kAnswerLength, true);
    if (code != kEnter) return std::string(1, static_cast<char>(code));
    bool clean = true;
    for (char c : text) clean = clean && IsAnswerChar(c);
    if (clean) return text;
    narrator_.SayMessage(kBadAnswerKey, 1);
  }
}

void SumPlayer::ShowCounting(const ParsedSum& sum) {
  const bool counted = (sum.op == '+' || sum.op == '-') && sum.a <= kLargestCountedOperand &&
                       sum.b <= kLargestCountedOperand;
  if (!counted) return;
  narrator_.SayMessage(kCounting, 1);
  auto count_out = [&](int32_t units) {
    for (int32_t i = 0; i < units; ++i) {
      speech_.PlaySoundKey(kCountClick);
      console_.Delay(kCountingPauseMs);
    }
  };
  SpeakNumber(sum.a);
  console_.Delay(kCountingPauseMs);
  count_out(sum.a);
  console_.Delay(kCountingPauseMs);
  SayOperator(sum.op);
  console_.Delay(kCountingPauseMs);
  SpeakNumber(sum.b);
  count_out(sum.b);
  console_.Delay(kCountingPauseMs);
  Write(console_, "=");
  speech_.PlaySoundKey(kEquals);
  SpeakNumber(sum.r);
  WriteLn(console_);
}

void SumPlayer::OfferTimesTable(const ParsedSum& sum) {
  narrator_.SayMessage(kOfferTable, 0);
  uint8_t key = 0;
  uint8_t extended = 0;
  speech_.ReadKeySpeak(key, extended);
  WriteLn(console_);
  if (key == 'N' || key == 'n') return;
  tables_.TimesTableCheck(sum.a, sum.op);
}

}  // namespace placarim::game
