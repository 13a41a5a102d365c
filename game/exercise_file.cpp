#include "game/exercise_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "game/message_keys.h"
#include "platform/text_encoding.h"

namespace placarim::game {
namespace {

constexpr char kEndOfFile = 26;  // Ctrl+Z: text files end there, whatever follows

// Hands out the lines of a text one by one. A line ends at LF; a CR just before
// the LF belongs to the line end. The last line needs no line end.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const size_t lf = text_.find('\n', pos_);
    if (lf == std::string_view::npos) {
      line = text_.substr(pos_);
      pos_ = text_.size();
      return true;
    }
    line = text_.substr(pos_, lf - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = lf + 1;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

bool IsHeader(std::string_view line) { return !line.empty() && line.front() == '*'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Takes the longest run of leading digits off `rest` and converts it. An empty
// run or a value beyond kMaxOperand clears `ok`; the digits are taken anyway.
int32_t TakeNumber(std::string_view& rest, bool& ok) {
  size_t length = 0;
  int64_t value = 0;
  bool too_big = false;
  while (length < rest.size() && IsDigit(rest[length])) {
    if (!too_big) {
      value = value * 10 + (rest[length] - '0');
      too_big = value > kMaxOperand;
    }
    ++length;
  }
  rest.remove_prefix(length);
  if (length == 0 || too_big) {
    ok = false;
    return 0;
  }
  return static_cast<int32_t>(value);
}

}  // namespace

bool IsOperatorChar(char c) {
  switch (c) {
    case '+': case '-': case '*': case 'x': case 'X': case '/': case ':':
      return true;
    default:
      return false;
  }
}

std::optional<ParsedSum> ParseSum(std::string_view line) {
  std::string work;
  work.reserve(line.size());
  for (char c : line) {
    if (c != ' ') work.push_back(c);
  }
  std::string_view rest = work;
  bool ok = true;
  ParsedSum sum;
  sum.a = TakeNumber(rest, ok);
  if (!rest.empty()) {
    sum.op = rest.front();
    rest.remove_prefix(1);
  }
  if (!IsOperatorChar(sum.op)) ok = false;
  sum.b = TakeNumber(rest, ok);
  if (rest.empty() || rest.front() != '=') ok = false;
  if (!rest.empty()) rest.remove_prefix(1);
  sum.r = TakeNumber(rest, ok);
  if (!ok) return std::nullopt;
  return sum;
}

LoadResult LoadChampionshipText(std::string_view file_bytes, int number) {
  LoadResult result;
  if (number < 1) {
    result.errors = {std::string(kFileDamaged)};
    return result;
  }
  if (size_t stop = file_bytes.find(kEndOfFile); stop != std::string_view::npos) {
    file_bytes = file_bytes.substr(0, stop);
  }
  const std::string text = platform::FileTextToCp1252(file_bytes);
  LineReader reader(text);
  std::string_view line;

  int headers_seen = 0;
  while (headers_seen < number) {
    if (!reader.Next(line)) {
      result.errors = {std::string(kFileDamaged)};
      return result;
    }
    if (IsHeader(line)) ++headers_seen;
  }
  result.title = std::string(line.substr(1));

  Championship& tables = result.championship;
  int phase = 1;
  int count = 0;
  auto close_phase = [&] {
    tables.sum_count[phase - 1] = count;
    tables.phase_count = phase;
  };
  for (;;) {
    if (!reader.Next(line)) line = "*";
    if (IsHeader(line)) {
      if (count > 0) close_phase();
      return result;
    }
    if (line.empty()) {
      if (count > 0) {
        close_phase();
        ++phase;
        count = 0;
      }
      continue;
    }
    if (phase > kMaxPhases) {
      result.errors = {std::string(kFileDamaged)};
      return result;
    }
    if (count == kMaxSumsPerPhase) {
      result.errors = {std::string(kTooManySums), std::string(kFileDamaged)};
      return result;
    }
    tables.Sum(phase, ++count) = std::string(line);
  }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  // Only a regular file is an exercise file: a directory opens but fails on
  // the first read, and a FIFO or a device could block or never end.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::string> bytes;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.emplace();
    char chunk[65536];
    for (;;) {
      const ssize_t n = read(fd, chunk, sizeof chunk);
      if (n > 0) {
        bytes->append(chunk, static_cast<size_t>(n));
      } else if (n == 0) {
        break;
      } else if (errno != EINTR) {
        bytes.reset();
        break;
      }
    }
  }
  close(fd);
  return bytes;
}

bool CanOpenForReading(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  close(fd);
  return regular;
}

}  // namespace placarim::game
