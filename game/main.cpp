// The program: the game on the real platform, in a window or, with
// --terminal or where there is no display, on the text terminal. Everything
// else comes from FALDEK.INI and the exercise file (the teacher's own under
// the user's configuration directory, when there is one). Every answered sum
// is recorded under the user's data directory.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "game/app.h"
#include "game/help_text.h"
#include "game/last_resort.h"
#include "game/platform_choice.h"
#include "game/random.h"
#include "game/screen_dump.h"
#include "game/user_files.h"
#include "console/console_settings.h"
#include "platform/brlapi/brlapi_display.h"
#include "platform/config_file.h"
#include "platform/sdl/sdl_platform.h"
#include "speech/ini_reader.h"
#include "speech/synth_links.h"
#include "voices/tradutor/voice.h"

namespace {

using namespace placarim;

// Builds the program's graph on `real` and plays. The game ends through the
// platform's Exit, whose ProgramExit unwinds this whole graph in order: the
// voices, the speech service's connection, wave playback and the console.
[[noreturn]] void Play(platform::Platform& real, game::Random& random) {
  const char* dump_path = std::getenv("PLACARIM_SCREEN_DUMP");
  game::ScreenDumpPlatform dumping(real, dump_path != nullptr ? dump_path : "");
  const bool dump = dump_path != nullptr && *dump_path != '\0';
  platform::Platform& platform = dump ? static_cast<platform::Platform&>(dumping) : real;

  const game::VoiceFactory make_voice = [](const game::VoicePorts& ports) -> std::unique_ptr<tradutor::DiphoneVoiceApi> {
    return std::make_unique<tradutor::DiphoneVoice>(ports.sound, ports.loop, ports.settings);
  };
  // espeak-ng, the desktop's speech service and the Ilvra voice, used when
  // FALDEK.INI asks for an external synthesizer ("SAPI" of "TRADUTOR"). Each
  // voice reads its own settings from the configuration when it is made.
  const speech::IniReader voice_settings(platform::StartDirectory());
  const game::SynthesizerFactory make_synthesizer = [&voice_settings](console::Console& console, sound::WavePlayer& wave) {
    auto system = std::make_shared<speech::SynthSystem>(console, wave, &voice_settings);
    return std::shared_ptr<speech::Synthesizer>(system, &system->dispatcher);
  };
  const game::TeacherFiles teacher_files{game::UserExerciseFile(), game::PlayRecordFile(), game::ClassListFile()};
  // A braille display, when the braille daemon serves one; looking for it
  // happens on its own thread and never holds the game up.
  platform::brlapi::BrlapiSettings braille;
  braille.typed_cells = !console::ComputerBrailleChosen(platform::ReadConfigValue(
      platform::LocateConfigFile(platform::StartDirectory()), "BRAILLE", "TABELA"));
  platform::brlapi::BrlapiDisplay display(platform.Events(), braille);
  game::App app(platform, platform::StartDirectory(), random, make_voice, make_synthesizer, teacher_files,
                &display);
  if (dump) dumping.Watch(app.Console());
  app.Run();
}

// Chooses the platform and plays; the code the program ends with.
int PlayTheGame(int argc, char** argv) {
  game::SeededRandom random(game::ClockSeed());  // first: one seed for the whole run
  std::string unknown;
  const bool terminal = game::TerminalAsked(std::vector<std::string>(argv + 1, argv + argc), unknown);
  if (!unknown.empty()) {
    std::fprintf(stderr, "placarim: opção desconhecida: %s\nUso: placarim [--terminal]\n", unknown.c_str());
    return 2;
  }
  std::string error;
  const auto kind = game::ChoosePlatform(game::HintsOfThisProcess(terminal, platform::StartDirectory()));
  std::unique_ptr<platform::Platform> real = game::OpenPlatform(kind, error);
  if (!real) {
    std::fprintf(stderr, "placarim: %s\n", error.c_str());
    return 1;
  }
  int code = 0;
  try {
    Play(*real, random);
  } catch (const platform::ProgramExit& exit) {
    code = exit.code;
  }
  real.reset();
  platform::sdl::SdlPlatform::Shutdown();
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(placarim::game::kHelpText, stdout);
    return 0;
  }
  return placarim::game::RunReportingFailures([&] { return PlayTheGame(argc, argv); }, std::cerr);
}
