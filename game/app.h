// The one object graph of the program, built in the order the units need each
// other: platform -> console -> wave playback -> speech layer -> voice (when
// there is one) -> line editor and screen review -> game. The program builds
// it on the SDL platform; tests build the very same graph on the headless
// platform.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "console/console.h"
#include "editor/screen_review.h"
#include "game/game.h"
#include "game/random.h"
#include "game/speech_link.h"
#include "platform/platform.h"
#include "sound/main_loop.h"
#include "sound/sound_output.h"
#include "sound/wave_player.h"
#include "editor/line_editor.h"
#include "speech/speech_layer.h"
#include "voices/tradutor/diphone_voice.h"

namespace placarim::game {

// What the built-in voice is made with: the sound output and main loop it is
// heard through, as every voice, and how it reads its settings.
struct VoicePorts {
  sound::SoundOutput& sound;
  sound::MainLoop& loop;
  tradutor::VoiceSettings& settings;
};

// Builds the built-in voice; the speech layer is made first and the voice is
// attached to it. An empty factory leaves words unspoken (recordings, letters
// and numbers still play).
using VoiceFactory = std::function<std::unique_ptr<tradutor::DiphoneVoiceApi>(const VoicePorts&)>;

// Builds the external synthesizers' dispatcher; it speaks through the console
// and wave playback, so it is made after them and before the speech layer.
// An empty factory means no external voice is ever opened.
using SynthesizerFactory =
    std::function<std::shared_ptr<speech::Synthesizer>(console::Console&, sound::WavePlayer&)>;

class App {
 public:
  // `start_directory` is the directory current at start-up (where FALDEK.INI
  // is looked for when the system configuration directory has none).
  // `braille_display`, when given, shows what matters now and types with
  // its keys (it must outlive the App).
  App(platform::Platform& platform, std::string start_directory, Random& random,
      const VoiceFactory& make_voice = {}, const SynthesizerFactory& make_synthesizer = {},
      const TeacherFiles& teacher_files = {}, platform::BrailleDisplay* braille_display = nullptr);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Plays the whole game; the program ends inside, through the console.
  [[noreturn]] void Run() { game_.Run(); }

  console::Console& Console() { return console_; }
  sound::WavePlayer& Wave() { return wave_; }
  speech::SpeechLayer& Layer() { return layer_; }

 private:
  console::Console console_;
  sound::WavePlayer wave_;
  std::shared_ptr<speech::Synthesizer> synthesizer_;
  speech::SpeechLayer layer_;
  std::unique_ptr<tradutor::DiphoneVoiceApi> voice_;
  editor::LineEditor editor_;
  editor::ScreenReview review_;
  SpeechLink link_;
  Game game_;
};

}  // namespace placarim::game
