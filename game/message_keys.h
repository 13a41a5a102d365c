// The message and sound-cue keys of the game. A key names a catalogue text
// and/or a recording "<key>.wav" in the game's sound directory.
#pragma once

#include <string_view>

namespace placarim::game {

// Texted messages (the catalogue holds their default texts).
inline constexpr std::string_view kGameStarts = "PLINIC";
inline constexpr std::string_view kGameEnds = "PLFIM";
inline constexpr std::string_view kFileMissing = "PLARQNAO";
inline constexpr std::string_view kWhichChampionship = "PLNIVEL";  // + "0".."9" for the menu lines
inline constexpr std::string_view kGivesUp = "PLDESIST";
inline constexpr std::string_view kMenuAgain = "PLDENOVO";
inline constexpr std::string_view kFileDamaged = "PLERRARQ";
inline constexpr std::string_view kTooManySums = "PLERRMAX";
inline constexpr std::string_view kPhaseStarts = "PLFASE";
inline constexpr std::string_view kPhaseWon = "PLFIMFAS";
inline constexpr std::string_view kBadAnswerKey = "PLERRTEC";
inline constexpr std::string_view kOfferTable = "PLQUERTB";
inline constexpr std::string_view kCheckTableOpens = "PLCONFTB";
inline constexpr std::string_view kMissShout = "PLNGOL";  // + 1..13: recorded miss phrases
inline constexpr std::string_view kGoalShout = "PLGOL";   // + 1..25: recorded goal phrases
inline constexpr std::string_view kCounting = "PLCONFER";
inline constexpr std::string_view kDamagedSum = "PLERREXP";
inline constexpr std::string_view kPhaseLost = "PLDENOV1";
inline constexpr std::string_view kPhaseReplay = "PLDENOV2";
inline constexpr std::string_view kChampionshipWon = "PLGANHOU";
inline constexpr std::string_view kFieldOpens = "PLTREITB";
inline constexpr std::string_view kFieldArrows = "PLUSESET";
inline constexpr std::string_view kFieldEnter = "PLAPENTR";
inline constexpr std::string_view kWhoPlays = "PLQUEMJO";
inline constexpr std::string_view kWhoPlaysKeys = "PLSETALU";
inline constexpr std::string_view kChildChosen = "PLENTRA";  // the name follows on the same line
inline constexpr std::string_view kNoNameChosen = "PLSEMNOM";

// Sound cues: recordings only.
inline constexpr std::string_view kStartMusic = "PLMUSINI";
inline constexpr std::string_view kFanfare = "PLTANA";
inline constexpr std::string_view kShortFanfare = "PLTANA3";
inline constexpr std::string_view kSumCue = "PLTANA2";
inline constexpr std::string_view kPlus = "PLMAIS";
inline constexpr std::string_view kMinus = "PLMENOS";
inline constexpr std::string_view kTimes = "PLVEZES";
inline constexpr std::string_view kDivided = "PLDIVID";
inline constexpr std::string_view kEquals = "PLIGUAL";
inline constexpr std::string_view kKick = "PLCHUTE";
inline constexpr std::string_view kCountClick = "PLCLOK";
inline constexpr std::string_view kCrowd = "PLUAU";
inline constexpr std::string_view kApplause = "PLPALMAS";
inline constexpr std::string_view kEndMusic = "PLMUSFIM";
inline constexpr std::string_view kFieldMusic = "PLINITRT";

// The cue said for an operator character; empty for any other character.
constexpr std::string_view OperatorKey(char op) {
  switch (op) {
    case '+': return kPlus;
    case '-': return kMinus;
    case '*': case 'x': case 'X': return kTimes;
    case '/': case ':': return kDivided;
    default: return {};
  }
}

}  // namespace placarim::game
