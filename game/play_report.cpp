#include "game/play_report.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string_view>
#include <unordered_map>

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

std::string Decimal(double value, char point = '.') {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  std::string out = text;
  std::replace(out.begin(), out.end(), '.', point);
  return out;
}

std::string Escaped(std::string_view text) {
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

// 07/12/2026.
std::string FullDate(const std::string& date) {
  return date.size() == 10 ? DayLabel(date) + "/" + date.substr(0, 4) : date;
}

std::string Plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Misses first, then fewer goals; ties keep the sums' text order, so the
// report reads the same every time.
std::vector<SumFigures> MostMissed(const std::vector<SumFigures>& all, size_t top) {
  std::vector<SumFigures> missed;
  std::copy_if(all.begin(), all.end(), std::back_inserter(missed), [](const SumFigures& s) { return s.misses > 0; });
  std::stable_sort(missed.begin(), missed.end(), [](const SumFigures& x, const SumFigures& y) {
    return x.misses != y.misses ? x.misses > y.misses : x.goals < y.goals;
  });
  if (missed.size() > top) missed.resize(top);
  return missed;
}

using SumTallies = std::unordered_map<std::string_view, SumTally>;

// In the sums' text order.
std::vector<SumFigures> Figures(SumTallies& sums) {
  std::vector<SumFigures> all;
  all.reserve(sums.size());
  for (auto& [text, tally] : sums) {
    if (tally.timed > 0) tally.figures.mean_seconds = tally.seconds / tally.timed;
    all.push_back(tally.figures);
  }
  std::sort(all.begin(), all.end(), [](const SumFigures& x, const SumFigures& y) { return x.sum < y.sum; });
  return all;
}

void Tally(SumTallies& sums, const RecordRow& row) {
  SumTally& tally = sums[row.sum];
  if (tally.figures.sum.empty()) tally.figures.sum = row.sum;
  Count(row.outcome, tally.figures.goals, tally.figures.misses, tally.figures.helps);
  if (row.outcome != Outcome::kHelp) {
    tally.seconds += row.seconds;
    ++tally.timed;
  }
}

// The figures of the rows `rows` points at (they outlive the call).
PlayReport BuildFrom(const std::vector<const RecordRow*>& rows, size_t top) {
  std::map<int, ChampionshipFigures> championships;
  std::map<int, SumTallies> sums;
  SumTallies every_sum;
  std::map<std::string_view, DayFigures> days;
  for (const RecordRow* row : rows) {
    ChampionshipFigures& c = championships[row->championship];
    if (c.number != row->championship || c.title != row->title) {
      c.number = row->championship;
      c.title = row->title;
    }
    Count(row->outcome, c.goals, c.misses, c.helps);
    Tally(sums[row->championship], *row);
    Tally(every_sum, *row);
    DayFigures& day = days[row->date];
    day.date = row->date;
    Count(row->outcome, day.goals, day.misses, day.helps);
  }
  PlayReport report;
  for (auto& [number, figures] : championships) {
    const std::vector<SumFigures> all = Figures(sums[number]);
    std::vector<SumFigures> slow;
    std::copy_if(all.begin(), all.end(), std::back_inserter(slow),
                 [](const SumFigures& s) { return s.goals + s.misses > 0; });
    std::stable_sort(slow.begin(), slow.end(),
                     [](const SumFigures& x, const SumFigures& y) { return x.mean_seconds > y.mean_seconds; });
    if (slow.size() > top) slow.resize(top);
    figures.most_missed = MostMissed(all, top);
    figures.slowest = std::move(slow);
    report.championships.push_back(std::move(figures));
  }
  for (auto& [date, figures] : days) report.days.push_back(figures);
  report.most_missed = MostMissed(Figures(every_sum), top);
  return report;
}

// A name's place in the class: as a teacher sorts names, case and accents
// aside ("Álvaro" before "Beto") and numbers by their value ("Aluno 2" before
// "Aluno 10").
std::string NameOrder(std::string_view utf8) {
  // Latin-1 letters 0xC0 to 0xFF without their accents.
  constexpr std::string_view kBase = "aaaaaaaceeeeiiiidnooooo*ouuuuyts" "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
  std::string key;
  for (size_t i = 0; i < utf8.size(); ++i) {
    auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= '0' && c <= '9') {
      size_t end = i;
      while (end < utf8.size() && utf8[end] >= '0' && utf8[end] <= '9') ++end;
      std::string digits(utf8.substr(i, end - i));
      key += std::string(digits.size() < 12 ? 12 - digits.size() : 0, '0') + digits;
      i = end - 1;
    } else if (c == 0xC3 && i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      key += kBase[static_cast<unsigned char>(utf8[++i]) - 0x80];
    } else {
      key += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
  }
  return key + '\0' + std::string(utf8);  // names that differ in accents only keep one order
}

std::string ChildLabel(const ChildReport& child) { return child.name.empty() ? "Sem nome" : child.name; }

std::string ChampionshipLabel(const ChampionshipFigures& c) {
  return "Campeonato " + std::to_string(c.number) + " - " + c.title;
}

// "7 x 8: 5 erros em 6" (6 answers, goals and misses).
std::string MissedFactLine(const SumFigures& s) {
  return FactOf(s.sum) + ": " + Plural(s.misses, "erro", "erros") + " em " + std::to_string(s.goals + s.misses);
}

std::string Totals(int goals, int misses, int helps) {
  return Plural(goals, "gol", "gols") + ", " + Plural(misses, "erro", "erros") + ", " +
         Plural(helps, "ajuda", "ajudas");
}

// --- the chart ------------------------------------------------------------------

// The chart as an <svg> element. `id` makes its hatching and title unique
// in a page that holds several charts.
std::string ChartSvg(const std::vector<DayFigures>& days, const std::string& id, bool in_page) {
  constexpr int kLeft = 60, kTop = 60, kPlot = 300, kBar = 16, kGap = 14, kBottom = 80;
  int highest = 1;
  for (const DayFigures& d : days) highest = std::max({highest, d.goals, d.misses});
  const int day_width = 2 * kBar + kGap;
  const int width = kLeft + std::max<int>(1, static_cast<int>(days.size())) * day_width + 40;
  const int height = kTop + kPlot + kBottom;
  auto y_of = [&](int value) { return kTop + kPlot - value * kPlot / highest; };
  const std::string hatch = "hachura-" + id;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\"" +
                    std::to_string(height) + "\" font-family=\"sans-serif\" font-size=\"12\"";
  // In the page the chart is one picture with a name; its numbers are read
  // from the table beside it, not bar by bar.
  if (in_page) svg += " role=\"img\" aria-labelledby=\"titulo-" + id + "\"";
  svg += ">\n<title id=\"titulo-" + id + "\">" +
         (in_page ? std::string("Gráfico de barras: gols e erros por dia (os mesmos números estão na tabela ao lado)")
                  : std::string("Placarim: gols e erros por dia")) +
         "</title>\n";
  // Misses are hatched as well as red, so the bars differ without colour.
  svg += "<defs><pattern id=\"" + hatch + "\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
         "patternTransform=\"rotate(45)\"><rect width=\"6\" height=\"6\" fill=\"#ffffff\"/>"
         "<rect width=\"3\" height=\"6\" fill=\"#c0392b\"/></pattern></defs>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg += "<text x=\"" + std::to_string(kLeft) + "\" y=\"24\" font-size=\"16\">Gols e erros por dia</text>\n";
  svg += "<rect x=\"" + std::to_string(kLeft) + "\" y=\"34\" width=\"10\" height=\"10\" fill=\"#2e8b57\"/>"
         "<text x=\"" + std::to_string(kLeft + 14) + "\" y=\"43\">gols</text>\n";
  svg += "<rect x=\"" + std::to_string(kLeft + 60) + "\" y=\"34\" width=\"10\" height=\"10\" fill=\"url(#" + hatch +
         ")\" stroke=\"#c0392b\"/><text x=\"" + std::to_string(kLeft + 74) + "\" y=\"43\">erros</text>\n";
  // The scale: the top value and zero.
  svg += "<line x1=\"" + std::to_string(kLeft - 4) + "\" y1=\"" + std::to_string(kTop + kPlot) + "\" x2=\"" +
         std::to_string(width - 20) + "\" y2=\"" + std::to_string(kTop + kPlot) + "\" stroke=\"black\"/>\n";
  svg += "<text x=\"" + std::to_string(kLeft - 8) + "\" y=\"" + std::to_string(kTop + 4) +
         "\" text-anchor=\"end\">" + std::to_string(highest) + "</text>\n";
  svg += "<text x=\"" + std::to_string(kLeft - 8) + "\" y=\"" + std::to_string(kTop + kPlot + 4) +
         "\" text-anchor=\"end\">0</text>\n";
  // Bars, counts and day labels each in a group that holds their common
  // look, so a page with many long charts stays small.
  std::string goal_bars, miss_bars, counts, labels;
  int x = kLeft;
  for (const DayFigures& d : days) {
    auto bar = [&](std::string& bars, int left, int value, const char* what, const char* one) {
      const int top = y_of(value);
      const std::string box = "x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(top) + "\" width=\"" +
                              std::to_string(kBar) + "\" height=\"" + std::to_string(kTop + kPlot - top) + "\"";
      // In the page the bars are read from the table: no tooltip per bar.
      if (in_page) {
        bars += "<rect " + box + "/>";
      } else {
        bars += "<rect class=\"" + std::string(what) + "\" data-dia=\"" + Escaped(d.date) + "\" data-valor=\"" +
                std::to_string(value) + "\" " + box + "><title>" + Escaped(d.date) + ": " +
                Plural(value, one, what) + "</title></rect>\n";
      }
      // The count over its bar, so the chart can be read without a scale.
      counts += "<text x=\"" + std::to_string(left + kBar / 2) + "\" y=\"" + std::to_string(top - 3) + "\">" +
                std::to_string(value) + "</text>";
    };
    bar(goal_bars, x, d.goals, "gols", "gol");
    bar(miss_bars, x + kBar, d.misses, "erros", "erro");
    const std::string label_x = std::to_string(x + kBar);
    const std::string label_y = std::to_string(kTop + kPlot + 14);
    labels += "<text x=\"" + label_x + "\" y=\"" + label_y + "\" transform=\"rotate(-45 " + label_x + " " + label_y +
              ")\">" + Escaped(DayLabel(d.date)) + "</text>";
    x += day_width;
  }
  svg += "<g fill=\"#2e8b57\" stroke=\"#333\">" + goal_bars + "</g>\n<g fill=\"url(#" + hatch +
         ")\" stroke=\"#333\">" + miss_bars + "</g>\n<g text-anchor=\"middle\" font-size=\"10\">" + counts +
         "</g>\n<g text-anchor=\"end\">" + labels + "</g>\n";
  svg += "</svg>\n";
  return svg;
}

// --- the page --------------------------------------------------------------------

// A table with a caption, one header row and rows whose first cell heads
// its row.
class Table {
 public:
  Table(std::string& out, const std::string& caption, const std::vector<std::string>& columns) : out_(out) {
    out_ += "<table>\n<caption>" + Escaped(caption) + "</caption>\n<thead><tr>";
    for (const std::string& column : columns) out_ += "<th scope=\"col\">" + Escaped(column) + "</th>";
    out_ += "</tr></thead>\n<tbody>\n";
  }
  ~Table() { out_ += "</tbody>\n</table>\n"; }
  void Row(const std::string& head, const std::vector<std::string>& cells) {
    out_ += "<tr><th scope=\"row\">" + Escaped(head) + "</th>";
    for (const std::string& cell : cells) out_ += "<td>" + Escaped(cell) + "</td>";
    out_ += "</tr>\n";
  }

 private:
  std::string& out_;
};

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;line-height:1.5;margin:1em;color:#111;background:#fff}"
    "p,nav{max-width:60em}"
    ".visao td:last-child{min-width:18em}"
    "table{border-collapse:collapse;margin:0.5em 0 1.5em}"
    "caption{text-align:left;font-weight:bold;padding:0.25em 0}"
    "th,td{border:1px solid #555;padding:0.25em 0.6em;text-align:left;vertical-align:top}"
    "thead th{background:#e8e8e8}"
    "td.numero{text-align:right}"
    ".progresso{display:flex;flex-wrap:wrap;gap:2em;align-items:flex-start}"
    "a{color:#0645ad}"
    "a:focus{outline:3px solid #111}";

std::string Number(int value) { return std::to_string(value); }

void ChildSection(std::string& html, const ChildReport& child, int index) {
  const PlayReport& r = child.figures;
  int goals = 0, misses = 0, helps = 0;
  for (const ChampionshipFigures& c : r.championships) {
    goals += c.goals;
    misses += c.misses;
    helps += c.helps;
  }
  const std::string id = "aluno-" + std::to_string(index);
  html += "<section aria-labelledby=\"" + id + "\">\n<h2 id=\"" + id + "\">" + Escaped(ChildLabel(child)) + "</h2>\n";
  html += "<p>" + Plural(goals + misses + helps, "conta respondida", "contas respondidas");
  if (!r.days.empty()) {
    html += r.days.size() == 1 ? " em " + FullDate(r.days.front().date)
                               : " de " + FullDate(r.days.front().date) + " a " + FullDate(r.days.back().date);
  }
  html += ": " + Escaped(Totals(goals, misses, helps)) + ".</p>\n";
  html += "<h3>Campeonatos</h3>\n";
  {
    Table table(html, "Gols, erros e ajudas por campeonato", {"Campeonato", "Gols", "Erros", "Ajudas"});
    for (const ChampionshipFigures& c : r.championships) {
      table.Row(ChampionshipLabel(c), {Number(c.goals), Number(c.misses), Number(c.helps)});
    }
  }
  for (const ChampionshipFigures& c : r.championships) {
    html += "<h3>" + Escaped(ChampionshipLabel(c)) + "</h3>\n<h4>Contas mais erradas</h4>\n";
    if (c.most_missed.empty()) {
      html += "<p>Nenhuma conta errada.</p>\n";
    } else {
      Table table(html, "Contas mais erradas em " + ChampionshipLabel(c), {"Conta", "Erros", "Respostas", "Ajudas"});
      for (const SumFigures& s : c.most_missed) {
        table.Row(FactOf(s.sum), {Number(s.misses), Number(s.goals + s.misses), Number(s.helps)});
      }
    }
    html += "<h4>Contas mais demoradas</h4>\n";
    if (c.slowest.empty()) {
      html += "<p>Nenhuma conta respondida (só ajudas).</p>\n";
    } else {
      Table table(html, "Contas mais demoradas em " + ChampionshipLabel(c),
                  {"Conta", "Média até o ENTER (segundos)", "Respostas"});
      for (const SumFigures& s : c.slowest) {
        table.Row(FactOf(s.sum), {Decimal(s.mean_seconds, ','), Number(s.goals + s.misses)});
      }
    }
  }
  html += "<h3>Progresso por dia</h3>\n<div class=\"progresso\">\n";
  html += ChartSvg(r.days, std::to_string(index), true);
  {
    Table table(html, "Gols, erros e ajudas por dia", {"Dia", "Gols", "Erros", "Ajudas"});
    for (const DayFigures& d : r.days) table.Row(FullDate(d.date), {Number(d.goals), Number(d.misses), Number(d.helps)});
  }
  html += "</div>\n</section>\n";
}

}  // namespace

