// The teacher's report of the record of play: per championship, the sums the
// child missed most often and the slowest ones, and goals and misses per day,
// as text, as an SVG chart, and as one HTML page for the whole class (per
// child, with a class overview) that a screen reader reads as well as eyes.
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
  std::vector<SumFigures> most_missed;              // over every championship
};

// One child's figures; the name is UTF-8, empty for play without a name.
struct ChildReport {
  std::string name;
  PlayReport figures;
};

struct ClassReport {
  std::vector<ChildReport> children;  // by name, play without a name last
  PlayReport whole;                    // every row, whoever played
};

// Figures of the rows; `top` sums in each list.
PlayReport BuildReport(const std::vector<RecordRow>& rows, size_t top = 5);
ClassReport BuildClassReport(const std::vector<RecordRow>& rows, size_t top = 5);

// The report as text for the terminal (UTF-8, Portuguese).
std::string ReportText(const PlayReport& report);
// Per child when any row names one; otherwise the same as for the whole.
std::string ReportText(const ClassReport& report);

// A bar chart: for every day, a solid green bar of goals beside a hatched
// red bar of misses, each with its count written above it.
std::string ReportSvg(const PlayReport& report);

// The whole page (UTF-8, self-contained): the class overview, then each
// child. `sources` names the record files it was made from.
std::string ReportHtml(const ClassReport& report, const std::vector<std::string>& sources);

// "7 x 8" of "7 x 8 = 56": the sum as the child is asked it.
std::string FactOf(const std::string& sum);

}  // namespace placarim::game
