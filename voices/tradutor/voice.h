// The built-in diphone voice: the translator, the unit database and the
// synthesis behind the operations the speech layer calls.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "voices/tradutor/diphone_index.h"
#include "voices/tradutor/diphone_synth.h"
#include "voices/tradutor/diphone_voice.h"
#include "voices/tradutor/port_player.h"
#include "voices/tradutor/sound_buffer.h"
#include "voices/tradutor/translator.h"
#include "voices/tradutor/unit_data.h"

namespace placarim::tradutor {

class DiphoneVoice : public DiphoneVoiceApi {
 public:
  static constexpr const char* kDefaultLettersDir = "c:\\kestra\\som\\letras";
  static constexpr const char* kDefaultDiphoneDir = "c:\\kestra\\som\\difones";
  static constexpr const char* kDefaultDatabase = "DIFONES2";

  // Heard through the sound-output port, waiting on the main loop.
  DiphoneVoice(sound::SoundOutput& sound, sound::MainLoop& loop, VoiceSettings& settings);
  // Heard through `player` (a recorder in tests and tools).
  DiphoneVoice(WaveBufferPlayer& player, VoiceSettings& settings);
  ~DiphoneVoice() override;

  VoiceOpen OpenDiphoneVoice() override;
  void CloseDiphoneVoice() override;
  std::string TranslateToDiphoneCodes(std::string_view text) override;
  void SpeakDiphoneCodes(std::string_view codes) override;
  void SetDiphoneTuning(int unit_trim, int minimum_unit_length, int word_gap) override;
  void SetDatabaseName(std::string_view name) override;
  const std::string& DatabaseName() const override { return database_name_; }
  const std::string& LettersDirectory() const override { return letters_dir_; }

  bool is_open() const { return open_; }
  const DiphoneTuning& tuning() const { return tuning_; }
  const DiphoneIndex& index() const { return index_; }
  const std::string& DiphoneDirectory() const { return diphone_dir_; }
  // Lookups the database could not serve since the voice was built.
  SynthesisCounters& counters() { return synth_.counters(); }
  void set_name_observer(DiphoneSynth::NameObserver observer) { synth_.set_name_observer(std::move(observer)); }
  void set_unit_observer(DiphoneSynth::UnitObserver observer) { synth_.set_unit_observer(std::move(observer)); }

 private:
  VoiceOpen OpenDatabase();

  VoiceSettings& settings_;
  std::optional<PortPlayer> port_player_;  // when built over the ports
  SoundBuffer buffer_;
  Translator translator_;
  DiphoneIndex index_;
  UnitData data_;
  DiphoneTuning tuning_;
  std::string letters_dir_;
  std::string diphone_dir_;
  std::string database_name_ = kDefaultDatabase;
  DiphoneSynth synth_;
  bool open_ = false;
};

}  // namespace placarim::tradutor
