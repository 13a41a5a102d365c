#include "game/game.h"

#include <filesystem>
#include <system_error>

#include "console/display_line.h"
#include "console/keys.h"
#include "game/class_list.h"
#include "game/message_keys.h"
#include "game/screen.h"
#include "game/user_files.h"

namespace placarim::game {
namespace {

using namespace console::plain;

constexpr std::string_view kSection = "PLACARIM";

std::string MenuKey(char digit) { return std::string(kWhichChampionship) + digit; }

}  // namespace

// The braille display follows the menu as it is read: the item being said.
void Game::ShowMessage(std::string_view prefix, std::string_view key) {
  const std::string* text = narrator_.Catalogue().Find(key);
  console_.Display().Show(std::string(prefix) + (text != nullptr ? *text : std::string()));
}

namespace {

}  // namespace

Game::Game(console::Console& console, SpeechPort& speech, Random& random, const TeacherFiles& files,
           platform::Clock* clock)
    : console_(console),
      speech_(speech),
      random_(random),
      narrator_(console, speech, random),
      ending_(console, speech, narrator_),
      tables_(console, speech, narrator_),
      player_(console, speech, narrator_, ending_, tables_, championship_),
      user_exercise_file_(files.user_exercise_file),
      class_list_file_(files.class_list_file) {
  if (clock != nullptr && !files.record_file.empty()) {
    log_ = std::make_unique<PlayLog>(console, speech, *clock, files.record_file);
    player_.SetAnswerListener(log_.get());
  }
}

void Game::Run() {
  StartUp();
  LoadChampionship(ChooseChampionship());
  for (int phase = 1; phase <= championship_.phase_count; ++phase) {
    PlayPhase(phase);
    if (phase < championship_.phase_count) PhaseWon();
  }
  ChampionshipWon();
  ending_.ShowCredits();
}

void Game::StartUp() {
  speech_.SpeechStart(0, speech_.ReadIniString(kSection, "DIRPLACARIM"));
  speech_.SetSpeakPunctuation(false);
  WriteLn(console_, kTitleLine);
  WriteLn(console_);
  speech_.PlaySoundKey(kStartMusic);
  narrator_.SayMessage(kGameStarts, 2);
  const std::string child = ChooseChild();
  // A child's own file comes first, then the teacher's, then the configured
  // one. The configured name is written the configuration's way; a name with
  // accents (an installation under /home/joão) must still be found.
  const std::string child_file = ChildExerciseFile(class_list_file_, child);
  std::error_code error;
  exercise_file_ = !child.empty() && !child_file.empty() && std::filesystem::exists(child_file, error)
                       ? child_file
                       : ChooseExerciseFile(user_exercise_file_,
                                            speech_.LocalPath(speech_.ReadIniString(kSection, "CONFIGPLACARIM")));
  if (!CanOpenForReading(exercise_file_)) {
    narrator_.SayMessage(kFileMissing, 1);
    ending_.QuitGame();
  }
  if (log_) {
    log_->SetChild(child);
    log_->Start();
  }
}

std::string Game::ChooseChild() {
  if (class_list_file_.empty()) return {};
  const auto bytes = ReadWholeFile(class_list_file_);
  if (!bytes) return {};
  const ClassList list = ReadClassList(*bytes);
  if (list.names.empty()) return {};
  return ChildChoice(console_, speech_, narrator_).Choose(list.names);
}

int Game::ChooseChampionship() {
  for (;;) {
    SayMenu();
    uint8_t key = 0;
    uint8_t extended = 0;
    speech_.ReadKeySpeak(key, extended);
    while (key == kEnter || key == kBackspace) {
      if (key == kEnter) narrator_.SayMessage(kWhichChampionship, 1);
      speech_.ReadKeySpeak(key, extended);
    }
    WriteLn(console_);
    if (key == kEscape) {
      narrator_.SayMessage(kGivesUp, 1);
      narrator_.SayMessage(kGameEnds, 1);
      ending_.QuitGame();
    }
    if (key == kTab) {
      tables_.TimesTableField();
    } else if (key >= '1' && key <= '9') {
      return key - '0';
    } else {
      narrator_.SayMessage(kMenuAgain, 1);
    }
    ClearPlayArea(console_);
  }
}

void Game::SayMenu() {
  WriteLn(console_);
  while (console_.KeyPressed()) console_.ReadKey();
  ShowMessage("", kWhichChampionship);
  narrator_.SayMessage(kWhichChampionship, 2);
  for (char digit = '1'; digit <= '9'; ++digit) {
    ShowMessage(std::string(1, digit) + " - ", MenuKey(digit));
    Write(console_, std::string(1, digit));
    speech_.PlaySoundKey(std::string(1, digit));
    Write(console_, " - ");
    narrator_.SayMessage(MenuKey(digit), 1);
  }
  WriteLn(console_);
  WriteLn(console_);
  ShowMessage("", MenuKey('0'));
  narrator_.SayMessage(MenuKey('0'), 1);
}

void Game::LoadChampionship(int number) {
  // The file is read afresh: the teacher may have changed it since start-up.
  const auto bytes = ReadWholeFile(exercise_file_);
  if (!bytes) {
    narrator_.SayMessage(kFileMissing, 1);
    ending_.QuitGame();
  }
  LoadResult loaded = LoadChampionshipText(*bytes, number);
  if (loaded.title) WriteLn(console_, *loaded.title);
  for (const std::string& error : loaded.errors) narrator_.SayMessage(error, 1);
  if (!loaded.ok()) ending_.QuitGame();
  championship_ = std::move(loaded.championship);
  if (log_) log_->SetChampionship(number, *loaded.title);
}

void Game::PlayPhase(int phase) {
  const int sum_count = championship_.SumCount(phase);
  for (;;) {
    player_.ClearPhaseFailed();
    StartPhase(phase);
    for (int sum = 1; sum <= sum_count; ++sum) player_.PlaySum(phase, sum);
    if (!player_.PhaseFailed()) return;
    WriteLn(console_);
    narrator_.SayMessage(kPhaseLost, 1);
    narrator_.SayMessage(kPhaseReplay, 1);
  }
}

void Game::StartPhase(int phase) {
  console_.ClrScr();
  WriteLn(console_, "Placarim");
  WriteLn(console_);
  speech_.PlaySoundKey(kFanfare);
  narrator_.SayMessage(kPhaseStarts, 0);
  const std::string number = std::to_string(phase);
  WriteLn(console_, number);
  if (phase <= 9) {
    speech_.SpellText(number);
  } else {
    speech_.SpeakText(number);
  }
  speech_.PlaySoundKey(kShortFanfare);
  WriteLn(console_);
  ShufflePhase(championship_, phase, random_);
}

void Game::PhaseWon() {
  WriteLn(console_);
  speech_.PlaySoundKey(kFanfare);
  speech_.PlaySoundKey(kCrowd);
  narrator_.SayMessage(kPhaseWon, 1);
  WriteLn(console_);
}

void Game::ChampionshipWon() {
  WriteLn(console_);
  WriteLn(console_);
  speech_.PlaySoundKey(kCrowd);
  narrator_.SayMessage(kChampionshipWon, 2);
  speech_.PlaySoundKey(kApplause);
  speech_.PlaySoundKey(kEndMusic);
  narrator_.SayMessage(kGameEnds, 1);
  for (;;) {
    const uint8_t key = console_.ReadKey();
    if (key == kEnter || key == kCtrlEnter) return;
  }
}

}  // namespace placarim::game
