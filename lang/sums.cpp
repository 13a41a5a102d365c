#include "lang/sums.h"

#include <optional>
#include <vector>

#include "lang/cp1252.h"

namespace placarim::lang {
namespace {

constexpr char kTimes = '\xD7';
constexpr char kDivide = '\xF7';

bool IsOperator(char c) {
  switch (c) {
    case '+': case '-': case 'x': case 'X': case '*': case kTimes: case ':': case '/': case kDivide:
      return true;
    default:
      return false;
  }
}

// Signs that also write telephones, dates and hours between digits.
bool NeedsEquals(char op) { return op == '-' || op == ':' || op == '/'; }

// Letters of any alphabet of the code page: a number glued to one is a code
// or a unit ("A1", "3km"), not a term of a sum.
bool IsWordByte(char c) { return IsAsciiLetter(c) || IsDigit(c) || Byte(c) >= 0xC0; }

struct Parsed {
  std::vector<std::string_view> numbers;
  std::vector<char> operators;
  bool equals = false;
  std::string_view result;  // possibly with a leading "-"
  size_t end = 0;
};

class SumParser {
 public:
  explicit SumParser(std::string_view text) : t_(text) {}

  std::optional<Parsed> Parse() {
    Parsed p;
    const std::string_view first = Number();
    if (first.empty()) return std::nullopt;
    p.numbers.push_back(first);
    for (;;) {
      const size_t back = i_;
      SkipBlanks();
      const char op = At(i_);
      if (!IsOperator(op)) {
        i_ = back;
        break;
      }
      ++i_;
      SkipBlanks();
      const std::string_view next = Number();
      if (next.empty()) {
        i_ = back;
        break;
      }
      p.operators.push_back(op);
      p.numbers.push_back(next);
    }
    if (p.operators.empty()) return std::nullopt;
    const size_t after_terms = i_;
    SkipBlanks();
    if (At(i_) == '=') {
      p.equals = true;
      ++i_;
      const size_t after_equals = i_;
      SkipBlanks();
      const size_t sign = At(i_) == '-' && IsDigit(At(i_ + 1)) ? 1 : 0;
      i_ += sign;
      const std::string_view result = Number();
      if (result.empty()) {
        i_ = after_equals;
      } else {
        p.result = t_.substr(i_ - result.size() - sign, result.size() + sign);
      }
    } else {
      i_ = after_terms;
    }
    if (IsWordByte(At(i_))) return std::nullopt;
    if (!p.equals) {
      for (char op : p.operators) {
        if (NeedsEquals(op)) return std::nullopt;
      }
    }
    p.end = i_;
    return p;
  }

 private:
  char At(size_t k) const { return k < t_.size() ? t_[k] : '\0'; }
  void SkipBlanks() {
    while (At(i_) == ' ' || At(i_) == '\t') ++i_;
  }
  // Digits, with decimal marks between them ("3,5", "1.000").
  std::string_view Number() {
    const size_t start = i_;
    while (IsDigit(At(i_)) || ((At(i_) == ',' || At(i_) == '.') && i_ > start && IsDigit(At(i_ + 1)))) ++i_;
    return t_.substr(start, i_ - start);
  }

  std::string_view t_;
  size_t i_ = 0;
};

std::string Spoken(const Parsed& p) {
  std::string out(p.numbers[0]);
  for (size_t k = 0; k < p.operators.size(); ++k) {
    out += ' ';
    out += OperatorWord(p.operators[k]);
    out += ' ';
    out += p.numbers[k + 1];
  }
  if (p.equals) out += ' ' + std::string(OperatorWord('='));
  if (!p.result.empty()) out += " a " + std::string(p.result);
  return out;
}

bool MayStartSum(std::string_view text, size_t i) {
  if (!IsDigit(text[i])) return false;
  if (i == 0) return true;
  const char before = text[i - 1];
  return !IsWordByte(before) && before != ',' && before != '.';
}

// What a failed start steps over: the digits and the signs glued to them,
// so that no sum is found inside a telephone or a date.
size_t GluedRun(std::string_view text, size_t i) {
  size_t k = i;
  while (k < text.size() && (IsDigit(text[k]) || text[k] == '-' || text[k] == '/' || text[k] == ':' ||
                             text[k] == '.' || text[k] == ',')) {
    ++k;
  }
  return k - i;
}

}  // namespace

std::string_view OperatorWord(char sign) {
  switch (sign) {
    case '+': return "mais";
    case '-': return "menos";
    case 'x': case 'X': case '*': case kTimes: return "vezes";
    case ':': case '/': case kDivide: return "dividido por";
    case '=': return "igual";
    default: return {};
  }
}

size_t SumLength(std::string_view text) {
  const auto parsed = SumParser(text).Parse();
  return parsed ? parsed->end : 0;
}

std::string ReadSums(std::string_view text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    if (!MayStartSum(text, i)) {
      out += text[i++];
      continue;
    }
    if (const auto parsed = SumParser(text.substr(i)).Parse()) {
      out += Spoken(*parsed);
      i += parsed->end;
    } else {
      const size_t run = GluedRun(text, i);
      out += text.substr(i, run);
      i += run;
    }
  }
  return out;
}

}  // namespace placarim::lang
