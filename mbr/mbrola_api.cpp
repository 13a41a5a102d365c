// The library's entry points over one DiphoneEngine.
#include "mbr/mbrola.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "mbr/diphone_engine.h"

namespace {

using placarim::mbr::DiphoneEngine;

constexpr const char* kVersion = "Ilvra diphone engine 1.0";

std::unique_ptr<DiphoneEngine> engine;
int init_error = 0;
std::string init_error_text;
int saved_frequency = 0;  // a frequency asked for before init applies after it
float saved_volume = 1.0f;
bool saved_no_error = false;
void* parser = nullptr;  // remembered only: lines are read by the engine's own parser

int Text(const std::string& text, char* buffer, int size) {
  if (!buffer || size <= 0) return static_cast<int>(text.size());
  const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int Open(const char* path, const char* rename, const char* clone) {
  engine.reset();
  init_error = 0;
  init_error_text.clear();
  if (!path || !*path) {
    init_error = placarim::mbr::kNoDatabase;
    init_error_text = "no database named";
    return -init_error;
  }
  std::string why;
  auto db = placarim::mbr::LoadDatabase(path, why);
  if (!db) {
    init_error = why.rfind("cannot open", 0) == 0 ? placarim::mbr::kNoDatabase : placarim::mbr::kBadDatabase;
    init_error_text = why;
    return -init_error;
  }
  auto made = std::make_unique<DiphoneEngine>(std::move(*db));
  if (!made->Rename(rename ? rename : "", clone ? clone : "")) {
    init_error = made->LastError();
    init_error_text = made->LastErrorText();
    return -init_error;
  }
  if (saved_frequency > 0) made->SetFrequency(saved_frequency);
  made->SetVolume(saved_volume);
  made->SetNoError(saved_no_error);
  engine = std::move(made);
  return 0;
}

uint8_t ToUlaw(int16_t s) {
  const int bias = 0x84;
  int sign = (s >> 8) & 0x80;
  int v = sign ? -int(s) : int(s);
  v = std::min(v, 32635) + bias;
  int exponent = 7;
  for (int mask = 0x4000; (v & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
  const int mantissa = (v >> (exponent + 3)) & 0x0F;
  return static_cast<uint8_t>(~(sign | (exponent << 4) | mantissa));
}

uint8_t ToAlaw(int16_t s) {
  int sign = s >= 0 ? 0x80 : 0;
  int v = s >= 0 ? s : std::min(-int(s), 32767);
  int exponent = 7;
  for (int mask = 0x4000; (v & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
  const int mantissa = (v >> (exponent == 0 ? 4 : exponent + 3)) & 0x0F;
  return static_cast<uint8_t>((sign | (exponent << 4) | mantissa) ^ 0x55);
}

}  // namespace

extern "C" {

int init_MBR(char* database_path) { return Open(database_path, nullptr, nullptr); }

int init_rename_MBR(char* database_path, char* rename, char* clone) { return Open(database_path, rename, clone); }

int write_MBR(char* lines) {
  if (!engine) return -placarim::mbr::kNoDatabase;
  if (!lines) return 1;
  return engine->Write(lines) ? 1 : -engine->LastError();
}

int flush_MBR(void) {
  if (!engine) return -placarim::mbr::kNoDatabase;
  engine->Flush();
  return 1;
}

int read_MBR(short* buffer, int wanted) {
  if (!engine || !buffer || wanted <= 0) return 0;
  return static_cast<int>(engine->Read(buffer, static_cast<size_t>(wanted)));
}

int readtype_MBR(void* buffer, int wanted, int type) {
  if (!engine || !buffer || wanted <= 0) return 0;
  if (type == MBR_LIN16) return read_MBR(static_cast<short*>(buffer), wanted);
  if (type != MBR_LIN8 && type != MBR_ULAW && type != MBR_ALAW) return 0;
  std::vector<int16_t> samples(static_cast<size_t>(wanted));
  const size_t n = engine->Read(samples.data(), samples.size());
  auto* out = static_cast<uint8_t*>(buffer);
  for (size_t i = 0; i < n; ++i) {
    out[i] = type == MBR_LIN8 ? static_cast<uint8_t>((samples[i] >> 8) + 128)
             : type == MBR_ULAW ? ToUlaw(samples[i]) : ToAlaw(samples[i]);
  }
  return static_cast<int>(n);
}

void close_MBR(void) { engine.reset(); }

int reset_MBR(void) {
  if (!engine) return -placarim::mbr::kNoDatabase;
  engine->Reset();
  return 1;
}

int lastError_MBR(void) { return engine ? engine->LastError() : init_error; }

int lastErrorStr_MBR(char* buffer, int size) {
  return Text(engine ? engine->LastErrorText() : init_error_text, buffer, size);
}

void setNoError_MBR(int no_error) {
  saved_no_error = no_error != 0;
  if (engine) engine->SetNoError(saved_no_error);
}

int getNoError_MBR(void) { return engine ? engine->NoError() : saved_no_error; }

void setFreq_MBR(int frequency) {
  if (frequency <= 0) return;
  saved_frequency = frequency;
  if (engine) engine->SetFrequency(frequency);
}

int getFreq_MBR(void) {
  if (engine) return engine->Frequency();
  return saved_frequency;
}

void setVolumeRatio_MBR(float ratio) {
  if (!(ratio >= 0.0f) || ratio > 16.0f) return;  // also refuses NaN
  saved_volume = ratio;
  if (engine) engine->SetVolume(ratio);
}

float getVolumeRatio_MBR(void) { return engine ? engine->Volume() : saved_volume; }

int getVersion_MBR(char* buffer, int size) { return Text(kVersion, buffer, size); }

int getDatabaseInfo_MBR(char* buffer, int size, int index) {
  if (!engine) return 0;
  const auto& db = engine->Database();
  std::string info;
  if (index == 0) {
    info = "Ilvra diphone database: " + std::to_string(db.phonemes.size()) + " phonemes, " +
           std::to_string(db.diphones.size()) + " diphones, " + std::to_string(db.sample_rate) +
           " Hz, spoken at " + std::to_string(db.pitch_centi_hz / 100) + " Hz";
  } else if (index == 1) {
    for (const auto& name : db.phonemes) info += (info.empty() ? "" : " ") + name;
  } else {
    return 0;
  }
  return Text(info, buffer, size);
}

void setParser_MBR(void* new_parser) { parser = new_parser; }

void* init_Phone(char* name, float length_ms) {
  auto* phone = new MbrPhone{};
  if (name) std::strncpy(phone->name, name, sizeof phone->name - 1);
  phone->length_ms = length_ms;
  return phone;
}

void reset_Phone(void* phone) {
  if (phone) static_cast<MbrPhone*>(phone)->point_count = 0;
}

void close_Phone(void* phone) { delete static_cast<MbrPhone*>(phone); }

void appendf0_Phone(void* phone, float position, float hz) {
  auto* p = static_cast<MbrPhone*>(phone);
  if (!p || p->point_count >= MBR_PHONE_POINTS) return;
  p->points[p->point_count++] = {position, hz};
}

}  // extern "C"
