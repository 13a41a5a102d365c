// The built-in diphone voice as a driver of the table of voices. It speaks
// only runs of words (the speech layer reads numbers, symbols and pauses from
// recordings around it), and Speak returns once the words have been heard or a
// key cut them short: it waits for its own sound (port_player.h), so Stop has
// nothing left to silence.
//
// Errors: Open is false when the voice's files failed (DiphoneVoiceApi's
// OpenDiphoneVoice tells which). Threads: main thread only.
#pragma once

#include "voices/tradutor/diphone_voice.h"
#include "voices/voice.h"

namespace placarim::tradutor {

class BuiltInVoice final : public voices::Voice {
 public:
  explicit BuiltInVoice(DiphoneVoiceApi& voice) : voice_(voice) {}
  bool Open(int /*voice*/, int /*rate*/, int /*pitch*/) override { return voice_.OpenDiphoneVoice() == VoiceOpen::kOpened; }
  void Speak(std::string_view text) override { voice_.SpeakDiphoneCodes(voice_.TranslateToDiphoneCodes(text)); }
  bool IsSpeaking(int /*mode*/) override { return false; }
  void Stop() override {}
  void Close() override { voice_.CloseDiphoneVoice(); }

 private:
  DiphoneVoiceApi& voice_;
};

}  // namespace placarim::tradutor
