// What `placarim --help` prints (UTF-8, for a terminal): how the game starts
// and the keys that work everywhere in it.
#pragma once

#include "platform/config_file.h"  // PLACARIM_DEFAULT_SYSCONFDIR

namespace placarim::game {

inline constexpr const char* kHelpText =
    "Placarim: jogo falado de aritmética para crianças cegas.\n"
    "\n"
    "Uso: placarim [--terminal]\n"
    "  O jogo abre a sua janela e fala; com --terminal, ou onde não há tela\n"
    "  gráfica, joga-se no próprio terminal. Tudo o que ele precisa vem de\n"
    "  FALDEK.INI (em " PLACARIM_DEFAULT_SYSCONFDIR ", ou no diretório que\n"
    "  PLACARIM_SYSCONFDIR indicar) e do arquivo de contas placarim.cnf.\n"
    "\n"
    "Teclas:\n"
    "  números e ENTER              responder\n"
    "  ESC                          desistir\n"
    "  Ctrl+Shift+F9 (Ctrl+Alt+F9)  revisão da tela, de dentro de uma resposta\n"
    "  Ctrl+Shift+F11 (Ctrl+Alt+F11)\n"
    "                               digitação braille: liga, e alterna o modo 1\n"
    "                               (células) e o modo 2 (sinais de maiúscula e\n"
    "                               de número); F D S J K L são os pontos 1 a 6\n"
    "  Ctrl+Shift+F12 (Ctrl+Alt+F12)\n"
    "                               digitação braille: desliga\n"
    "  Ctrl+Break                   termina o programa\n"
    "\n"
    "No Linux, Ctrl+Alt+F1 a F12 trocam de console de texto e não chegam ao jogo;\n"
    "use Ctrl+Shift.\n";

}  // namespace placarim::game
