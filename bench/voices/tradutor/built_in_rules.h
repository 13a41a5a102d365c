// The built-in voice's letter rules and exceptions for the benchmarks that
// translate words: the build's own, or those of the folder named by
// PLACARIM_DIFONES_DIR (another build's, to compare).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "voices/tradutor/translator.h"

inline bool LoadBuiltInRules(placarim::tradutor::Translator& translator) {
  const char* other = std::getenv("PLACARIM_DIFONES_DIR");
  const std::string dir = other ? other : PLACARIM_DIFONES_BUILD_DIR;
  if (!translator.LoadLetterRules(dir + "/regras.rgr") || !translator.LoadDiphoneExceptions(dir + "/portug.exc")) {
    std::fprintf(stderr, "the voice's rules are not built in %s\n", dir.c_str());
    return false;
  }
  return true;
}
