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
#include "speech/config_lookup.h"
#include "speech/synth_bridge.h"

namespace placarim::speech {

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
IlvraSettings ReadIlvraSettings(const ConfigLookup& config);

class IlvraBridge final : public SynthBridge {
 public:
  IlvraBridge(SynthHost& host, SynthAudio& audio, const IlvraSettings& settings);
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
  class Sound final : public ilvra::IlvraSound {
   public:
    explicit Sound(SynthAudio& audio) : audio_(audio) {}
    void PlayMemory(const std::vector<uint8_t>& image) override;
    bool IsPlaying() override { return audio_.IsPlaying(); }
    void Stop() override { audio_.Stop(); }

   private:
    SynthAudio& audio_;
  };

  SynthHost& host_;
  Sound sound_;
  IlvraSettings settings_;
  ilvra::IlvraVoice voice_;
};

}  // namespace placarim::speech
