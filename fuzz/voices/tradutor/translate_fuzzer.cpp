// Any text translates without fault under the voice's real rules and
// exceptions (taken from the build tree when present).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "voices/tradutor/translator.h"

namespace {

placarim::tradutor::Translator& SharedTranslator() {
  static placarim::tradutor::Translator* translator = [] {
    auto* t = new placarim::tradutor::Translator;
    const char* dir = std::getenv("PLACARIM_DIFONES_DIR");
    const std::string base = dir ? std::string(dir) + "/" : std::string(PLACARIM_DIFONES_BUILD_DIR "/");
    if (!t->LoadLetterRules(base + "regras.rgr")) {
      t->rules().LoadFromText("#(S)#= z\n(S)=s\n(CH)= x\n(A)=a\n(E)+=e\n%(R)=rr\n(QU)+= k\n");
    }
    t->LoadDiphoneExceptions(base + "portug.exc");
    return t;
  }();
  return *translator;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SharedTranslator().TranslateToDiphoneCodes(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
