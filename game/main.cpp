// The program: builds the one graph of units on the real platform and plays.
// It takes no arguments; everything comes from FALDEK.INI and the exercise file.
#include "console/console.h"
#include "console/screen_review.h"
#include "game/game.h"
#include "game/random.h"
#include "game/speech_link.h"
#include "platform/config_file.h"
#include "platform/sdl/sdl_platform.h"
#include "sound/wave_player.h"
#include "speech/line_editor.h"
#include "speech/speech_layer.h"
#if PLACARIM_WITH_DIPHONE_VOICE
#include "tradutor/voice.h"
#endif

int main() {
  using namespace placarim;
  game::SeededRandom random(game::ClockSeed());  // first: one seed for the whole run
  platform::sdl::SdlPlatform platform;
  console::Console console(platform, platform::StartDirectory());
  sound::WavePlayer wave(console, platform.Audio());
  speech::SpeechLayer layer(console, wave);
#if PLACARIM_WITH_DIPHONE_VOICE
  tradutor::DiphoneVoice voice(layer.speech, layer.speech.VoiceConfig());
  layer.speech.AttachVoice(voice);
#endif
  speech::LineEditor editor(console, layer.speech, layer.wave_link);
  console::ScreenReview review(console, layer.speech);
  editor.SetScreenReview([&review] { review.ConsoleScreenReview(); });
  game::SpeechLink link(layer.speech, layer.ini, editor);
  game::Game game(console, link, random);
  game.Run();
}
