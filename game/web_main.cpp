// The program in a web page: the game on the web platform, speaking with the
// recordings and the built-in voice, or with the Ilvra voice or the browser's
// voices when the page's configuration asks for an external one; its data
// packaged under /placarim (the configuration in /placarim/etc). The page
// starts it on the child's first key, once the browser lets sound play.
#include <emscripten.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/app.h"
#include "game/exercise_check.h"
#include "game/play_record.h"
#include "game/play_report.h"
#include "game/random.h"
#include "game/screen_dump.h"
#include "game/user_files.h"
#include "platform/config_file.h"
#include "platform/web/web_platform.h"
#include "speech/ini_reader.h"
#include "speech/synth_links.h"
#include "voices/tradutor/voice.h"

namespace {

using namespace placarim;

// The game's console, for the page to read the screen from.
console::Console* shown_console = nullptr;

}  // namespace

// The 25 rows of the console's screen as UTF-8 lines; empty before the game
// has started. Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* placarim_screen_text() {
  static std::string text;
  text = shown_console != nullptr ? game::ScreenText(*shown_console) : std::string();
  return text.c_str();
}

// The teacher's page: every problem of an exercise file, one a line as
// placarim-check prints them ("placarim.cnf, linha 12: erro: ..."); empty when
// the game will play the file as written. Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* placarim_check_exercises(const char* bytes, int length) {
  static std::string report;
  report.clear();
  for (const game::Problem& problem : game::CheckExerciseFile(std::string_view(bytes, static_cast<size_t>(length)))) {
    report += game::FormatProblem("placarim.cnf", problem) + "\n";
  }
  return report.c_str();
}

// Where the game keeps the teacher's files in the page's file system: 0 the
// exercise file, 1 the record of play.
extern "C" EMSCRIPTEN_KEEPALIVE const char* placarim_teacher_file(int which) {
  static std::string path;
  path = which == 0 ? game::UserExerciseFile() : game::PlayRecordFile();
  return path.c_str();
}

// The teacher's page: the report of a record of play (its CSV bytes) as the
// same self-contained page placarim-report writes. Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* placarim_report_page(const char* bytes, int length) {
  static std::string page;
  const game::RecordReading reading = game::ReadPlayRecord(std::string_view(bytes, static_cast<size_t>(length)));
  page = game::ReportHtml(game::BuildClassReport(reading.rows), {"jogadas.csv"});
  return page.c_str();
}

int main() {
  setenv("PLACARIM_SYSCONFDIR", "/placarim/etc", 1);
  if (chdir("/placarim/data") != 0) {
    std::fputs("placarim: the page's data was not packaged with the program\n", stderr);
    return 1;
  }
  game::SeededRandom random(game::ClockSeed());
  platform::web::WebPlatform web;
  const game::VoiceFactory make_voice = [](const game::VoicePorts& ports) -> std::unique_ptr<tradutor::DiphoneVoiceApi> {
    return std::make_unique<tradutor::DiphoneVoice>(ports.sound, ports.loop, ports.settings);
  };
  // The browser's voice or the Ilvra voice, from the browser build's table of
  // voices, when the page's settings ask for an external one; each reads its
  // own settings from the configuration when it is made.
  const speech::IniReader voice_settings(platform::StartDirectory());
  const game::SynthesizerFactory make_synthesizer = [&voice_settings](console::Console& console,
                                                                      sound::WavePlayer& wave) {
    auto system = std::make_shared<speech::SynthSystem>(console, wave, &voice_settings);
    return std::shared_ptr<speech::Synthesizer>(system, &system->dispatcher);
  };
  const game::TeacherFiles teacher_files{game::UserExerciseFile(), game::PlayRecordFile(), game::ClassListFile()};
  int code = 0;
  try {
    game::App app(web, platform::StartDirectory(), random, make_voice, make_synthesizer, teacher_files);
    shown_console = &app.Console();
    app.Run();
  } catch (const platform::ProgramExit& exit) {
    code = exit.code;
  }
  shown_console = nullptr;
  EM_ASM({ if (Module.placarimEnded) Module.placarimEnded($0); }, code);
  return code;
}
