// The built-in diphone voice: Portuguese text becomes a diphone code string
// through letter rules, exceptions and stress marking; the code string is
// spoken by concatenating recorded units of a diphone database into one
// 8-bit 11,025 Hz buffer, played whenever it fills and at the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace placarim::tradutor {

// Where the voice hands its assembled buffers. PortPlayer (port_player.h)
// plays them through the sound-output port and waits on the main loop; tests,
// benchmarks and fuzz targets put a recorder in its place. The call returns
// when the buffer has been played or a key press stopped it.
class WaveBufferPlayer {
 public:
  virtual ~WaveBufferPlayer() = default;
  // `image` is a 44-byte canonical PCM header followed by the samples.
  virtual void PlayWaveBufferWait(const std::vector<uint8_t>& image) = 0;
  // Whether the listener asked for silence (a key) during this utterance:
  // the voice then builds and plays nothing more of it.
  virtual bool SilenceRequested() { return false; }
};

// Reads a value of section "TRADUTOR" of FALDEK.INI the way the voice needs it
// (from the system configuration directory's file, no "@" expansion).
class VoiceSettings {
 public:
  virtual ~VoiceSettings() = default;
  virtual std::string Read(std::string_view key, std::string_view fallback) = 0;
  // A directory as written in the configuration, as a path of this system.
  // This default only turns backslashes into slashes; the speech layer's
  // path helper (drive letters, letter case) may take its place.
  virtual std::string ToLocalPath(std::string_view configured) {
    std::string path(configured);
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    return path;
  }
};

// What opening the voice came to. A failure's number is what the teacher is
// shown ("Erro de inicialização: 1").
enum class VoiceOpen { kOpened = 0, kDatabaseFailed = 1, kRulesFailed = 2 };

// The operations the speech layer calls. One implementation (DiphoneVoice in
// tradutor/voice.h); tests of the speech layer may substitute a recording fake.
class DiphoneVoiceApi {
 public:
  virtual ~DiphoneVoiceApi() = default;
  // kDatabaseFailed: a directory, the index or the data file failed;
  // kRulesFailed: the rule or exception file failed to load.
  virtual VoiceOpen OpenDiphoneVoice() = 0;
  virtual void CloseDiphoneVoice() = 0;
  virtual std::string TranslateToDiphoneCodes(std::string_view text) = 0;
  // Returns when the last buffer has been played (or a key stopped it).
  virtual void SpeakDiphoneCodes(std::string_view codes) = 0;
  virtual void SetDiphoneTuning(int unit_trim, int minimum_unit_length, int word_gap) = 0;
  // Base name of the database (at most 8 characters) for the next open.
  virtual void SetDatabaseName(std::string_view name) = 0;
  virtual const std::string& DatabaseName() const = 0;
  // The letters directory the voice read when it opened (ends in '/'; empty
  // before the first open): where recorded characters are.
  virtual const std::string& LettersDirectory() const = 0;
};

}  // namespace placarim::tradutor
