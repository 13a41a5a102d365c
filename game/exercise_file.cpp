#include "game/exercise_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

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

enum class NumberRun { kOk, kEmpty, kTooBig };

// Takes the longest run of leading digits off `rest` and converts it. The
// digits are taken even when the run is worth more than kMaxOperand.
NumberRun TakeNumber(std::string_view& rest, int32_t& value) {
  size_t length = 0;
  int64_t total = 0;
  bool too_big = false;
  while (length < rest.size() && IsDigit(rest[length])) {
    if (!too_big) {
      total = total * 10 + (rest[length] - '0');
      too_big = total > kMaxOperand;
    }
    ++length;
  }
  rest.remove_prefix(length);
  value = 0;
  if (length == 0) return NumberRun::kEmpty;
  if (too_big) return NumberRun::kTooBig;
  value = static_cast<int32_t>(total);
  return NumberRun::kOk;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool IsOperatorChar(char c) {
  switch (c) {
    case '+': case '-': case '*': case 'x': case 'X': case '/': case ':':
      return true;
    default:
      return false;
  }
}

SumReading ReadSum(std::string_view line) {
  std::string work;
  work.reserve(line.size());
  for (char c : line) {
    if (c != ' ') work.push_back(c);
  }
  std::string_view rest = work;
  SumReading reading;
  // Every part is taken even after a fault; the first fault is the one told.
  auto note = [&](bool broken, SumFault fault) {
    if (broken && reading.fault == SumFault::kNone) reading.fault = fault;
  };
  auto number = [&](int32_t& value, SumFault empty, SumFault too_big) {
    const NumberRun run = TakeNumber(rest, value);
    note(run == NumberRun::kEmpty, empty);
    note(run == NumberRun::kTooBig, too_big);
  };
  ParsedSum sum;
  number(sum.a, SumFault::kNoFirstNumber, SumFault::kFirstNumberTooBig);
  if (!rest.empty()) {
    sum.op = rest.front();
    rest.remove_prefix(1);
  }
  note(!IsOperatorChar(sum.op), SumFault::kBadOperator);
  number(sum.b, SumFault::kNoSecondNumber, SumFault::kSecondNumberTooBig);
  note(rest.empty() || rest.front() != '=', SumFault::kNoEquals);
  if (!rest.empty()) rest.remove_prefix(1);
  note(!rest.empty() && rest.front() == '-', SumFault::kNegativeResult);
  number(sum.r, SumFault::kNoResult, SumFault::kResultTooBig);
  if (reading.fault == SumFault::kNone) reading.sum = sum;
  return reading;
}

std::optional<ParsedSum> ParseSum(std::string_view line) { return ReadSum(line).sum; }

WrittenFile SplitExerciseFile(std::string_view file_bytes) {
  WrittenFile file;
  if (file_bytes.starts_with(kByteOrderMark)) {
    file.byte_order_mark = true;
    file_bytes.remove_prefix(kByteOrderMark.size());
  }
  if (size_t stop = file_bytes.find(kEndOfFile); stop != std::string_view::npos) {
    const std::string_view before = file_bytes.substr(0, stop);
    file.end_of_file_line = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
    file.text_after_end = file_bytes.find_first_not_of(" \r\n\t\x1A", stop) != std::string_view::npos;
    file_bytes = before;
  }
  file.from_utf8 = platform::LooksLikeUtf8(file_bytes);
  const std::string text = platform::FileTextToCp1252(file_bytes);
  LineReader reader(text);
  std::string_view line;
  int number = 0;
  while (reader.Next(line)) {
    ++number;
    if (IsHeader(line)) {
      file.championships.push_back({number, std::string(line.substr(1)), {}});
      continue;
    }
    if (file.championships.empty()) {
      if (!line.empty()) file.preamble.push_back({number, std::string(line)});
      continue;
    }
    auto& phases = file.championships.back().phases;
    // A phase opens with its first sum line; an empty line closes it.
    if (line.empty()) {
      if (!phases.empty() && !phases.back().empty()) phases.emplace_back();
      continue;
    }
    if (phases.empty()) phases.emplace_back();
    phases.back().push_back({number, std::string(line)});
  }
  // The empty phase an empty line opened after the last sum of each championship.
  for (WrittenChampionship& championship : file.championships) {
    if (!championship.phases.empty() && championship.phases.back().empty()) championship.phases.pop_back();
  }
  return file;
}

LoadResult LoadChampionshipText(std::string_view file_bytes, int number) {
  LoadResult result;
  const WrittenFile file = SplitExerciseFile(file_bytes);
  if (number < 1 || number > static_cast<int>(file.championships.size())) {
    result.errors = {std::string(kFileDamaged)};
    return result;
  }
  const WrittenChampionship& written = file.championships[number - 1];
  result.title = written.title;
  Championship& tables = result.championship;
  for (size_t p = 0; p < written.phases.size(); ++p) {
    const auto& sums = written.phases[p];
    if (p == kMaxPhases) {
      result.errors = {std::string(kFileDamaged)};
      return result;
    }
    if (sums.size() > kMaxSumsPerPhase) {
      result.errors = {std::string(kTooManySums), std::string(kFileDamaged)};
      return result;
    }
    for (size_t s = 0; s < sums.size(); ++s) tables.sums[p][s] = sums[s].text;
    tables.sum_count[p] = static_cast<int>(sums.size());
    tables.phase_count = static_cast<int>(p) + 1;
  }
  return result;
}

}  // namespace placarim::game
