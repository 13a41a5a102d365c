// An engine library for the real-program test that lets the test see the
// Ilvra voice speak: it opens the real engine (PLACARIM_REAL_ENGINE), passes
// every entry point through to it, and keeps in the file named by
// PLACARIM_ENGINE_SAMPLES the count of samples the voice has read from it.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void* Real(const char* name) {
  static void* handle = [] {
    const char* path = std::getenv("PLACARIM_REAL_ENGINE");
    return path ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
  }();
  void* symbol = handle ? dlsym(handle, name) : nullptr;
  if (!symbol) {
    std::fprintf(stderr, "counting engine: no %s in the real engine\n", name);
    std::abort();
  }
  return symbol;
}

template <typename F>
F Forward(const char* name) {
  return reinterpret_cast<F>(Real(name));
}

unsigned long long samples_read = 0;

void Record(int count) {
  if (count <= 0) return;
  samples_read += static_cast<unsigned long long>(count);
  const char* path = std::getenv("PLACARIM_ENGINE_SAMPLES");
  if (!path) return;
  const std::string text = std::to_string(samples_read) + "\n";
  const int fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  if (pwrite(fd, text.data(), text.size(), 0) < 0) std::perror(path);
  close(fd);
}

}  // namespace

#define PASS(ret, name, params, args) \
  ret name params { return Forward<ret(*) params>(#name) args; }

extern "C" {
PASS(int, init_MBR, (char* path), (path))
PASS(int, init_rename_MBR, (char* path, char* rename, char* clone), (path, rename, clone))
PASS(int, write_MBR, (char* lines), (lines))
PASS(int, flush_MBR, (), ())
PASS(void, close_MBR, (), ())
PASS(int, reset_MBR, (), ())
PASS(int, lastError_MBR, (), ())
PASS(int, lastErrorStr_MBR, (char* buffer, int size), (buffer, size))
PASS(void, setNoError_MBR, (int no_error), (no_error))
PASS(int, getNoError_MBR, (), ())
PASS(void, setFreq_MBR, (int frequency), (frequency))
PASS(int, getFreq_MBR, (), ())
PASS(void, setVolumeRatio_MBR, (float ratio), (ratio))
PASS(float, getVolumeRatio_MBR, (), ())
PASS(int, getVersion_MBR, (char* buffer, int size), (buffer, size))
PASS(int, getDatabaseInfo_MBR, (char* buffer, int size, int index), (buffer, size, index))
PASS(void, setParser_MBR, (void* parser), (parser))
PASS(void*, init_Phone, (char* name, float length_ms), (name, length_ms))
PASS(void, reset_Phone, (void* phone), (phone))
PASS(void, close_Phone, (void* phone), (phone))
PASS(void, appendf0_Phone, (void* phone, float position, float hz), (phone, position, hz))

int read_MBR(short* buffer, int wanted) {
  const int count = Forward<int (*)(short*, int)>("read_MBR")(buffer, wanted);
  Record(count);
  return count;
}

int readtype_MBR(void* buffer, int wanted, int type) {
  const int count = Forward<int (*)(void*, int, int)>("readtype_MBR")(buffer, wanted, type);
  Record(count);
  return count;
}
}
