#include "voices/ilvra/synth_ilvra.h"

#include <cstdio>
#include <cstring>

#include "platform/text_encoding.h"

namespace placarim::voices {

IlvraSettings ReadIlvraSettings(const voices::VoiceSettingSource& config) {
  constexpr std::string_view kSection = "ILVRATTS";
  IlvraSettings s;
  if (std::string v = config.ReadIniString(kSection, "MBROLA_DB"); !v.empty()) s.database = v;
  if (std::string v = config.ReadIniString(kSection, "BASE"); !v.empty()) s.base = v;
  s.engine_library = config.ReadIniString(kSection, "MOTOR");
  s.directory = config.ReadIniString(kSection, "DIR");
  if (s.directory.empty()) {
    std::string program = config.ReadIniString("FALDEK", "PGMFALDEK");
    if (!program.empty() && program.back() != '/') program += '/';
    s.directory = program + "ilvra/";
  }
  if (s.directory.back() != '/') s.directory += '/';
  return s;
}

int IlvraBridge::Sound::PlayMemory(const std::vector<uint8_t>& image) {
  if (image.size() <= 44) return 0;
  std::vector<int16_t> samples((image.size() - 44) / 2);
  std::memcpy(samples.data(), image.data() + 44, samples.size() * 2);
  return audio_.PlaySamples(samples.data(), samples.size(), ilvra::kIlvraRate);
}

IlvraBridge::IlvraBridge(sound::MainLoop& host, sound::SoundOutput& audio, const IlvraSettings& settings)
    : host_(host),
      sound_(audio),
      settings_(settings),
      voice_(sound_, nullptr, settings.engine_library, settings.OwnDatabase(), settings.system_voices) {}

IlvraBridge::~IlvraBridge() { voice_.IlvraClose(); }

bool IlvraBridge::Open(int /*voice*/, int rate, int pitch) {
  const bool opened = voice_.IlvraOpen(settings_.database, settings_.File(".nrl"), settings_.File(".exc"),
                                       settings_.File(".dfn"), settings_.File(".pro"), settings_.File(".abr"));
  voice_.IlvraSetFactors((pitch + 11) / 11.0, 0.8 - rate / 15.0);
  for (const std::string& line : voice_.TakeNotices()) {
    host_.ShowNotice(line);
    std::fprintf(stderr, "%s\n", platform::Cp1252ToUtf8(line).c_str());
  }
  return opened;
}

void IlvraBridge::Speak(std::string_view text) {
  voice_.IlvraSpeak(text);
  host_.PostWakeUp(voices::kVoiceWakeUp);
}

bool IlvraBridge::IsSpeaking(int /*mode*/) {
  bool speaking = voice_.IlvraIsSpeaking();
  if (host_.KeyPressed()) {
    Stop();
    speaking = false;
  }
  host_.PostWakeUp(voices::kVoiceWakeUp);
  return speaking;
}

void IlvraBridge::Stop() {
  voice_.IlvraStop();
  host_.PostWakeUp(voices::kVoiceWakeUp);
}

void IlvraBridge::Close() {
  while (IsSpeaking(0)) host_.Delay(500);
  Stop();
  voice_.IlvraClose();
}

}  // namespace placarim::voices
