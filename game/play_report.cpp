#include "game/play_report.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace placarim::game {
namespace {

struct SumTally {
  SumFigures figures;
  double seconds = 0;
  int timed = 0;
};

void Count(Outcome outcome, int& goals, int& misses, int& helps) {
  switch (outcome) {
    case Outcome::kGoal: ++goals; break;
    case Outcome::kMiss: ++misses; break;
    case Outcome::kHelp: ++helps; break;
  }
}

std::string Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// "2026-12-07" is labelled 07/12, as Brazilians write a day.
std::string DayLabel(const std::string& date) {
  return date.size() == 10 ? date.substr(8, 2) + "/" + date.substr(5, 2) : date;
}

std::string Plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

PlayReport BuildReport(const std::vector<RecordRow>& rows, size_t top) {
  std::map<int, ChampionshipFigures> championships;
  std::map<int, std::map<std::string, SumTally>> sums;
  std::map<std::string, DayFigures> days;
  for (const RecordRow& row : rows) {
    ChampionshipFigures& c = championships[row.championship];
    c.number = row.championship;
    c.title = row.title;
    Count(row.outcome, c.goals, c.misses, c.helps);
    SumTally& tally = sums[row.championship][row.sum];
    tally.figures.sum = row.sum;
    Count(row.outcome, tally.figures.goals, tally.figures.misses, tally.figures.helps);
    if (row.outcome != Outcome::kHelp) {
      tally.seconds += row.seconds;
      ++tally.timed;
    }
    DayFigures& day = days[row.date];
    day.date = row.date;
    Count(row.outcome, day.goals, day.misses, day.helps);
  }
  PlayReport report;
  for (auto& [number, figures] : championships) {
    std::vector<SumFigures> all;
    for (auto& [text, tally] : sums[number]) {
      if (tally.timed > 0) tally.figures.mean_seconds = tally.seconds / tally.timed;
      all.push_back(tally.figures);
    }
    // Ties keep the sums' text order, so the report reads the same every time.
    std::vector<SumFigures> missed;
    std::copy_if(all.begin(), all.end(), std::back_inserter(missed), [](const SumFigures& s) { return s.misses > 0; });
    std::stable_sort(missed.begin(), missed.end(), [](const SumFigures& x, const SumFigures& y) {
      return x.misses != y.misses ? x.misses > y.misses : x.goals < y.goals;
    });
    if (missed.size() > top) missed.resize(top);
    std::vector<SumFigures> slow;
    std::copy_if(all.begin(), all.end(), std::back_inserter(slow),
                 [](const SumFigures& s) { return s.goals + s.misses > 0; });
    std::stable_sort(slow.begin(), slow.end(),
                     [](const SumFigures& x, const SumFigures& y) { return x.mean_seconds > y.mean_seconds; });
    if (slow.size() > top) slow.resize(top);
    figures.most_missed = std::move(missed);
    figures.slowest = std::move(slow);
    report.championships.push_back(std::move(figures));
  }
  for (auto& [date, figures] : days) report.days.push_back(figures);
  return report;
}

std::string ReportText(const PlayReport& report) {
  if (report.championships.empty()) return "Nenhuma conta foi respondida ainda.\n";
  std::string text;
  for (const ChampionshipFigures& c : report.championships) {
    text += "Campeonato " + std::to_string(c.number) + " - " + c.title + ": " + Plural(c.goals, "gol", "gols") +
            ", " + Plural(c.misses, "erro", "erros") + ", " + Plural(c.helps, "ajuda", "ajudas") + "\n";
    text += "  Contas mais erradas:";
    if (c.most_missed.empty()) text += " nenhuma";
    text += "\n";
    for (const SumFigures& s : c.most_missed) {
      text += "    " + s.sum + "   " + Plural(s.misses, "erro", "erros") + ", " + Plural(s.goals, "gol", "gols") + "\n";
    }
    text += "  Contas mais demoradas (média até o ENTER):\n";
    for (const SumFigures& s : c.slowest) {
      text += "    " + s.sum + "   " + Decimal(s.mean_seconds) + " s em " +
              Plural(s.goals + s.misses, "resposta", "respostas") + "\n";
    }
    text += "\n";
  }
  return text;
}

std::string ReportSvg(const PlayReport& report) {
  constexpr int kLeft = 60, kTop = 60, kPlot = 300, kBar = 16, kGap = 14, kBottom = 80;
  int highest = 1;
  for (const DayFigures& d : report.days) highest = std::max({highest, d.goals, d.misses});
  const int day_width = 2 * kBar + kGap;
  const int width = kLeft + std::max<int>(1, static_cast<int>(report.days.size())) * day_width + 40;
  const int height = kTop + kPlot + kBottom;
  auto y_of = [&](int value) { return kTop + kPlot - value * kPlot / highest; };
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\"" +
         std::to_string(height) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<title>Placarim: gols e erros por dia</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg += "<text x=\"" + std::to_string(kLeft) + "\" y=\"24\" font-size=\"16\">Gols e erros por dia</text>\n";
  svg += "<rect x=\"" + std::to_string(kLeft) + "\" y=\"34\" width=\"10\" height=\"10\" fill=\"#2e8b57\"/>"
         "<text x=\"" + std::to_string(kLeft + 14) + "\" y=\"43\">gols</text>\n";
  svg += "<rect x=\"" + std::to_string(kLeft + 60) + "\" y=\"34\" width=\"10\" height=\"10\" fill=\"#c0392b\"/>"
         "<text x=\"" + std::to_string(kLeft + 74) + "\" y=\"43\">erros</text>\n";
  // The scale: the top value and zero.
  svg += "<line x1=\"" + std::to_string(kLeft - 4) + "\" y1=\"" + std::to_string(kTop + kPlot) + "\" x2=\"" +
         std::to_string(width - 20) + "\" y2=\"" + std::to_string(kTop + kPlot) + "\" stroke=\"black\"/>\n";
  svg += "<text x=\"" + std::to_string(kLeft - 8) + "\" y=\"" + std::to_string(kTop + 4) +
         "\" text-anchor=\"end\">" + std::to_string(highest) + "</text>\n";
  svg += "<text x=\"" + std::to_string(kLeft - 8) + "\" y=\"" + std::to_string(kTop + kPlot + 4) +
         "\" text-anchor=\"end\">0</text>\n";
  int x = kLeft;
  for (const DayFigures& d : report.days) {
    auto bar = [&](int left, int value, const char* colour, const char* what, const char* one) {
      const int top = y_of(value);
      svg += "<rect class=\"" + std::string(what) + "\" data-dia=\"" + Escaped(d.date) + "\" data-valor=\"" +
             std::to_string(value) + "\" x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(top) +
             "\" width=\"" + std::to_string(kBar) + "\" height=\"" + std::to_string(kTop + kPlot - top) +
             "\" fill=\"" + colour + "\"><title>" + Escaped(d.date) + ": " + Plural(value, one, what) +
             "</title></rect>\n";
      // The count over its bar, so the chart can be read without a scale.
      svg += "<text x=\"" + std::to_string(left + kBar / 2) + "\" y=\"" + std::to_string(top - 3) +
             "\" text-anchor=\"middle\" font-size=\"10\">" + std::to_string(value) + "</text>\n";
    };
    bar(x, d.goals, "#2e8b57", "gols", "gol");
    bar(x + kBar, d.misses, "#c0392b", "erros", "erro");
    const std::string label_x = std::to_string(x + kBar);
    const std::string label_y = std::to_string(kTop + kPlot + 14);
    svg += "<text x=\"" + label_x + "\" y=\"" + label_y + "\" text-anchor=\"end\" transform=\"rotate(-45 " + label_x +
           " " + label_y + ")\">" + Escaped(DayLabel(d.date)) + "</text>\n";
    x += day_width;
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace placarim::game