std::string FactOf(const std::string& sum) {
  const size_t equals = sum.find(" = ");
  return equals == std::string::npos ? sum : sum.substr(0, equals);
}

PlayReport BuildReport(const std::vector<RecordRow>& rows, size_t top) {
  std::vector<const RecordRow*> all;
  all.reserve(rows.size());
  for (const RecordRow& row : rows) all.push_back(&row);
  return BuildFrom(all, top);
}

ClassReport BuildClassReport(const std::vector<RecordRow>& rows, size_t top) {
  std::map<std::string_view, std::vector<const RecordRow*>> by_child;
  std::vector<const RecordRow*> all;
  all.reserve(rows.size());
  for (const RecordRow& row : rows) {
    by_child[row.child].push_back(&row);
    all.push_back(&row);
  }
  ClassReport report;
  for (const auto& [name, child_rows] : by_child) {
    if (!name.empty()) report.children.push_back({std::string(name), BuildFrom(child_rows, top)});
  }
  std::stable_sort(report.children.begin(), report.children.end(), [](const ChildReport& a, const ChildReport& b) {
    return NameOrder(a.name) < NameOrder(b.name);
  });
  if (auto unnamed = by_child.find(""); unnamed != by_child.end()) {
    report.children.push_back({"", BuildFrom(unnamed->second, top)});
  }
  report.whole = BuildFrom(all, top);
  return report;
}

