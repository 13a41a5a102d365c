// A stand-in diphone engine for the voice's tests: it journals every call
// and answers each written phoneme line with 16 samples per millisecond of
// its duration (or one sample per `fake_set_ms_per_sample` milliseconds). A line of the phoneme "k" fails. Built without
// appendf0_Phone when FAKE_ENGINE_INCOMPLETE is defined.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::string journal;
size_t ready = 0;
int error = 0;
unsigned long ms_per_sample = 0;  // 0: 16 samples a millisecond
}  // namespace

extern "C" {
const char* fake_journal() { return journal.c_str(); }
void fake_clear() {
  journal.clear();
  ms_per_sample = 0;
}
void fake_set_ms_per_sample(unsigned long ms) { ms_per_sample = ms; }

int init_MBR(char* path) {
  journal += std::string("init ") + path + ";";
  return std::strstr(path, "missing") ? -1 : 0;
}
int init_rename_MBR(char*, char*, char*) { return 0; }
int write_MBR(char* line) {
  journal += std::string("write ") + line + ";";
  std::string text(line);
  if (text.rfind("k ", 0) == 0) {
    error = 1;
    return -1;
  }
  const size_t space = text.find(' ');
  if (space != std::string::npos) {
    const unsigned long ms = std::strtoul(text.c_str() + space + 1, nullptr, 10);
    ready += ms_per_sample ? ms / ms_per_sample : 16 * ms;
  }
  return 1;
}
int flush_MBR() {
  journal += "flush;";
  return 1;
}
int read_MBR(short* buffer, int wanted) {
  const size_t n = std::min(ready, static_cast<size_t>(wanted));
  for (size_t i = 0; i < n; ++i) buffer[i] = 1000;
  ready -= n;
  if (n) journal += "read " + std::to_string(wanted) + ";";
  return static_cast<int>(n);
}
int readtype_MBR(void*, int, int) { return 0; }
void close_MBR() { journal += "close;"; }
int reset_MBR() {
  journal += "reset;";
  error = 0;
  ready = 0;
  return 1;
}
int lastError_MBR() { return error; }
int lastErrorStr_MBR(char*, int) { return 0; }
void setNoError_MBR(int no_error) { journal += "noerror " + std::to_string(no_error) + ";"; }
int getNoError_MBR() { return 1; }
void setFreq_MBR(int) {}
int getFreq_MBR() { return 16000; }
void setVolumeRatio_MBR(float) {}
float getVolumeRatio_MBR() { return 1; }
int getVersion_MBR(char*, int) { return 0; }
int getDatabaseInfo_MBR(char*, int, int) { return 0; }
void setParser_MBR(void*) {}
void* init_Phone(char*, float) { return nullptr; }
void reset_Phone(void*) {}
void close_Phone(void*) {}
#ifndef FAKE_ENGINE_INCOMPLETE
void appendf0_Phone(void*, float, float) {}
#endif
}
