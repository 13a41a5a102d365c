// The teacher's report on a large record: 100,000 answered sums by 30
// children over 60 days in all nine championships, from several machines'
// files. Prints the time the library takes to read the record and make the
// text, the chart and the class page (median of 10 runs, with its parts),
// the time of the real placarim-report program on the same files (median of
// 5 runs, start to end), each with the processor time it took, and the size
// of the page it writes.
//
// Usage: report_bench [lines, default 100000]; PLACARIM_KEEP_REPORT=1 keeps
// the files and the page (the folder is printed).
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/figures.h"
#include "game/exercise_file.h"
#include "game/play_record.h"
#include "game/play_report.h"

namespace {

using namespace placarim;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Processor time of this process so far: on a busy machine it tells what the
// work costs, whatever the wall clock waited for.
double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// A record as the game writes it, split in `files` parts (one per machine).
std::vector<std::string> MakeRecords(int lines, int files) {
  std::mt19937 random(7);
  std::vector<std::string> records(files, std::string(game::kRecordHeader));
  const char* const outcomes[] = {"gol", "gol", "gol", "erro", "ajuda"};
  for (int i = 0; i < lines; ++i) {
    game::AnsweredSum a;
    const int day = i * 60 / lines;
    a.when = {2026, 9 + day / 30, 1 + day % 30, 1, 8 + (i % 8), i % 60, (i * 7) % 60, 0};
    a.championship = 1 + static_cast<int>(random() % 9);
    a.title = "Campeonato " + std::to_string(a.championship);
    a.phase = 1 + static_cast<int>(random() % 10);
    const int x = 1 + static_cast<int>(random() % 10), y = 1 + static_cast<int>(random() % 10);
    a.sum = std::to_string(x) + " x " + std::to_string(y) + " = " + std::to_string(x * y);
    const char* outcome = outcomes[random() % 5];
    a.outcome = outcome[0] == 'g' ? game::Outcome::kGoal : outcome[0] == 'e' ? game::Outcome::kMiss
                                                                            : game::Outcome::kHelp;
    a.answer = a.outcome == game::Outcome::kHelp ? "." : std::to_string(x * y + (a.outcome == game::Outcome::kMiss));
    a.seconds = 0.5 + static_cast<double>(random() % 200) / 10.0;
    a.child = "Aluno " + std::to_string(1 + random() % 30);
    records[i % files] += game::RecordLine(a);
  }
  return records;
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::vector<std::string> records = MakeRecords(lines, 3);
  const auto dir = std::filesystem::temp_directory_path() / ("placarim_report_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::vector<std::string> paths;
  size_t bytes = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    paths.push_back((dir / ("maquina" + std::to_string(i + 1) + ".csv")).string());
    std::ofstream(paths.back(), std::ios::binary) << records[i];
    bytes += records[i].size();
  }
  std::printf("record: %d lines in %zu files, %.1f MB, in %s\n", lines, records.size(), bytes / 1e6, dir.c_str());

  std::vector<double> total, read, build, write, processor;
  size_t page_size = 0;
  for (int run = 0; run < 10; ++run) {
    const double processor_start = ProcessorSeconds();
    const auto start = Clock::now();
    std::vector<game::RecordRow> rows;
    for (const std::string& path : paths) {
      auto reading = game::ReadPlayRecord(*game::ReadWholeFile(path));
      rows.insert(rows.end(), std::make_move_iterator(reading.rows.begin()),
                  std::make_move_iterator(reading.rows.end()));
    }
    read.push_back(Seconds(start));
    const auto built = Clock::now();
    const game::ClassReport report = game::BuildClassReport(rows);
    build.push_back(Seconds(built));
    const auto written = Clock::now();
    const std::string text = game::ReportText(report);
    const std::string svg = game::ReportSvg(report.whole);
    const std::string page = game::ReportHtml(report, paths);
    write.push_back(Seconds(written));
    total.push_back(Seconds(start));
    processor.push_back(ProcessorSeconds() - processor_start);
    page_size = page.size();
    if (rows.size() != static_cast<size_t>(lines) || text.empty() || svg.empty()) {
      std::fprintf(stderr, "the record was not read whole\n");
      return 1;
    }
  }
  std::printf("library, median of 10: %.3f s, processor %.3f s (reading %.3f s, figures %.3f s, "
              "text, chart and page %.3f s)\n",
              bench::Summarize(total).median, bench::Summarize(processor).median, bench::Summarize(read).median,
              bench::Summarize(build).median, bench::Summarize(write).median);

  std::vector<double> program, program_processor;
  for (int run = 0; run < 5; ++run) {
    const auto start = Clock::now();
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
      std::freopen("/dev/null", "w", stdout);
      std::vector<char*> args{const_cast<char*>(PLACARIM_REPORT)};
      for (std::string& path : paths) args.push_back(path.data());
      args.push_back(nullptr);
      execv(PLACARIM_REPORT, args.data());
      _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    program.push_back(Seconds(start));
    program_processor.push_back(Seconds(usage.ru_utime) + Seconds(usage.ru_stime));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "placarim-report failed\n");
      return 1;
    }
  }
  const auto written_page = dir / "relatorio.html";
  std::printf("placarim-report on the %zu files, median of 5: %.3f s, processor %.3f s (goal: under 1 s)\n",
              paths.size(), bench::Summarize(program).median, bench::Summarize(program_processor).median);
  std::printf("page: %.1f kB (%ju bytes, %d children); in the library run %zu bytes\n",
              std::filesystem::file_size(written_page) / 1000.0,
              static_cast<uintmax_t>(std::filesystem::file_size(written_page)), 30, page_size);
  if (std::getenv("PLACARIM_KEEP_REPORT") == nullptr) std::filesystem::remove_all(dir);
  return 0;
}
