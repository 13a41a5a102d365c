#include "voices/browser/browser_voice.h"

#include <string>

#include "platform/text_encoding.h"

// The page's side, in browser_voice_library.js.
extern "C" {
int placarim_browser_voice_open(void);
void placarim_browser_voice_speak(const char* utf8);
int placarim_browser_voice_speaking(void);
void placarim_browser_voice_stop(void);
}

namespace placarim::voices::browser {

bool BrowserVoice::Open(int, int, int) {
  open_ = placarim_browser_voice_open() != 0;
  return open_;
}

void BrowserVoice::Speak(std::string_view text) {
  if (open_) placarim_browser_voice_speak(platform::Cp1252ToUtf8(text).c_str());
}

bool BrowserVoice::IsSpeaking(int) { return open_ && placarim_browser_voice_speaking() != 0; }

void BrowserVoice::Stop() {
  if (open_) placarim_browser_voice_stop();
}

void BrowserVoice::Close() {
  Stop();
  open_ = false;
}

}  // namespace placarim::voices::browser
