// Reading keys and saying what was typed.
#include "speech/key_echo.h"

#include <string>

#include "console/keys.h"

namespace placarim::speech {

void KeyEcho::ReadKeySpeak(uint8_t& c, uint8_t& ext) {
  for (;;) {
    output_.WaitWhileSpeaking();
    const console::Key key = console::ReadTypedKey([this] { return console_.ReadKey(); });
    c = key.extended ? 0 : key.code;
    ext = key.extended ? key.code : key.alt_gr != 0 ? key.alt_gr : ' ';
    if (key.extended && key.code == console::extended::kF8) {
      sounds_.SpeakTime();
      continue;
    }
    if (c > 31 && c != console::plain::kFocusGained && c != console::plain::kFocusLost) {
      sounds_.SpeakChar(c);
      console_.Write(std::string(1, static_cast<char>(c)));
    }
    return;
  }
}

uint8_t KeyEcho::ReadCharSpeak() {
  text_.FlushBuffer();
  const uint8_t code = console_.ReadKey();
  output_.StopSpeech();
  sounds_.SpeakChar(code);
  return code;
}

}  // namespace placarim::speech
