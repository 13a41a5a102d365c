// The event source on the SDL event queue. Window, keyboard and mouse events
// are translated into the platform's events; wake-ups and audio block
// completions travel as SDL user events, which any thread may push.
#pragma once

#include <SDL2/SDL.h>

#include <deque>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_window.h"

namespace placarim::platform::sdl {

class SdlEventSource final : public EventSource {
 public:
  explicit SdlEventSource(DisplayLink& display);

  // Non-blocking; main thread. Finishes the window's Present when a frame is due.
  bool Poll(Event& event) override;
  // Blocks until any SDL event is pending; main thread. Presents first.
  void WaitForEvent() override;
  // Any thread.
  void PushWakeUp(int code) override;
  // Any thread (the audio callbacks).
  void PushAudioBlockDone(int block);

 private:
  void Translate(const SDL_Event& sdl, std::vector<Event>& out);
  void TranslateKeypadKey(const SDL_KeyboardEvent& key, std::vector<Event>& out);
  void PushUser(Uint32 type, int code);

  DisplayLink& display_;
  Uint32 wake_up_type_;
  Uint32 audio_done_type_;
  // The modifiers of the latest key event: SDL's own modifier state has moved
  // on to the end of the queue by the time a text event is taken from it.
  uint16_t last_key_mod_ = 0;
  bool keypad_digit_down_ = false;  // the last keypad key went down as a digit
  bool drop_keypad_text_ = false;   // it went down as a navigation key: its text is not typed
  std::deque<Event> pending_;
  std::vector<Event> scratch_;
};

}  // namespace placarim::platform::sdl
