#include "platform/sdl/sdl_platform.h"

#include <cstdio>
#include <cstdlib>

#include "platform/audio/sdl/sdl_sink.h"
#include "platform/audio/wave_image.h"
#include "platform/local_time.h"

namespace placarim::platform::sdl {

int64_t SdlClock::NowMs() {
  return static_cast<int64_t>(SDL_GetTicks64());
}

void SdlClock::SleepMs(int ms) {
  display_.PresentPending();
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

DateTime SdlClock::LocalNow() { return LocalDateTime(); }

ClipboardStatus SdlClipboard::GetText(std::string& utf8) {
  if (!ensure_video_()) return ClipboardStatus::Busy;
  if (!SDL_HasClipboardText()) return ClipboardStatus::NoText;
  char* text = SDL_GetClipboardText();
  if (!text) return ClipboardStatus::Busy;
  utf8 = text;
  SDL_free(text);
  return ClipboardStatus::Text;
}

bool SdlClipboard::SetText(const std::string& utf8) {
  return ensure_video_() && SDL_SetClipboardText(utf8.c_str()) == 0;
}

SdlPlatform::SdlPlatform()
    : events_started_((SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0"),
                       SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0)),
      events_(display_),
      clock_(display_),
      audio_output_([this](int block) { events_.PushAudioBlockDone(block); }),
      audio_(audio_output_),
      tones_(audio_output_, 0),
      beeps_(audio_output_, 1),
      clipboard_([this] { return EnsureVideo(); }) {
  if (!events_started_) std::fprintf(stderr, "placarim: SDL: %s\n", SDL_GetError());
  // The sound server may take a while to answer: the window and the voices
  // start meanwhile.
  audio_output_.Start();
}

SdlPlatform::~SdlPlatform() {
  beeps_.Stop();
  tones_.Stop();
  audio_.Close();
  audio_output_.Shutdown();
  // The video subsystem stays up: shutting it down unloads the X libraries
  // SDL opened, and what they keep for the life of the process would then be
  // reported as leaks. The process ends soon after; Exit quits SDL whole.
  if (events_started_) SDL_QuitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER);  // audio is down
}

bool SdlPlatform::EnsureVideo() {
  if (!video_started_) {
    // Only drivers that show a window and bring its keys back; SDL would
    // otherwise fall back to its off-screen driver, where the game talks to
    // a window nobody sees and waits forever for a key. SDL_VIDEODRIVER in
    // the environment still chooses any driver (the tests' dummy one).
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11,wayland,KMSDRM", SDL_HINT_DEFAULT);
    std::lock_guard lock(audio::sdl::SdlSubsystemLock());
    video_started_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!video_started_) std::fprintf(stderr, "placarim: no display: %s\n", SDL_GetError());
  }
  return video_started_;
}

std::unique_ptr<Surface> SdlPlatform::CreateWindow(const WindowSettings& settings) {
  if (!EnsureVideo()) return nullptr;
  return SdlWindow::Create(settings, display_);
}

WorkArea SdlPlatform::GetWorkArea() {
  WorkArea area;
  SDL_Rect usable;
  if (EnsureVideo() && SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
    area.width = usable.w;
    area.height = usable.h;
  }
  return area;
}

void SdlPlatform::Beep() {
  static const std::vector<uint8_t> kBeep = audio::MakeBeepImage();
  beeps_.PlayOnce(kBeep);
}

void SdlPlatform::Exit(int code) {
  throw ProgramExit{code};
}

void SdlPlatform::Shutdown() {
  SDL_Quit();
}

}  // namespace placarim::platform::sdl
