#include "voices/ilvra/ilvra_voice.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "platform/riff_wave.h"

namespace placarim::ilvra {
namespace {

// Texts of the last error, in Windows-1252.
constexpr const char* kRulesError = "Erro na base de dados de portugu\xEAs";
constexpr const char* kAbbreviationsError = "Erro no arquivo de abreviaturas";
constexpr const char* kProsodyError = "Erro no arquivo de pros\xF3" "dia";
constexpr const char* kOutputError = "Arquivo de sa\xED" "da n\xE3o pode ser criado";

bool IsFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string OrDefault(const std::string& name, const char* fallback) { return name.empty() ? fallback : name; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<uint8_t> IlvraWaveHeader(uint32_t data_bytes) {
  std::vector<uint8_t> header(platform::riff::kCanonicalHeaderSize);
  platform::riff::WriteCanonicalHeader(header.data(), platform::AudioFormat{kIlvraRate, 16, 1}, data_bytes);
  return header;
}

std::string IlvraDatabasePath(const std::string& name, const std::string& own_database,
                              const std::string& system_root) {
  if (!name.empty() && name.find('/') == std::string::npos) {
    const std::string installed = system_root + "/" + name + "/" + name;
    if (IsFile(installed)) return installed;
  }
  return IsFile(name) ? name : own_database;
}

IlvraVoice::IlvraVoice(sound::SoundOutput& sound, MessageBox message_box, std::string engine_library,
                       std::string own_database, std::string system_voices)
    : sound_(sound),
      front_end_(message_box ? std::move(message_box)
                             : MessageBox([this](const std::string& text) { notices_.push_back(text); })),
      engine_path_(engine_library.empty() ? DefaultEngineLibrary() : std::move(engine_library)),
      own_database_(std::move(own_database)),
      system_voices_(std::move(system_voices)) {}

IlvraVoice::~IlvraVoice() { IlvraClose(); }

void IlvraVoice::IlvraSetOutputFile(std::string name) { output_name_ = std::move(name); }

void IlvraVoice::IlvraSetFactors(double pitch, double duration) {
  pitch_factor_ = pitch;
  duration_factor_ = duration;
}

bool IlvraVoice::IlvraOpen(const std::string& database, const std::string& rules, const std::string& exceptions,
                           const std::string& definitions, const std::string& prosody,
                           const std::string& abbreviations) {
  IlvraClose();
  last_error_.clear();
  std::string why;
  if (!engine_.Load(engine_path_, why)) return false;
  const std::string name = OrDefault(database, "br4");
  std::string path = IlvraDatabasePath(name, own_database_, system_voices_);
  if (engine_.init_MBR(path.data()) < 0) {
    // A voice installed for another engine under the same name: ours speaks.
    const bool installed = path != name && path != own_database_;
    std::string ours = own_database_;
    if (!installed || engine_.init_MBR(ours.data()) < 0) {
      engine_.Unload();
      return false;
    }
    notices_.push_back("Voz Ilvra: a base instalada " + path + " n\xE3o serve para este motor; usando " + ours);
  }
  engine_.setNoError_MBR(1);
  front_end_.Release();
  const FrontEndFiles files{OrDefault(rules, "portug.nrl"), OrDefault(exceptions, "portug.exc"),
                            OrDefault(abbreviations, "portug.abr"), OrDefault(prosody, "portug.pro"),
                            OrDefault(definitions, "portug.dfn")};
  const char* failure = nullptr;
  switch (front_end_.Load(files)) {
    case FrontEndError::kNone: break;
    case FrontEndError::kRules: failure = kRulesError; break;
    case FrontEndError::kAbbreviations: failure = kAbbreviationsError; break;
    case FrontEndError::kProsody: failure = kProsodyError; break;
  }
  if (!failure && !output_name_.empty()) {
    open_output_name_ = output_name_;
    output_ = std::fopen(open_output_name_.c_str(), "wb");
    const std::vector<uint8_t> header = IlvraWaveHeader(0);
    if (!output_ || std::fwrite(header.data(), 1, header.size(), output_) != header.size()) failure = kOutputError;
  }
  if (failure) {
    // A voice that failed to open keeps nothing: no engine, no tables, no file.
    last_error_ = failure;
    if (output_) std::fclose(output_);
    output_ = nullptr;
    front_end_.Release();
    engine_.close_MBR();
    engine_.Unload();
    return false;
  }
  read_buffer_.assign(kReadSamples, 0);
  open_ = true;
  return true;
}

bool IlvraVoice::IlvraSpeak(std::string_view text) {
  text = Trim(text);
  if (text.empty() || !open_) return open_ || text.empty();
  const std::vector<std::string> lines = front_end_.TextToMbrola(text, pitch_factor_, duration_factor_);
  bool ok = true;
  engine_.reset_MBR();
  play_buffer_ = IlvraWaveHeader(0);
  for (size_t i = 0; i < lines.size(); ++i) {
    const bool last = i + 1 == lines.size();
    if (lines[i].empty() && !last) continue;
    std::string line = lines[i] + "\r\n";
    engine_.write_MBR(line.data());
    if (engine_.lastError_MBR() != 0) {
      engine_.reset_MBR();
      ok = false;
    }
    if (last) engine_.flush_MBR();
    for (int n; (n = engine_.read_MBR(read_buffer_.data(), kReadSamples)) > 0;) {
      Handle(read_buffer_.data(), static_cast<size_t>(n), ok);
    }
  }
  if (!output_ && play_buffer_.size() > 44) {
    if (play_buffer_.size() < 44 + kMinPlayBytes) play_buffer_.resize(44 + kMinPlayBytes, 0);
    PlayBuffer();
  }
  return ok;
}

void IlvraVoice::Handle(const int16_t* samples, size_t count, bool& ok) {
  const size_t bytes = count * 2;
  if (output_) {
    if (std::fwrite(samples, 1, bytes, output_) != bytes) ok = false;
    return;
  }
  // Nothing buffered means nothing to hand over yet (an empty image would
  // only open the device).
  if (play_buffer_.size() > 44 && play_buffer_.size() - 44 + bytes >= kPlayBytes) PlayBuffer();
  const auto* raw = reinterpret_cast<const uint8_t*>(samples);
  play_buffer_.insert(play_buffer_.end(), raw, raw + bytes);
}

void IlvraVoice::PlayBuffer() {
  const std::vector<uint8_t> header = IlvraWaveHeader(static_cast<uint32_t>(play_buffer_.size() - 44));
  std::copy(header.begin(), header.end(), play_buffer_.begin());
  sound_.PlayMemory(play_buffer_);
  play_buffer_.resize(44);
}

bool IlvraVoice::IlvraIsSpeaking() { return open_ && !output_ && sound_.IsPlaying(); }

void IlvraVoice::IlvraStop() {
  if (open_ && !output_) sound_.Stop();
}

void IlvraVoice::IlvraClose() {
  if (!open_) return;
  if (output_) {
    std::fclose(output_);
    output_ = nullptr;
    // The sizes in the header are known only now.
    if (std::FILE* file = std::fopen(open_output_name_.c_str(), "r+b")) {
      std::fseek(file, 0, SEEK_END);
      const long size = std::ftell(file);
      const std::vector<uint8_t> header = IlvraWaveHeader(static_cast<uint32_t>(std::max(0L, size - 44)));
      std::fseek(file, 0, SEEK_SET);
      std::fwrite(header.data(), 1, header.size(), file);
      std::fclose(file);
    }
  }
  front_end_.Release();
  engine_.close_MBR();
  engine_.Unload();
  open_ = false;
}

}  // namespace placarim::ilvra
