#include "platform/sdl/sdl_events.h"

#include "platform/sdl/key_translation.h"

namespace placarim::platform::sdl {
namespace {

Event Simple(EventType type) {
  Event event;
  event.type = type;
  return event;
}

Event Mouse(EventType type, int x, int y) {
  Event event;
  event.type = type;
  event.x = x;
  event.y = y;
  return event;
}

// Whether SDL made up the key-up just taken because the window lost the
// keyboard: SDL releases every held key just before it reports the loss, so
// only key-ups (and our own user events) stand between it and FOCUS_LOST.
// Such a key-up would complete a braille chord the child never finished.
bool ReleasedByFocusLoss() {
  SDL_Event next[64];
  const int count = SDL_PeepEvents(next, 64, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  for (int i = 0; i < count; ++i) {
    if (next[i].type == SDL_KEYUP || next[i].type >= SDL_USEREVENT) continue;
    return next[i].type == SDL_WINDOWEVENT && next[i].window.event == SDL_WINDOWEVENT_FOCUS_LOST;
  }
  return false;
}

// Whether the next event waiting (past our own user events) is text: SDL
// queues the text a key typed right behind its key-down.
bool TextFollows() {
  SDL_Event next[8];
  const int count = SDL_PeepEvents(next, 8, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  for (int i = 0; i < count; ++i) {
    if (next[i].type >= SDL_USEREVENT) continue;
    return next[i].type == SDL_TEXTINPUT;
  }
  return false;
}

}  // namespace

SdlEventSource::SdlEventSource(DisplayLink& display) : display_(display) {
  const Uint32 first = SDL_RegisterEvents(2);
  wake_up_type_ = first;
  audio_done_type_ = first + 1;
}

bool SdlEventSource::Poll(Event& event) {
  display_.PresentIfDue();
  SDL_Event sdl;
  while (pending_.empty() && SDL_PollEvent(&sdl)) {
    scratch_.clear();
    Translate(sdl, scratch_);
    pending_.insert(pending_.end(), scratch_.begin(), scratch_.end());
  }
  if (pending_.empty()) return false;
  event = pending_.front();
  pending_.pop_front();
  return true;
}

void SdlEventSource::WaitForEvent() {
  if (!pending_.empty()) return;
  display_.PresentPending();
  SDL_WaitEvent(nullptr);
}

void SdlEventSource::PushWakeUp(int code) {
  PushUser(wake_up_type_, code);
}

void SdlEventSource::PushAudioBlockDone(int block) {
  PushUser(audio_done_type_, block);
}

void SdlEventSource::PushUser(Uint32 type, int code) {
  SDL_Event sdl{};
  sdl.type = type;
  sdl.user.code = code;
  SDL_PushEvent(&sdl);
}

void SdlEventSource::Translate(const SDL_Event& sdl, std::vector<Event>& out) {
  if (sdl.type == wake_up_type_ || sdl.type == audio_done_type_) {
    Event event;
    if (sdl.type == wake_up_type_) {
      event.type = EventType::WakeUp;
      event.code = sdl.user.code;
    } else {
      event.type = EventType::AudioBlockDone;
      event.block = sdl.user.code;
    }
    out.push_back(event);
    return;
  }
  switch (sdl.type) {
    case SDL_QUIT:
      out.push_back(Simple(EventType::Quit));
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (sdl.type == SDL_KEYUP && ReleasedByFocusLoss()) break;
      last_key_mod_ = sdl.key.keysym.mod;
      if (sdl.type == SDL_KEYDOWN) drop_keypad_text_ = false;
      if (IsKeypadDigitKey(sdl.key.keysym.scancode)) {
        TranslateKeypadKey(sdl.key, out);
      } else {
        TranslateKey(sdl.key, out);
      }
      break;
    case SDL_TEXTINPUT:
      if (drop_keypad_text_) {
        drop_keypad_text_ = false;
        break;
      }
      TranslateText(sdl.text.text, last_key_mod_, out);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (sdl.button.button == SDL_BUTTON_RIGHT) {
        out.push_back(Mouse(sdl.type == SDL_MOUSEBUTTONDOWN ? EventType::MouseRightDown
                                                            : EventType::MouseRightUp,
                            sdl.button.x, sdl.button.y));
      }
      break;
    case SDL_MOUSEMOTION:
      out.push_back(Mouse(EventType::MouseMove, sdl.motion.x, sdl.motion.y));
      break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      display_.Invalidate();
      out.push_back(Simple(EventType::Expose));
      break;
    case SDL_WINDOWEVENT:
      switch (sdl.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: out.push_back(Simple(EventType::FocusGained)); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: out.push_back(Simple(EventType::FocusLost)); break;
        case SDL_WINDOWEVENT_CLOSE: out.push_back(Simple(EventType::CloseRequest)); break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          display_.Invalidate();
          out.push_back(Simple(EventType::Expose));
          break;
        default: break;
      }
      break;
    default:
      break;
  }
}

// A keypad key is a digit when it types one and a navigation key when it
// does not. SDL's own Num Lock state can disagree with the desktop's (it is
// read when the window gets the focus and then only follows the Num Lock
// key), and trusting it would give the navigation key and the digit for one
// press. The text the desktop typed decides: when it is queued behind the
// key-down the key is the digit; when it is not, the key is the navigation
// key and text that comes later for the same press is dropped.
void SdlEventSource::TranslateKeypadKey(const SDL_KeyboardEvent& key, std::vector<Event>& out) {
  SDL_KeyboardEvent decided = key;
  const bool digit = key.type == SDL_KEYDOWN ? TextFollows() : keypad_digit_down_;
  if (key.type == SDL_KEYDOWN) {
    keypad_digit_down_ = digit;
    drop_keypad_text_ = !digit;
  }
  decided.keysym.mod = static_cast<Uint16>(digit ? (key.keysym.mod | KMOD_NUM) : (key.keysym.mod & ~KMOD_NUM));
  TranslateKey(decided, out);
}

}  // namespace placarim::platform::sdl
