// The program's last line of defence: whatever escapes the game (an exception
// from a library, a fault nobody foresaw) is reported on the error stream and
// ends the program with exit code 1, never with an abort and a silent window.
#pragma once

#include <functional>
#include <iosfwd>

namespace placarim::game {

inline constexpr int kUnexpectedEndCode = 1;

// Runs `program` and gives its exit code. An exception that leaves it is
// described on `report` and gives kUnexpectedEndCode. The platform's own exit
// (which ends the process) never comes back here.
int RunReportingFailures(const std::function<int()>& program, std::ostream& report);

}  // namespace placarim::game
