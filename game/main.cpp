// The program: the game on the real platform. It takes no arguments;
// everything comes from FALDEK.INI and the exercise file.
#include <cstdlib>

#include "game/app.h"
#include "game/random.h"
#include "game/screen_dump.h"
#include "platform/config_file.h"
#include "platform/sdl/sdl_platform.h"
#include "speech/ini_reader.h"
#include "speech/synth_links.h"
#if PLACARIM_WITH_DIPHONE_VOICE
#include "tradutor/voice.h"
#endif

int main() {
  using namespace placarim;
  game::SeededRandom random(game::ClockSeed());  // first: one seed for the whole run
  platform::sdl::SdlPlatform sdl;
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
  // espeak-ng, the desktop's speech service and the Ilvra voice, used when
  // FALDEK.INI asks for an external synthesizer ("SAPI" of "TRADUTOR"). The
  // Ilvra voice's files are named by the configuration as the program starts.
  const speech::IlvraSettings ilvra = speech::ReadIlvraSettings(speech::IniReader(platform::StartDirectory()));
  const game::SynthesizerFactory make_synthesizer = [ilvra](console::Console& console, sound::WavePlayer& wave) {
    auto system = std::make_shared<speech::SynthSystem>(console, wave, ilvra);
    return std::shared_ptr<speech::Synthesizer>(system, &system->dispatcher);
  };
  game::App app(platform, platform::StartDirectory(), random, make_voice, make_synthesizer);
  if (dump) dumping.Watch(app.Console());
  app.Run();
}
