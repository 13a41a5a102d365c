#include "game/last_resort.h"

#include <gtest/gtest.h>

#include <functional>
#include <ios>
#include <sstream>
#include <stdexcept>
#include <string>

namespace placarim::game {
namespace {

TEST(RunReportingFailures, EveryEscapingExceptionIsReportedAsExitCodeOne) {
  struct Case {
    const char* name;
    std::function<int()> program;
    int code;
    const char* report;  // a piece the report must hold; "" for none at all
  };
  const Case cases[] = {
      {"normal end", [] { return 0; }, 0, ""},
      {"refused option", [] { return 2; }, 2, ""},
      {"stream failure", []() -> int { throw std::ios_base::failure("leitura falhou"); }, 1, "leitura falhou"},
      {"runtime error", []() -> int { throw std::runtime_error("sem mem\xF3ria"); }, 1, "sem mem\xF3ria"},
      {"not an exception class", []() -> int { throw 42; }, 1, "erro inesperado"},
  };
  for (const Case& c : cases) {
    std::ostringstream report;
    EXPECT_EQ(RunReportingFailures(c.program, report), c.code) << c.name;
    if (*c.report == '\0') {
      EXPECT_EQ(report.str(), "") << c.name;
    } else {
      EXPECT_NE(report.str().find(c.report), std::string::npos) << c.name << ": " << report.str();
    }
  }
}

}  // namespace
}  // namespace placarim::game
