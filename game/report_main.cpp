// placarim-report [REGISTRO...] [--svg ARQUIVO] [--html ARQUIVO]: the
// teacher's report of one or more records of play (a teacher may collect
// them from several computers). Prints, per child and championship, the sums
// missed most often and the slowest ones; writes a chart of goals and misses
// per day (an SVG picture; by default relatorio.svg beside the first record)
// and one page for the whole class that a screen reader reads well (by
// default relatorio.html beside it).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "game/exercise_file.h"
#include "game/play_record.h"
#include "game/play_report.h"
#include "game/user_files.h"

namespace {

constexpr std::string_view kUsage =
    "Uso: placarim-report [REGISTRO...] [--svg ARQUIVO] [--html ARQUIVO]\n"
    "Mostra, por aluno e por campeonato, as contas mais erradas e as mais demoradas, desenha um\n"
    "gráfico de gols e erros por dia (SVG) e escreve uma página da turma (HTML), para abrir no\n"
    "navegador, também com leitor de tela.\n"
    "Sem REGISTRO, lê o registro do jogo: $XDG_DATA_HOME/placarim/jogadas.csv\n"
    "(normalmente ~/.local/share/placarim/jogadas.csv). Vários registros (de vários\n"
    "computadores) são lidos juntos.\n";

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace placarim;
  std::vector<std::string> records;
  std::string svg_path;
  std::string html_path;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help" || argument == "--ajuda") {
      std::fputs(kUsage.data(), stdout);
      return 0;
    }
    if (argument == "--svg" && i + 1 < argc) {
      svg_path = argv[++i];
    } else if (argument == "--html" && i + 1 < argc) {
      html_path = argv[++i];
    } else if (!argument.starts_with("-")) {
      records.emplace_back(argument);
    } else {
      std::fputs(kUsage.data(), stderr);
      return 2;
    }
  }
  if (records.empty()) records.push_back(game::PlayRecordFile());
  std::vector<game::RecordRow> rows;
  for (const std::string& record : records) {
    // A directory opens as a file on Linux but cannot be read as one.
    std::error_code error;
    const auto text = std::filesystem::is_directory(record, error) ? std::nullopt : game::ReadWholeFile(record);
    if (record.empty() || !text) {
      std::printf("O registro %s não pode ser lido: ainda não houve jogo, ou falta permissão.\n", record.c_str());
      return 1;
    }
    game::RecordReading reading = game::ReadPlayRecord(*text);
    std::printf("Registro: %s\n", record.c_str());
    if (!reading.bad_lines.empty()) {
      const size_t bad = reading.bad_lines.size();
      std::printf(bad == 1 ? "  %zu linha do registro não pôde ser lida (a linha %d).\n"
                           : "  %zu linhas do registro não puderam ser lidas (a primeira é a linha %d).\n",
                  bad, reading.bad_lines.front());
    }
    rows.insert(rows.end(), std::make_move_iterator(reading.rows.begin()), std::make_move_iterator(reading.rows.end()));
  }
  const game::ClassReport report = game::BuildClassReport(rows);
  std::printf("\n%s", game::ReportText(report).c_str());
  const std::filesystem::path beside = std::filesystem::path(records.front()).parent_path();
  if (svg_path.empty()) svg_path = (beside / "relatorio.svg").string();
  if (html_path.empty()) html_path = (beside / "relatorio.html").string();
  int code = 0;
  if (WriteFile(svg_path, game::ReportSvg(report.whole))) {
    std::printf("Gráfico de gols e erros por dia: %s\n", svg_path.c_str());
  } else {
    std::printf("O gráfico não pôde ser gravado em %s.\n", svg_path.c_str());
    code = 1;
  }
  if (WriteFile(html_path, game::ReportHtml(report, records))) {
    std::printf("Página da turma: %s\n", html_path.c_str());
  } else {
    std::printf("A página não pôde ser gravada em %s.\n", html_path.c_str());
    code = 1;
  }
  return code;
}
