#include "game/play_record.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/decimal_text.h"
#include "platform/text_encoding.h"

namespace placarim::game {
namespace {

// A field as CSV writes it: quoted when it holds a comma, a quote or a line
// end; line ends become blanks so that every record stays one line.
std::string Field(std::string_view cp1252) {
  std::string text = platform::Cp1252ToUtf8(cp1252);
  bool quote = false;
  std::string out;
  for (char c : text) {
    if (c == '\r' || c == '\n') c = ' ';
    if (c == ',' || c == '"') quote = true;
    if (c == '"') out += '"';
    out += c;
  }
  return quote ? "\"" + out + "\"" : out;
}

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// Splits one CSV line into `fields` (reused from line to line, so that a
// long record costs no allocation per field); false when a quote is left open.
bool SplitFields(std::string_view line, std::vector<std::string>& fields) {
  size_t count = 1;
  auto field = [&]() -> std::string& {
    if (fields.size() < count) fields.emplace_back();
    return fields[count - 1];
  };
  field().clear();
  bool quoted = false;
  while (!line.empty()) {
    if (!quoted) {
      // Plain text up to the next comma or quote goes in one piece.
      const size_t stop = line.find_first_of(",\"");
      field().append(line.substr(0, stop));
      if (stop == std::string_view::npos) break;
      if (line[stop] == '"') {
        quoted = true;
      } else {
        ++count;
        field().clear();
      }
      line.remove_prefix(stop + 1);
      continue;
    }
    const size_t quote = line.find('"');
    if (quote == std::string_view::npos) return false;
    field().append(line.substr(0, quote));
    if (quote + 1 < line.size() && line[quote + 1] == '"') {
      field() += '"';
      line.remove_prefix(quote + 2);
    } else {
      quoted = false;
      line.remove_prefix(quote + 1);
    }
  }
  if (quoted) return false;
  fields.resize(count);
  return true;
}

bool ToInt(const std::string& text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool ToSeconds(const std::string& text, double& value) {
  return platform::ParseDecimal(text, value) && std::isfinite(value) && value >= 0;
}

std::optional<Outcome> OutcomeOf(std::string_view name) {
  for (Outcome outcome : {Outcome::kGoal, Outcome::kMiss, Outcome::kHelp}) {
    if (OutcomeName(outcome) == name) return outcome;
  }
  return std::nullopt;
}

std::optional<RecordRow> ParseRow(std::string_view line, std::vector<std::string>& f) {
  if (!SplitFields(line, f) || (f.size() != 9 && f.size() != 10)) return std::nullopt;
  RecordRow row;
  row.date = f[0];
  row.time = f[1];
  row.title = f[3];
  row.sum = f[5];
  row.answer = f[6];
  const auto outcome = OutcomeOf(f[7]);
  if (!outcome || row.date.size() != 10 || !ToInt(f[2], row.championship) || !ToInt(f[4], row.phase) ||
      !ToSeconds(f[8], row.seconds)) {
    return std::nullopt;
  }
  row.outcome = *outcome;
  if (f.size() == 10) row.child = f[9];
  return row;
}

}  // namespace

std::string_view OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kGoal: return "gol";
    case Outcome::kMiss: return "erro";
    case Outcome::kHelp: return "ajuda";
  }
  return {};
}

std::string RecordLine(const AnsweredSum& a) {
  const platform::DateTime& w = a.when;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", a.seconds < 0 ? 0.0 : a.seconds);
  return std::to_string(w.year) + "-" + TwoDigits(w.month) + "-" + TwoDigits(w.day) + "," +
         TwoDigits(w.hour) + ":" + TwoDigits(w.minute) + ":" + TwoDigits(w.second) + "," +
         std::to_string(a.championship) + "," + Field(a.title) + "," + std::to_string(a.phase) + "," +
         Field(a.sum) + "," + Field(a.answer) + "," + std::string(OutcomeName(a.outcome)) + "," + seconds + "," +
         Field(a.child) + "\n";
}

PlayRecordWriter::~PlayRecordWriter() {
  if (fd_ >= 0) close(fd_);
}

bool PlayRecordWriter::Open() {
  if (fd_ >= 0) return true;
  if (path_.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
  fd_ = open(path_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) fd_ = open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);  // a write-only file
  if (fd_ < 0) return false;
  // A file that does not end its last line (cut short by a full disk) gets a
  // line end first, so the next record starts on a line of its own.
  const off_t size = lseek(fd_, 0, SEEK_END);
  if (size == 0) return WriteAll(kRecordHeader);
  char last = '\n';
  if (size > 0 && pread(fd_, &last, 1, size - 1) == 1 && last != '\n') return WriteAll("\n");
  return true;
}

bool PlayRecordWriter::Append(const AnsweredSum& answered) {
  return fd_ >= 0 && WriteAll(RecordLine(answered));
}

bool PlayRecordWriter::WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

RecordReading ReadPlayRecord(std::string_view text) {
  RecordReading reading;
  std::vector<std::string> fields;
  int number = 0;
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line == kRecordHeader.substr(0, kRecordHeader.size() - 1) ||
        line == kNineColumnHeader.substr(0, kNineColumnHeader.size() - 1)) {
      continue;
    }
    if (auto row = ParseRow(line, fields)) {
      reading.rows.push_back(std::move(*row));
    } else {
      reading.bad_lines.push_back(number);
    }
  }
  return reading;
}

}  // namespace placarim::game
