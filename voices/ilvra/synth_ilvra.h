// The bridge to the Ilvra voice (synthesizer type 3): the dispatcher's five
// operations on the voice's pipeline, with its sound going through the same
// wave playback as every other sound, so a key silences it.
//
// Its files come from section "ILVRATTS" of the configuration: "MBROLA_DB"
// (the engine's database name, default br4), "DIR" (the directory of the
// language files, default the "ilvra" folder of the program directory),
// "BASE" (their base name, default portug) and "MOTOR" (the engine library;
// empty means ours, installed beside the program).
#pragma once

#include <memory>
#include <string>

#include "voices/ilvra/ilvra_voice.h"
#include "voices/voice.h"

namespace placarim::voices {

struct IlvraSettings {
  std::string database = "br4";
  std::string directory;  // ends in "/"
  std::string base = "portug";
  std::string engine_library;
  std::string system_voices = ilvra::kSystemVoices;  // where installed voices are looked for
  // The file names of the five language files.
  std::string File(const char* extension) const { return directory + base + extension; }
  // Our own database, used when the named one is not found.
  std::string OwnDatabase() const { return directory + "ilvra.db"; }
};

// Read once when the program starts.
IlvraSettings ReadIlvraSettings(const voices::VoiceSettingSource& config);

class IlvraBridge final : public voices::Voice {
 public:
  IlvraBridge(sound::MainLoop& host, sound::SoundOutput& audio, const IlvraSettings& settings);
  ~IlvraBridge() override;

  // The voice number is not used; the pitch factor is (pitch + 11) / 11 and
  // the duration factor 0.8 - rate / 15. What the voice has to tell the
  // teacher (the prosody file's messages, a database used in place of
  // another) is written on the console and on standard error once the
  // opening is over.
  bool Open(int voice, int rate, int pitch) override;
  void Speak(std::string_view text) override;
  // A pending key stops the voice and the answer is false.
  bool IsSpeaking(int mode) override;
  void Stop() override;
  // Waits (500 ms at a time) until the voice is silent, then closes it.
  void Close() override;

  const ilvra::IlvraVoice& Voice() const { return voice_; }

 private:
  // The sound output as the voice sees it: its images are played as given
  // (PlaySamples at 16,000 Hz), everything else passes through.
  class Sound final : public sound::SoundOutput {
   public:
    explicit Sound(sound::SoundOutput& audio) : audio_(audio) {}
    int PlayFile(const std::string& path) override { return audio_.PlayFile(path); }
    int PlayMemory(const std::vector<uint8_t>& image) override;
    int PlaySamples(const int16_t* samples, size_t count, uint32_t rate) override {
      return audio_.PlaySamples(samples, count, rate);
    }
    bool IsPlaying() override { return audio_.IsPlaying(); }
    void Stop() override { audio_.Stop(); }
    size_t Room() override { return audio_.Room(); }
    bool StopOnKey() override { return audio_.StopOnKey(); }
    bool Condense() const override { return audio_.Condense(); }
    void SetCondense(bool on) override { audio_.SetCondense(on); }
    bool SpeedUp() const override { return audio_.SpeedUp(); }
    void SetSpeedUp(bool on) override { audio_.SetSpeedUp(on); }

   private:
    sound::SoundOutput& audio_;
  };

  sound::MainLoop& host_;
  Sound sound_;
  IlvraSettings settings_;
  ilvra::IlvraVoice voice_;
};

}  // namespace placarim::voices
