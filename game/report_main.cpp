// placarim-report [REGISTRO] [--svg ARQUIVO]: the teacher's report of the
// record of play. Prints, per championship, the sums missed most often and
// the slowest ones, and writes a chart of goals and misses per day (an SVG
// picture; by default relatorio.svg beside the record).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "game/exercise_file.h"
#include "game/play_record.h"
#include "game/play_report.h"
#include "game/user_files.h"

namespace {

constexpr std::string_view kUsage =
    "Uso: placarim-report [REGISTRO] [--svg ARQUIVO]\n"
    "Mostra, por campeonato, as contas mais erradas e as mais demoradas, e desenha um gráfico\n"
    "de gols e erros por dia (SVG, para abrir no navegador).\n"
    "Sem REGISTRO, lê o registro do jogo: $XDG_DATA_HOME/placarim/jogadas.csv\n"
    "(normalmente ~/.local/share/placarim/jogadas.csv).\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace placarim;
  std::string record = game::PlayRecordFile();
  std::string svg_path;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help" || argument == "--ajuda") {
      std::fputs(kUsage.data(), stdout);
      return 0;
    }
    if (argument == "--svg" && i + 1 < argc) {
      svg_path = argv[++i];
    } else if (!argument.starts_with("-")) {
      record = argument;
    } else {
      std::fputs(kUsage.data(), stderr);
      return 2;
    }
  }
  // A directory opens as a file on Linux but cannot be read as one.
  std::error_code error;
  const auto text = std::filesystem::is_directory(record, error) ? std::nullopt : game::ReadWholeFile(record);
  if (record.empty() || !text) {
    std::printf("O registro %s não pode ser lido: ainda não houve jogo, ou falta permissão.\n", record.c_str());
    return 1;
  }
  const game::RecordReading reading = game::ReadPlayRecord(*text);
  const game::PlayReport report = game::BuildReport(reading.rows);
  std::printf("Registro: %s\n\n%s", record.c_str(), game::ReportText(report).c_str());
  if (!reading.bad_lines.empty()) {
    const size_t bad = reading.bad_lines.size();
    std::printf(bad == 1 ? "%zu linha do registro não pôde ser lida (a linha %d).\n"
                         : "%zu linhas do registro não puderam ser lidas (a primeira é a linha %d).\n",
                bad, reading.bad_lines.front());
  }
  if (svg_path.empty()) svg_path = (std::filesystem::path(record).parent_path() / "relatorio.svg").string();
  std::ofstream svg(svg_path, std::ios::binary | std::ios::trunc);
  svg << game::ReportSvg(report);
  svg.close();
  if (!svg) {
    std::printf("O gráfico não pôde ser gravado em %s.\n", svg_path.c_str());
    return 1;
  }
  std::printf("Gráfico de gols e erros por dia: %s\n", svg_path.c_str());
  return 0;
}
