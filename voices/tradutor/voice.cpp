#include "voices/tradutor/voice.h"

#include <filesystem>

#include "voices/tradutor/file_text.h"

namespace placarim::tradutor {
namespace {

// A configured directory as this system's path, ending in '/'; empty when it
// is not a directory.
std::string UsableDirectory(VoiceSettings& settings, std::string_view key, std::string_view fallback) {
  std::string dir = settings.ToLocalPath(settings.Read(key, fallback));
  std::error_code error;
  if (dir.empty() || !std::filesystem::is_directory(dir, error)) return {};
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

DiphoneVoice::DiphoneVoice(WaveBufferPlayer& player, VoiceSettings& settings)
    : settings_(settings),
      buffer_(player),
      synth_(buffer_, index_, data_, letters_dir_, tuning_) {}

DiphoneVoice::DiphoneVoice(sound::SoundOutput& sound, sound::MainLoop& loop, VoiceSettings& settings)
    : settings_(settings),
      port_player_(std::in_place, sound, loop),
      buffer_(*port_player_),
      synth_(buffer_, index_, data_, letters_dir_, tuning_) {}

DiphoneVoice::~DiphoneVoice() { CloseDiphoneVoice(); }

VoiceOpen DiphoneVoice::OpenDatabase() {
  letters_dir_ = UsableDirectory(settings_, "dirLetras", kDefaultLettersDir);
  if (letters_dir_.empty()) return VoiceOpen::kDatabaseFailed;
  diphone_dir_ = UsableDirectory(settings_, "DIRDIFONES", kDefaultDiphoneDir);
  if (diphone_dir_.empty()) return VoiceOpen::kDatabaseFailed;
  const auto index = ReadWholeFile(diphone_dir_ + database_name_ + ".IND");
  if (!index) return VoiceOpen::kDatabaseFailed;
  index_.Parse(*index);
  if (!data_.Open(diphone_dir_ + database_name_ + ".DIF")) return VoiceOpen::kDatabaseFailed;
  return VoiceOpen::kOpened;
}

VoiceOpen DiphoneVoice::OpenDiphoneVoice() {
  CloseDiphoneVoice();
  if (const VoiceOpen result = OpenDatabase(); result != VoiceOpen::kOpened) {
    CloseDiphoneVoice();
    return result;
  }
  if (!translator_.LoadLetterRules(diphone_dir_ + "regras.rgr") ||
      !translator_.LoadDiphoneExceptions(diphone_dir_ + "portug.exc")) {
    CloseDiphoneVoice();
    return VoiceOpen::kRulesFailed;
  }
  buffer_.Reset();
  open_ = true;
  return VoiceOpen::kOpened;
}

void DiphoneVoice::CloseDiphoneVoice() {
  translator_.FreeLetterRules();
  translator_.exceptions().Clear();
  data_.Close();
  index_.Clear();
  open_ = false;
}

std::string DiphoneVoice::TranslateToDiphoneCodes(std::string_view text) {
  return translator_.TranslateToDiphoneCodes(text);
}

void DiphoneVoice::SpeakDiphoneCodes(std::string_view codes) {
  if (!open_) return;
  synth_.Speak(codes);
}

void DiphoneVoice::SetDiphoneTuning(int unit_trim, int minimum_unit_length, int word_gap) {
  tuning_.unit_trim = unit_trim;
  tuning_.minimum_unit_length = minimum_unit_length;
  tuning_.word_gap = word_gap;
}

void DiphoneVoice::SetDatabaseName(std::string_view name) {
  database_name_ = std::string(name.substr(0, 8));
}

}  // namespace placarim::tradutor
