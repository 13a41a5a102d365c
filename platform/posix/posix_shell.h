// Starting other programs (documents and web addresses opened from the line
// editor): a detached child in its own session, never waited for.
#pragma once

#include "platform/platform.h"

namespace placarim::platform::posix {

class PosixShell final : public Shell {
 public:
  // Blocks only until the program has been exec'd (or failed to be). True when
  // it now runs; false when the directory or the program cannot be used.
  bool Launch(const std::string& program, const std::vector<std::string>& args,
              const std::string& directory) override;
};

}  // namespace placarim::platform::posix
