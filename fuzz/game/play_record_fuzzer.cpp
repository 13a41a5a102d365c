// Any record file through the report: the rows read must be whole (a date,
// a time that is a real number of seconds), and the report, its text and
// its chart are made from whatever was read, and so is the class page, whose
// children together answered every row.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/play_record.h"
#include "game/play_report.h"

using namespace placarim::game;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const RecordReading reading = ReadPlayRecord(text);
  for (const RecordRow& row : reading.rows) {
    if (row.date.size() != 10 || !std::isfinite(row.seconds) || row.seconds < 0) std::abort();
  }
  const PlayReport report = BuildReport(reading.rows);
  size_t answered = 0;
  for (const DayFigures& day : report.days) answered += day.goals + day.misses + day.helps;
  if (answered != reading.rows.size()) std::abort();
  ReportText(report);
  const std::string svg = ReportSvg(report);
  if (!svg.ends_with("</svg>\n")) std::abort();
  const ClassReport by_child = BuildClassReport(reading.rows);
  size_t by_children = 0;
  for (const ChildReport& child : by_child.children) {
    for (const DayFigures& day : child.figures.days) by_children += day.goals + day.misses + day.helps;
  }
  if (by_children != reading.rows.size()) std::abort();
  ReportText(by_child);
  if (!ReportHtml(by_child, {"registro.csv"}).ends_with("</html>\n")) std::abort();
  return 0;
}
