// The program: the game on the real platform. It takes no arguments (but
// --help); everything comes from FALDEK.INI and the exercise file.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "game/app.h"
#include "game/help_text.h"
#include "game/random.h"
#include "game/screen_dump.h"
#include "platform/config_file.h"
#include "platform/sdl/sdl_platform.h"
#include "speech/synth_links.h"
#if PLACARIM_WITH_DIPHONE_VOICE
#include "tradutor/voice.h"
#endif

namespace {

using namespace placarim;

// The front end the game is played on: the SDL window when a display can be
// had. With none the child could hear the game but never answer it, so the
// program says so and ends with code 1; a text-terminal front end would be
// chosen here instead.
std::unique_ptr<platform::sdl::SdlPlatform> OpenFrontEnd() {
  auto sdl = std::make_unique<platform::sdl::SdlPlatform>();
  if (sdl->OpenDisplay()) return sdl;
  std::fputs(
      "placarim: there is no display to open the game's window on, and the game\n"
      "  hears its keys only there. Start it from a desktop session (DISPLAY or\n"
      "  WAYLAND_DISPLAY names the display).\n",
      stderr);
  return nullptr;
}

// Builds the program's graph on `sdl` and plays; the game ends by Exit, whose
// ProgramExit unwinds this whole graph in order.
[[noreturn]] void Play(platform::sdl::SdlPlatform& sdl, game::Random& random) {
  const char* dump_path = std::getenv("PLACARIM_SCREEN_DUMP");
  game::ScreenDumpPlatform dumping(sdl, dump_path != nullptr ? dump_path : "");
  const bool dump = dump_path != nullptr && *dump_path != '\0';
  platform::Platform& platform = dump ? static_cast<platform::Platform&>(dumping) : sdl;

  game::VoiceFactory make_voice;
#if PLACARIM_WITH_DIPHONE_VOICE
  make_voice = [](speech::Speech& speech) -> std::unique_ptr<tradutor::DiphoneVoiceApi> {
    return std::make_unique<tradutor::DiphoneVoice>(speech, speech.VoiceConfig());
  };
#endif
  // espeak-ng and the desktop's speech service, used when FALDEK.INI asks for
  // an external synthesizer ("SAPI" of "TRADUTOR").
  const game::SynthesizerFactory make_synthesizer = [](console::Console& console, sound::WavePlayer& wave) {
    auto system = std::make_shared<speech::SynthSystem>(console, wave);
    return std::shared_ptr<speech::Synthesizer>(system, &system->dispatcher);
  };
  game::App app(platform, platform::StartDirectory(), random, make_voice, make_synthesizer);
  if (dump) dumping.Watch(app.Console());
  app.Run();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(game::kHelpText, stdout);
    return 0;
  }
  game::SeededRandom random(game::ClockSeed());  // first: one seed for the whole run
  auto front_end = OpenFrontEnd();
  if (!front_end) return 1;
  int code = 0;
  try {
    Play(*front_end, random);
  } catch (const platform::ProgramExit& exit) {
    code = exit.code;
  }
  front_end.reset();
  platform::sdl::SdlPlatform::Shutdown();
  return code;
}