std::string ReportText(const PlayReport& report) {
  if (report.championships.empty()) return "Nenhuma conta foi respondida ainda.\n";
  std::string text;
  for (const ChampionshipFigures& c : report.championships) {
    text += ChampionshipLabel(c) + ": " + Totals(c.goals, c.misses, c.helps) + "\n";
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

std::string ReportText(const ClassReport& report) {
  if (report.children.size() == 1 && report.children.front().name.empty()) return ReportText(report.whole);
  if (report.children.empty()) return ReportText(report.whole);
  std::string text;
  for (const ChildReport& child : report.children) {
    text += "== " + ChildLabel(child) + " ==\n" + ReportText(child.figures);
  }
  return text;
}

std::string ReportSvg(const PlayReport& report) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + ChartSvg(report.days, "grafico", false);
}

std::string ReportHtml(const ClassReport& report, const std::vector<std::string>& sources) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>Placarim: relatório da turma</title>\n<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n";
  html += "<header>\n<h1>Placarim: relatório da turma</h1>\n<p>Registros lidos:";
  for (size_t i = 0; i < sources.size(); ++i) html += (i ? ", " : " ") + Escaped(sources[i]);
  html += ".</p>\n";
  const PlayReport& whole = report.whole;
  if (whole.days.empty()) {
    html += "<p>Nenhuma conta foi respondida ainda.</p>\n</header>\n</body>\n</html>\n";
    return html;
  }
  int answered = 0;
  for (const DayFigures& d : whole.days) answered += d.goals + d.misses + d.helps;
  html += "<p>" + Plural(answered, "conta respondida", "contas respondidas") + " de " +
          FullDate(whole.days.front().date) + " a " + FullDate(whole.days.back().date) + ", " +
          Plural(static_cast<int>(report.children.size()), "aluno", "alunos") + ".</p>\n</header>\n";
  html += "<nav aria-label=\"Alunos\">\n<ul>\n<li><a href=\"#turma\">Visão da turma</a></li>\n";
  for (size_t i = 0; i < report.children.size(); ++i) {
    html += "<li><a href=\"#aluno-" + std::to_string(i + 1) + "\">" + Escaped(ChildLabel(report.children[i])) +
            "</a></li>\n";
  }
  html += "</ul>\n</nav>\n<main>\n";

  // The overview: every child by every championship anyone played.
  html += "<section aria-labelledby=\"turma\">\n<h2 id=\"turma\">Visão da turma</h2>\n";
  {
    std::vector<std::string> columns{"Aluno"};
    for (const ChampionshipFigures& c : whole.championships) columns.push_back(ChampionshipLabel(c));
    columns.push_back("Contas mais erradas");
    html += "<div class=\"visao\">\n";
    Table table(html, "Gols, erros e ajudas de cada aluno em cada campeonato, e as contas que mais errou", columns);
    for (const ChildReport& child : report.children) {
      std::vector<std::string> cells;
      for (const ChampionshipFigures& c : whole.championships) {
        const auto& mine = child.figures.championships;
        const auto found = std::find_if(mine.begin(), mine.end(),
                                        [&](const ChampionshipFigures& m) { return m.number == c.number; });
        cells.push_back(found == mine.end() ? "não jogou" : Totals(found->goals, found->misses, found->helps));
      }
      std::string missed;
      const auto& most = child.figures.most_missed;
      for (size_t i = 0; i < most.size() && i < 3; ++i) missed += (i ? "; " : "") + MissedFactLine(most[i]);
      cells.push_back(missed.empty() ? "nenhuma" : missed);
      table.Row(ChildLabel(child), cells);
    }
  }
  html += "</div>\n</section>\n";
  for (size_t i = 0; i < report.children.size(); ++i) ChildSection(html, report.children[i], static_cast<int>(i + 1));
  html += "</main>\n</body>\n</html>\n";
  return html;
}

}  // namespace placarim::game
