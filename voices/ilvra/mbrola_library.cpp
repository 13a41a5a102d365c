#include "voices/ilvra/mbrola_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

namespace placarim::ilvra {
namespace {

template <typename F>
bool Resolve(void* handle, const char* name, F& slot, std::string& why) {
  slot = reinterpret_cast<F>(dlsym(handle, name));
  if (!slot && why.empty()) why = std::string("the engine lacks ") + name;
  return slot != nullptr;
}

}  // namespace

bool MbrolaLibrary::Load(const std::string& path, std::string& why) {
  Unload();
  why.clear();
  handle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    why = error ? error : "no engine library named";
    return false;
  }
  bool ok = true;
  ok &= Resolve(handle, "init_MBR", init_MBR, why);
  ok &= Resolve(handle, "init_rename_MBR", init_rename_MBR, why);
  ok &= Resolve(handle, "write_MBR", write_MBR, why);
  ok &= Resolve(handle, "flush_MBR", flush_MBR, why);
  ok &= Resolve(handle, "read_MBR", read_MBR, why);
  ok &= Resolve(handle, "readtype_MBR", readtype_MBR, why);
  ok &= Resolve(handle, "close_MBR", close_MBR, why);
  ok &= Resolve(handle, "reset_MBR", reset_MBR, why);
  ok &= Resolve(handle, "lastError_MBR", lastError_MBR, why);
  ok &= Resolve(handle, "lastErrorStr_MBR", lastErrorStr_MBR, why);
  ok &= Resolve(handle, "setNoError_MBR", setNoError_MBR, why);
  ok &= Resolve(handle, "getNoError_MBR", getNoError_MBR, why);
  ok &= Resolve(handle, "setFreq_MBR", setFreq_MBR, why);
  ok &= Resolve(handle, "getFreq_MBR", getFreq_MBR, why);
  ok &= Resolve(handle, "setVolumeRatio_MBR", setVolumeRatio_MBR, why);
  ok &= Resolve(handle, "getVolumeRatio_MBR", getVolumeRatio_MBR, why);
  ok &= Resolve(handle, "getVersion_MBR", getVersion_MBR, why);
  ok &= Resolve(handle, "getDatabaseInfo_MBR", getDatabaseInfo_MBR, why);
  ok &= Resolve(handle, "setParser_MBR", setParser_MBR, why);
  ok &= Resolve(handle, "init_Phone", init_Phone, why);
  ok &= Resolve(handle, "reset_Phone", reset_Phone, why);
  ok &= Resolve(handle, "close_Phone", close_Phone, why);
  ok &= Resolve(handle, "appendf0_Phone", appendf0_Phone, why);
  if (!ok) Unload();
  return ok;
}

void MbrolaLibrary::Unload() {
  if (handle) dlclose(handle);
  handle = nullptr;
  static_cast<MbrolaEntryPoints&>(*this) = MbrolaEntryPoints{};
}

std::string DefaultEngineLibrary() {
  constexpr const char* kName = "libplacarim-mbrola.so";
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const auto beside = program.parent_path() / kName;
    if (std::filesystem::exists(beside, error)) return beside.string();
  }
  return kName;  // wherever the dynamic linker looks
}

}  // namespace placarim::ilvra
