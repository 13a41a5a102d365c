// One interface for every voice, and the table that names them. Each voice is
// a driver: a Voice implementation in its own folder under voices/, with a
// table entry that gives its type (the configured "TIPOSAPI"), its name, what
// it is like (VoiceFlags) and how to make it. The speech layer finds a voice
// by type and asks its flags, never its type, how to treat it.
//
//   std::unique_ptr<Voice> voice = FindVoiceDriver(type).make(ports);
//   if (voice && voice->Open(1, 0, 0)) voice->Speak("Bom dia");
//
// Errors: Open answers false when the voice cannot speak (LossNotice may say
// why, for the listener); the other operations cannot fail, and do nothing on
// a voice that is not open. A voice that stops working for good later says so
// through Lost.
// Blocking: Speak returns once the text is heard when the flags say
// blocks_until_heard, else once it is handed over (IsSpeaking then tells when
// it has ended). Stop returns at once; Close waits for speech in progress.
// Threads: every method is called on the main thread. Voices that receive work
// from other threads (the engine's worker, the speech service's listener)
// touch only their own locked queue or atomics there and call
// MainLoop::PostWakeUp, which any thread may call.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "sound/main_loop.h"
#include "sound/sound_output.h"

namespace placarim::voices {

// The private wake-up code voices post to end a wait for a message.
inline constexpr int kVoiceWakeUp = 2980;

// The configured voice types with drivers of their own; a type the table does
// not hold selects the in-process engine, as kVoiceEngine does (in the browser
// build, which has no engine: the browser's voice). The built-in
// voice speaks whenever no external one is configured; a configuration that
// names its type opens no external voice.
enum VoiceType : int {
  kVoiceBuiltIn = -1,
  kVoiceIlvra = 3,
  kVoiceEngine = 4,
  kVoiceService = 5,
  kVoiceServiceAlt = 54,
  kVoiceBrowser = 6,
};

struct VoiceFlags {
  // Speak returns only once the text has been heard.
  bool blocks_until_heard = false;
  // The voice takes text whole and reads numbers, symbols and pauses itself;
  // otherwise the speech layer reads those from recordings and hands the
  // voice only runs of words.
  bool reads_numbers_itself = false;
  // Silencing speech stops the voice even when it reports silence (it may
  // still hold sound it has not handed to playback).
  bool stop_when_quiet = false;
  // A voice lost while the program runs (a service that died) is replaced by
  // the in-process engine, and tried again now and then.
  bool may_be_substituted = false;
};

class Voice {
 public:
  virtual ~Voice() = default;
  // `voice` numbers the voice's own voices from 1 (0 or out of range: the
  // first); `rate` and `pitch` 0 keep the voice's own, each voice scaling them
  // as its header says. True when it can speak.
  virtual bool Open(int voice, int rate, int pitch) = 0;
  // `text` is Windows-1252; the voice converts it for its engine.
  virtual void Speak(std::string_view text) = 0;
  // mode 1: text handed over and not yet finished; mode 0: that, or sound
  // still running.
  virtual bool IsSpeaking(int mode) = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
  // Whether the voice has stopped working for good (its service died, froze
  // or refused a text).
  virtual bool Lost() { return false; }
  // Tries once more to reach a voice that was lost, without waiting
  // noticeably; true when it can speak again.
  virtual bool Reopen() { return false; }
  // Why the voice cannot speak, as one Windows-1252 sentence for the
  // listener; empty when it can (or when it never could: a plain failure).
  virtual std::string LossNotice() { return {}; }
};

// Where a voice reads its settings: a value of `section`, empty when absent.
class VoiceSettingSource {
 public:
  virtual ~VoiceSettingSource() = default;
  virtual std::string ReadIniString(std::string_view section, std::string_view key) const = 0;
};

// What a driver is made with: the main loop to wait on, the sound output its
// samples go to, and its settings (read when the driver is made).
struct VoicePorts {
  sound::MainLoop& loop;
  sound::SoundOutput& sound;
  const VoiceSettingSource* settings = nullptr;
};

struct VoiceDriver {
  int type;
  std::string_view name;
  VoiceFlags flags;
  // Null for the built-in voice, which the program makes itself (it speaks
  // through the speech layer's recordings path).
  std::unique_ptr<Voice> (*make)(const VoicePorts& ports);
};

// Every driver this build holds.
std::span<const VoiceDriver> VoiceDrivers();
// The driver of `type`; the in-process engine's for a type without one.
const VoiceDriver& FindVoiceDriver(int type);

}  // namespace placarim::voices
