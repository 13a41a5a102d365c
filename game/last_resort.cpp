#include "game/last_resort.h"

#include <exception>
#include <ostream>

namespace placarim::game {

int RunReportingFailures(const std::function<int()>& program, std::ostream& report) {
  try {
    return program();
  } catch (const std::exception& error) {
    report << "Placarim: erro inesperado: " << error.what() << std::endl;
  } catch (...) {
    report << "Placarim: erro inesperado." << std::endl;
  }
  return kUnexpectedEndCode;
}

}  // namespace placarim::game
