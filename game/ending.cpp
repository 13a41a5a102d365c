#include "game/ending.h"

#include "console/colours.h"
#include "game/message_keys.h"
#include "game/screen.h"

namespace placarim::game {
namespace {

using console::colour::kBlack;
using console::colour::kWhite;
using console::colour::kYellow;

}  // namespace

Ending::Ending(console::Console& console, SpeechPort& speech, Narrator& narrator)
    : console_(console), speech_(speech), narrator_(narrator) {}

void Ending::GiveUp() {
  narrator_.SayMessage(kGivesUp, 2);
  console_.Delay(2000);
}

void Ending::ShowCredits() {
  while (console_.KeyPressed()) console_.ReadKey();
  console_.TextBackground(kBlack);
  console_.ClrScr();
  WriteLn(console_);
  WriteLn(console_);
  console_.TextColor(kWhite);
  WriteLn(console_, Cp1252("   O PLACARIM é um programa sonoro, criado para auxiliar"));
  WriteLn(console_, Cp1252("   na educação básica de crianças com deficiência visual e sua"));
  WriteLn(console_, Cp1252("   integração com outras crianças."));
  WriteLn(console_);
  console_.TextColor(kYellow);
  WriteLn(console_, Cp1252("   Feito pela equipe do projeto Placarim, com as ideias de quem ensina"));
  WriteLn(console_, Cp1252("   e de quem joga."));
  WriteLn(console_);
  console_.TextColor(kWhite);
  WriteLn(console_, Cp1252("   Placarim v1.0, programa livre para Linux."));
  WriteLn(console_, Cp1252("   Ajuda e novidades: o arquivo README.md que acompanha o jogo."));
  WriteLn(console_, Cp1252("   As contas ficam no arquivo placarim.cnf; o professor pode mudá-las."));
  WriteLn(console_, Cp1252("   Dúvidas e sugestões: fale com o projeto Placarim onde você o obteve."));
  console_.ReadKey();
  QuitGame();
}

void Ending::QuitGame() {
  speech_.FinishSpeech();
  console_.Delay(1000);
  console_.Done();
}

}  // namespace placarim::game
