// The diphone engine as the Ilvra voice loads it: a shared library opened at
// run time whose 23 MBROLA entry points are resolved by name. Any library
// with those entry points will do; ours is libplacarim-mbrola.so.
#pragma once

#include <string>

namespace placarim::ilvra {

// The entry points, each null until resolved.
struct MbrolaEntryPoints {
  using InitFn = int (*)(char*);
  using InitRenameFn = int (*)(char*, char*, char*);
  using WriteFn = int (*)(char*);
  using IntFn = int (*)();
  using ReadFn = int (*)(short*, int);
  using ReadTypeFn = int (*)(void*, int, int);
  using VoidFn = void (*)();
  using ErrorTextFn = int (*)(char*, int);
  using SetIntFn = void (*)(int);
  using SetFloatFn = void (*)(float);
  using GetFloatFn = float (*)();
  using InfoFn = int (*)(char*, int, int);
  using SetParserFn = void (*)(void*);
  using InitPhoneFn = void* (*)(char*, float);
  using PhoneFn = void (*)(void*);
  using AppendF0Fn = void (*)(void*, float, float);

  InitFn init_MBR = nullptr;
  InitRenameFn init_rename_MBR = nullptr;
  WriteFn write_MBR = nullptr;
  IntFn flush_MBR = nullptr;
  ReadFn read_MBR = nullptr;
  ReadTypeFn readtype_MBR = nullptr;
  VoidFn close_MBR = nullptr;
  IntFn reset_MBR = nullptr;
  IntFn lastError_MBR = nullptr;
  ErrorTextFn lastErrorStr_MBR = nullptr;
  SetIntFn setNoError_MBR = nullptr;
  IntFn getNoError_MBR = nullptr;
  SetIntFn setFreq_MBR = nullptr;
  IntFn getFreq_MBR = nullptr;
  SetFloatFn setVolumeRatio_MBR = nullptr;
  GetFloatFn getVolumeRatio_MBR = nullptr;
  ErrorTextFn getVersion_MBR = nullptr;
  InfoFn getDatabaseInfo_MBR = nullptr;
  SetParserFn setParser_MBR = nullptr;
  InitPhoneFn init_Phone = nullptr;
  PhoneFn reset_Phone = nullptr;
  PhoneFn close_Phone = nullptr;
  AppendF0Fn appendf0_Phone = nullptr;
};

struct MbrolaLibrary : MbrolaEntryPoints {
  MbrolaLibrary() = default;
  ~MbrolaLibrary() { Unload(); }
  MbrolaLibrary(const MbrolaLibrary&) = delete;
  MbrolaLibrary& operator=(const MbrolaLibrary&) = delete;

  // Opens `path` and resolves every entry point; when one is missing the
  // library is closed again and the result is false (`why` says what failed).
  bool Load(const std::string& path, std::string& why);
  void Unload();
  bool Loaded() const { return handle != nullptr; }

  void* handle = nullptr;
};

// Our engine next to the program, where both the build and the installation
// put it; else its bare name, for the dynamic linker to find.
std::string DefaultEngineLibrary();

}  // namespace placarim::ilvra
