#include "game/app.h"

#include <utility>

namespace placarim::game {

App::App(platform::Platform& platform, std::string start_directory, Random& random,
         const VoiceFactory& make_voice, const SynthesizerFactory& make_synthesizer,
         const TeacherFiles& teacher_files, platform::BrailleDisplay* braille_display)
    : console_(platform, std::move(start_directory)),
      wave_(console_, platform.Audio()),
      synthesizer_(make_synthesizer ? make_synthesizer(console_, wave_) : nullptr),
      layer_(console_, platform.GetClock(), wave_, synthesizer_.get()),
      voice_(make_voice ? make_voice({layer_.wave_link, console_, layer_.speech.VoiceConfig()}) : nullptr),
      editor_(console_, layer_.speech, layer_.wave_link, platform.GetShell(), platform.GetClipboard()),
      review_(console_, layer_.speech.Output(), layer_.speech.Sounds(), layer_.speech.Text(), platform.GetClipboard()),
      link_(layer_.speech, layer_.ini, editor_),
      game_(console_, link_, random, teacher_files, &platform.GetClock()) {
  console_.AttachBrailleDisplay(braille_display);
  if (voice_ != nullptr) layer_.speech.AttachVoice(*voice_);
  editor_.SetScreenReview([this] { review_.ConsoleScreenReview(); });
}

}  // namespace placarim::game
