// The engine linked into the program instead of loaded: where there is no
// dlopen (the browser), the same entry points are taken from mbr/ directly,
// and "loading" any name gives them. The voice above sees no difference.
#include <emscripten.h>

#include <cstdint>

#include "mbr/mbrola.h"
#include "voices/ilvra/mbrola_library.h"

namespace placarim::ilvra {
namespace {

uint64_t samples_read = 0;

int CountedRead(short* buffer, int wanted) {
  const int got = ::read_MBR(buffer, wanted);
  if (got > 0) samples_read += static_cast<uint64_t>(got);
  return got;
}

}  // namespace

// The samples the engine has given the voice since the program started, so
// the page can tell that the Ilvra voice spoke.
extern "C" EMSCRIPTEN_KEEPALIVE double placarim_ilvra_samples() { return static_cast<double>(samples_read); }

bool MbrolaLibrary::Load(const std::string&, std::string& why) {
  why.clear();
  static int linked = 0;
  handle = &linked;
  init_MBR = ::init_MBR;
  init_rename_MBR = ::init_rename_MBR;
  write_MBR = ::write_MBR;
  flush_MBR = ::flush_MBR;
  read_MBR = CountedRead;
  readtype_MBR = ::readtype_MBR;
  close_MBR = ::close_MBR;
  reset_MBR = ::reset_MBR;
  lastError_MBR = ::lastError_MBR;
  lastErrorStr_MBR = ::lastErrorStr_MBR;
  setNoError_MBR = ::setNoError_MBR;
  getNoError_MBR = ::getNoError_MBR;
  setFreq_MBR = ::setFreq_MBR;
  getFreq_MBR = ::getFreq_MBR;
  setVolumeRatio_MBR = ::setVolumeRatio_MBR;
  getVolumeRatio_MBR = ::getVolumeRatio_MBR;
  getVersion_MBR = ::getVersion_MBR;
  getDatabaseInfo_MBR = ::getDatabaseInfo_MBR;
  setParser_MBR = ::setParser_MBR;
  init_Phone = ::init_Phone;
  reset_Phone = ::reset_Phone;
  close_Phone = ::close_Phone;
  appendf0_Phone = ::appendf0_Phone;
  return true;
}

void MbrolaLibrary::Unload() {
  handle = nullptr;
  static_cast<MbrolaEntryPoints&>(*this) = MbrolaEntryPoints{};
}

std::string DefaultEngineLibrary() { return "linked"; }

}  // namespace placarim::ilvra
