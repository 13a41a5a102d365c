// The teacher's report of a record of play: per championship, the sums the
// child missed most often and the slowest ones, and a chart of goals and
// misses per day as an SVG picture a browser can show.
#pragma once

#include <string>
#include <vector>

#include "game/play_record.h"

namespace placarim::game {

struct SumFigures {
  std::string sum;
  int goals = 0, misses = 0, helps = 0;
  double mean_seconds = 0;  // over goals and misses (help is not an answer)
};

struct ChampionshipFigures {
  int number = 0;
  std::string title;  // the last title the record gave it
  int goals = 0, misses = 0, helps = 0;
  std::vector<SumFigures> most_missed;  // misses > 0, most first
  std::vector<SumFigures> slowest;      // slowest mean first
};

struct DayFigures {
  std::string date;  // YYYY-MM-DD
  int goals = 0, misses = 0, helps = 0;
};

struct PlayReport {
  std::vector<ChampionshipFigures> championships;  // by number
  std::vector<DayFigures> days;                     // by date
};

// Figures of the rows; `top` sums in each list.
PlayReport BuildReport(const std::vector<RecordRow>& rows, size_t top = 5);

// The report as text for the terminal (UTF-8, Portuguese).
std::string ReportText(const PlayReport& report);

// A bar chart: for every day, a green bar of goals beside a red bar of misses.
std::string ReportSvg(const PlayReport& report);

}  // namespace placarim::game
