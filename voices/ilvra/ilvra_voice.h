// The Ilvra voice: text through the front end into phoneme lines, the lines
// through a diphone engine loaded at run time into 16-bit samples at 16,000
// Hz, and the samples either played (as in-memory wave images) or written to
// a wave file. Images go to PlayMemory of the sound output, which returns once
// the sound is queued; the bridge plays them as given, without the speed-up and
// condensing options of the built-in voice.
//
//   IlvraVoice voice(sound, message_box, engine_library, own_database);
//   if (voice.IlvraOpen("br4", rules, exceptions, definitions, prosody, abbreviations))
//     voice.IlvraSpeak("Bom dia");
//
// Threads: main thread only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sound/sound_output.h"
#include "voices/ilvra/front_end.h"
#include "voices/ilvra/mbrola_library.h"

namespace placarim::ilvra {

inline constexpr uint32_t kIlvraRate = 16000;
inline constexpr int kReadSamples = 16000;
inline constexpr size_t kPlayBytes = 16000;  // a buffer this full is handed to playback
inline constexpr size_t kMinPlayBytes = 256;

// The 44-byte header of 16-bit mono PCM at 16,000 Hz with `data_bytes` of samples.
std::vector<uint8_t> IlvraWaveHeader(uint32_t data_bytes);

inline constexpr const char* kSystemVoices = "/usr/share/mbrola";

// Where a database name leads: SYSTEM_ROOT/NAME/NAME when that file exists,
// else NAME itself when it names a file, else `own_database`.
std::string IlvraDatabasePath(const std::string& name, const std::string& own_database,
                              const std::string& system_root = kSystemVoices);

class IlvraVoice {
 public:
  // `engine_library` empty means ours (DefaultEngineLibrary()). A null
  // `message_box` keeps the prosody file's messages for TakeNotices.
  // `system_voices` is where installed voices are looked for.
  IlvraVoice(sound::SoundOutput& sound, MessageBox message_box, std::string engine_library, std::string own_database,
             std::string system_voices = kSystemVoices);
  ~IlvraVoice();
  IlvraVoice(const IlvraVoice&) = delete;
  IlvraVoice& operator=(const IlvraVoice&) = delete;

  // Empty: speak through the sound card; a name: the next IlvraOpen writes
  // all speech into that wave file.
  void IlvraSetOutputFile(std::string name);
  // Empty names take the defaults (br4, portug.nrl, .exc, .dfn, .pro, .abr).
  // An installed voice the engine refuses (another engine's format) gives
  // way to our own database, with a notice saying which one speaks.
  bool IlvraOpen(const std::string& database, const std::string& rules, const std::string& exceptions,
                 const std::string& definitions, const std::string& prosody, const std::string& abbreviations);
  // Scale every pitch and every duration of the texts that follow.
  void IlvraSetFactors(double pitch, double duration);
  // False when the engine refused a line or the output file could not be
  // written; the rest of the text is still spoken.
  bool IlvraSpeak(std::string_view text);
  bool IlvraIsSpeaking();
  void IlvraStop();
  void IlvraClose();

  bool IsOpen() const { return open_; }
  // The last error text (Windows-1252), empty when none was set.
  const std::string& LastError() const { return last_error_; }
  double PitchFactor() const { return pitch_factor_; }
  double DurationFactor() const { return duration_factor_; }
  // Lines for the teacher (Windows-1252) gathered since the last call: the
  // prosody file's messages (without a message box) and the database used
  // in place of a refused one. Taking them clears them.
  std::vector<std::string> TakeNotices() { return std::exchange(notices_, {}); }

 private:
  void Handle(const int16_t* samples, size_t count, bool& ok);
  void PlayBuffer();
  void Shut();

  sound::SoundOutput& sound_;
  FrontEnd front_end_;
  MbrolaLibrary engine_;
  std::string engine_path_;
  std::string own_database_;
  std::string system_voices_;
  std::string output_name_;       // the file the next IlvraOpen writes
  std::string open_output_name_;  // the file written now, patched at close
  std::FILE* output_ = nullptr;
  bool open_ = false;
  std::string last_error_;
  std::vector<std::string> notices_;
  double pitch_factor_ = 1.0;
  double duration_factor_ = 1.0;
  std::vector<int16_t> read_buffer_;
  std::vector<uint8_t> play_buffer_;  // header, then samples
};

}  // namespace placarim::ilvra
