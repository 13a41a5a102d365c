// Whole games through the program's own object graph on the headless
// platform: what reached the audio device and what the screen showed.
#include <gtest/gtest.h>

#include "game/message_catalogue.h"
#include "game/message_keys.h"
#include "tests/game/program_harness.h"
#include "tests/support/speech_fakes.h"

namespace placarim::game::testing {
namespace {

const char* kOneSum = "Para o professor\r\n*Treino\r\n2 + 3 = 5\r\n";

// What the voice is first handed for a catalogue text: its leading run of
// words (the speech layer ends the text with a blank and stops a run at the
// first digit or punctuation mark).
std::string VoiceOf(const std::string& text) {
  const std::string spoken = text + " ";
  size_t n = 0;
  while (n < spoken.size()) {
    const auto c = static_cast<uint8_t>(spoken[n]);
    const bool word = c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
    if (!word) break;
    ++n;
  }
  return "voz:" + spoken.substr(0, n);
}
std::string VoiceOfKey(std::string_view key) { return VoiceOf(*MessageCatalogue().Find(key)); }

// The phase announcement and the first sum of kOneSum, as heard.
const std::vector<std::string> kPhaseOneAndFirstSum = {
    "PLTANA", VoiceOfKey(kPhaseStarts), "_49", "PLTANA3", "PLTANA2", "2", "PLMAIS", "3", "PLIGUAL"};

TEST(Program, MenuIsReadOutAndChampionshipOneStartsItsFirstPhase) {
  ProgramRun run;
  run.WriteExerciseFile(kOneSum);
  for (const char* step : {"1", "\x1b", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);

  ASSERT_GE(run.waits.size(), 2u);
  const Wait& menu = run.waits[0];
  EXPECT_EQ(menu.rows[8], "1 - Treino no quintal");
  EXPECT_EQ(menu.rows[16], "9 - Copa do Mundo");
  // Before the menu waits: the opening music, the greeting, the question, the
  // nine digits each with its championship's name, and the TAB hint.
  const auto heard = run.Heard();
  ASSERT_GE(heard.size(), menu.heard);
  const std::vector<std::string> before_menu(heard.begin(), heard.begin() + static_cast<long>(menu.heard));
  ASSERT_GE(before_menu.size(), 4u);
  EXPECT_EQ(before_menu[0], "PLMUSINI");
  EXPECT_EQ(before_menu[1], VoiceOfKey(kGameStarts));
  EXPECT_EQ(before_menu[2], VoiceOfKey(kWhichChampionship));
  std::vector<std::string> digits;
  for (const std::string& name : before_menu)
    if (name.size() == 1) digits.push_back(name);
  EXPECT_EQ(digits, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_TRUE(run.HeardRun({"1", VoiceOf("Treino no quintal"), "2"}));
  EXPECT_TRUE(run.HeardRun({"9", VoiceOf("Copa do Mundo"), VoiceOf(*MessageCatalogue().Find("PLNIVEL0"))}));

  // "1" is echoed from the letters directory, then the phase begins.
  std::vector<std::string> chosen = {"_49"};
  chosen.insert(chosen.end(), kPhaseOneAndFirstSum.begin(), kPhaseOneAndFirstSum.end());
  EXPECT_TRUE(run.HeardRun(chosen, menu.heard));
  const Wait& sum = run.waits[1];
  EXPECT_EQ(sum.rows[1], "Placarim");
  EXPECT_EQ(sum.rows[3], Cp1252("Tem início agora a fase 1"));
  EXPECT_EQ(sum.rows[6], "2+3=");
}

TEST(Program, RightAnswerIsAGoalAndWinsTheOnePhaseChampionship) {
  ProgramRun run;
  run.WriteExerciseFile(kOneSum);
  // The answer's digit and ENTER are separate presses, so the digit's echo is heard.
  for (const char* step : {"1", "5", "\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);

  const MessageCatalogue catalogue;
  // "Gol! " and the first commentary phrase: the game's "!" is a pause,
  // never the recording of the character's name.
  EXPECT_TRUE(run.HeardRun({"PLIGUAL", "_53", "PLCHUTE", "voz:Gol", VoiceOf(catalogue.GoalPhrase(1))}));
  for (const char* mark : {"_33", "_46", "_63"}) EXPECT_EQ(run.CountHeard(mark), 0) << mark;
  // Straight from the last goal to the championship: no phase-won fanfare.
  EXPECT_TRUE(run.HeardRun({"PLUAU", VoiceOfKey(kChampionshipWon)}));
  EXPECT_TRUE(run.HeardRun({"PLPALMAS", "PLMUSFIM", VoiceOfKey(kGameEnds)}));
  EXPECT_EQ(run.CountHeard(VoiceOfKey(kPhaseWon)), 0);
  EXPECT_EQ(run.CountHeard("PLTANA3"), 1);

  const Wait* won = run.WaitShowing("GANHOU O CAMPEONATO");
  ASSERT_NE(won, nullptr);
  EXPECT_EQ(won->rows[6], "2+3=5");
  EXPECT_EQ(won->rows[7], "Gol! " + catalogue.GoalPhrase(1));
  ASSERT_NE(run.WaitShowing("O PLACARIM"), nullptr);
  // The voice closed once, at the end.
  ASSERT_NE(run.voice, nullptr);
  EXPECT_EQ(run.voice->opens, 1);
  EXPECT_EQ(run.voice->closes, 1);
}

TEST(Program, WrongAnswerIsAMissCountedOutAndThePhaseReplays) {
  ProgramRun run;
  run.WriteExerciseFile(kOneSum);
  for (const char* step : {"1", "4", "\r", "5", "\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);

  const MessageCatalogue catalogue;
  EXPECT_TRUE(run.HeardRun({"PLIGUAL", "_52", "PLCHUTE"}));
  EXPECT_NE(run.CountHeard(VoiceOf(catalogue.MissPhrase(1))), 0) << run.HeardText(0);
  // The sum counted out: two ticks, plus, three ticks, equals five.
  const size_t counting = run.IndexHeard(VoiceOfKey(kCounting));
  EXPECT_TRUE(run.HeardRun({"2", "PLCLOK", "PLCLOK", "PLMAIS", "3", "PLCLOK",
                            "PLCLOK", "PLCLOK", "PLIGUAL", "5"}, counting));
  // Then the phase starts over from its announcement, and the right answer wins it.
  const size_t lost = run.IndexHeard(VoiceOfKey(kPhaseLost), counting);
  const size_t again = run.IndexHeard(VoiceOfKey(kPhaseReplay), lost);
  ASSERT_NE(again, std::string::npos) << run.HeardText(0);
  std::vector<std::string> replay = kPhaseOneAndFirstSum;
  replay.insert(replay.end(), {"_53", "PLCHUTE"});
  EXPECT_TRUE(run.HeardRun(replay, again));
  EXPECT_EQ(run.CountHeard("PLTANA3"), 2);
  EXPECT_EQ(run.CountHeard(VoiceOfKey(kChampionshipWon)), 1);

  const Wait* missed = run.WaitShowing("2+3=4");
  ASSERT_NE(missed, nullptr);
  // Each counting tick is followed by half a second of quiet.
  const Wait* replayed = nullptr;
  for (const Wait& wait : run.waits)
    if (wait.rows[6] == "2+3=" && wait.time_ms > missed->time_ms) replayed = &wait;
  ASSERT_NE(replayed, nullptr);
  EXPECT_GE(replayed->time_ms - missed->time_ms, 5 * 500);
}

TEST(Program, EscWhileAnsweringGivesUpAndShowsTheCredits) {
  ProgramRun run;
  run.WriteExerciseFile(kOneSum);
  for (const char* step : {"1", "\x1b", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);

  EXPECT_TRUE(run.HeardRun({"PLIGUAL", VoiceOfKey(kGivesUp)}));
  EXPECT_EQ(run.CountHeard("PLCHUTE"), 0);
  ASSERT_EQ(run.waits.size(), 3u);
  const Wait& credits = run.waits[2];
  EXPECT_NE(credits.rows[3].find("O PLACARIM"), std::string::npos);
  // Two seconds to hear the goodbye before the credits.
  EXPECT_GE(credits.time_ms - run.waits[1].time_ms, 2000);
  EXPECT_EQ(credits.heard, run.Heard().size()) << "the credits screen is silent";
}

TEST(Program, EscOnTheMenuSaysGoodbyeWithoutCredits) {
  ProgramRun run;
  run.WriteExerciseFile(kOneSum);
  run.Keys("\x1b");
  EXPECT_EQ(run.Play(), 0);

  EXPECT_TRUE(run.HeardRun({VoiceOfKey(kGivesUp)}, run.waits[0].heard));
  EXPECT_TRUE(run.HeardRun({VoiceOfKey(kGameEnds)}, run.waits[0].heard));
  EXPECT_EQ(run.waits.size(), 1u);
  EXPECT_EQ(run.WaitShowing("O PLACARIM"), nullptr);
}

TEST(Program, MissingExerciseFileIsSaidAndTheProgramEnds) {
  ProgramRun run;  // no exercise file written
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.HeardRun({"PLMUSINI", VoiceOfKey(kGameStarts), VoiceOfKey(kFileMissing)}));
  EXPECT_TRUE(run.waits.empty());
}

TEST(Program, ExerciseFileNamedWithAccentsAndBackslashesIsFound) {
  // FALDEK.INI is Windows-1252; the file system's names are UTF-8.
  ProgramRun run;
  run.WriteExerciseFileNamed("exerc\xED" "cios.cnf", "exerc\xC3\xAD" "cios.cnf", kOneSum);
  for (const char* step : {"1", "5", "\r", "\r", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  EXPECT_EQ(run.CountHeard(VoiceOfKey(kFileMissing)), 0);
  EXPECT_TRUE(run.HeardRun({"PLUAU", VoiceOfKey(kChampionshipWon)}));
}

TEST(Program, RecordingOfAMessageIsPreferredToTheVoice) {
  ProgramRun run;
  run.AddRecording(std::string(kGameStarts));
  run.WriteExerciseFile(kOneSum);
  run.Keys("\x1b");
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.HeardRun({"PLMUSINI", std::string(kGameStarts), VoiceOfKey(kWhichChampionship)}));
  EXPECT_EQ(run.CountHeard(VoiceOfKey(kGameStarts)), 0);
  EXPECT_EQ(run.waits[0].rows[3], Cp1252("Tem início o jogo Placarim"));
}

TEST(Program, WithoutAVoiceTheRecordingsStillPlay) {
  ProgramRun run(VoiceKind::kNone);
  run.WriteExerciseFile(kOneSum);
  for (const char* step : {"1", "\x1b", " "}) run.Keys(step);
  EXPECT_EQ(run.Play(), 0);
  EXPECT_TRUE(run.HeardRun({"PLMUSINI", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_TRUE(run.HeardRun({"PLTANA", "PLTANA3", "PLTANA2", "2", "PLMAIS", "3", "PLIGUAL"}));
  for (const std::string& name : run.Heard()) EXPECT_FALSE(name.starts_with("voz:")) << name;
}

TEST(Program, VoiceThatCannotOpenIsReportedAndEndsTheProgram) {
  ProgramRun run(VoiceKind::kFailsToOpen);
  run.WriteExerciseFile(kOneSum);
  run.Keys("\r");
  EXPECT_EQ(run.Play(), 1);  // a program that could not start does not end as a success
  ASSERT_EQ(run.waits.size(), 1u);  // waits for Enter, then ends
  const Wait& report = run.waits[0];
  EXPECT_EQ(report.rows[1], Cp1252("Erro de inicialização: 1"));
  EXPECT_EQ(report.rows[2], "Banco de dados de voz: DIFONES3");
  EXPECT_TRUE(run.Heard().empty()) << run.HeardText(0);
}

// With "SAPI" on, the program's synthesizer factory is used: texts go to the
// external synthesizer whole, recordings still play from their files.
TEST(Program, ConfiguredExternalSynthesizerSpeaksTheTexts) {
  ProgramRun run;
  run.sapi = "Sim";
  run.WriteConfiguration("[SERVFALA]\r\nTIPOSAPI=4\r\nVOZ=1\r\n");
  run.WriteExerciseFile(kOneSum);
  speech::testing::Journal spoken;
  speech::testing::FakeSynthesizer* synthesizer = nullptr;
  run.make_synthesizer = [&](console::Console&, sound::WavePlayer&) {
    auto made = std::make_shared<speech::testing::FakeSynthesizer>(spoken);
    synthesizer = made.get();
    return std::shared_ptr<speech::Synthesizer>(made);
  };
  run.Keys("\x1b");
  EXPECT_EQ(run.Play(), 0);
  ASSERT_NE(synthesizer, nullptr);
  EXPECT_EQ(synthesizer->type, 4);
  EXPECT_EQ(synthesizer->voice, 1);
  ASSERT_FALSE(spoken.empty());
  EXPECT_EQ(spoken.front(), "synth:" + *MessageCatalogue().Find(kGameStarts));
  for (const std::string& heard : run.Heard()) EXPECT_FALSE(heard.starts_with("voz:")) << heard;
}

}  // namespace
}  // namespace placarim::game::testing
