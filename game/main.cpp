// The program: the game on the real platform, in a window or, with
// --terminal or where there is no display, on the text terminal. Everything
// else comes from FALDEK.INI and the exercise file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/app.h"
#include "game/platform_choice.h"
#include "game/random.h"
#include "game/screen_dump.h"
#include "platform/config_file.h"
#include "speech/synth_links.h"
#include "tradutor/voice.h"

int main(int argc, char** argv) {
  using namespace placarim;
  game::SeededRandom random(game::ClockSeed());  // first: one seed for the whole run
  std::string unknown;
  const bool terminal = game::TerminalAsked(std::vector<std::string>(argv + 1, argv + argc), unknown);
  if (!unknown.empty()) {
    std::fprintf(stderr, "placarim: opção desconhecida: %s\nUso: placarim [--terminal]\n", unknown.c_str());
    return 2;
  }
  std::string error;
  const auto kind = game::ChoosePlatform(game::HintsOfThisProcess(terminal, platform::StartDirectory()));
  const std::unique_ptr<platform::Platform> real = game::OpenPlatform(kind, error);
  if (!real) {
    std::fprintf(stderr, "placarim: %s\n", error.c_str());
    return 1;
  }
  const char* dump_path = std::getenv("PLACARIM_SCREEN_DUMP");
  game::ScreenDumpPlatform dumping(*real, dump_path != nullptr ? dump_path : "");
  const bool dump = dump_path != nullptr && *dump_path != '\0';
  platform::Platform& platform = dump ? static_cast<platform::Platform&>(dumping) : *real;

  const game::VoiceFactory make_voice = [](speech::Speech& speech) -> std::unique_ptr<tradutor::DiphoneVoiceApi> {
    return std::make_unique<tradutor::DiphoneVoice>(speech, speech.VoiceConfig());
  };
  // espeak-ng and the desktop's speech service, used when FALDEK.INI asks for
  // an external synthesizer ("SAPI" of "TRADUTOR").
  const game::SynthesizerFactory make_synthesizer = [&platform](console::Console& console, sound::WavePlayer& wave) {
    auto system = std::make_shared<speech::SynthSystem>(console, platform, wave);
    return std::shared_ptr<speech::Synthesizer>(system, &system->dispatcher);
  };
  game::App app(platform, platform::StartDirectory(), random, make_voice, make_synthesizer);
  if (dump) dumping.Watch(app.Console());
  app.Run();
}
