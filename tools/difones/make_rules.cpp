// Turns the annotated letter-rule source into the rule file the voice reads.
//
// Source lines:   left(CENTRE)right = "output"    example words, notes
// Lines starting with "--" are comments; blank lines are ignored. The rule
// file has one rule a line, without comments:   left(CENTRE)right=output
//
//   placarim_make_rules SOURCE OUTPUT
#include <cstdio>
#include <fstream>
#include <string>

#include "voices/tradutor/letter_rules.h"

namespace {

bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t\r") == std::string::npos; }

// The rule text of one source line, or an empty string with `error` set.
std::string RuleOfLine(const std::string& line, std::string& error) {
  const size_t open = line.find('(');
  const size_t close = line.find(')', open == std::string::npos ? 0 : open);
  const size_t eq = line.find('=', close == std::string::npos ? 0 : close);
  const size_t q1 = line.find('"', eq == std::string::npos ? 0 : eq);
  const size_t q2 = q1 == std::string::npos ? q1 : line.find('"', q1 + 1);
  if (open == std::string::npos || close == std::string::npos || eq == std::string::npos ||
      q2 == std::string::npos) {
    error = "expected left(CENTRE)right = \"output\"";
    return {};
  }
  std::string head = line.substr(0, eq);
  while (!head.empty() && (head.back() == ' ' || head.back() == '\t')) head.pop_back();
  const std::string rule = head + "=" + line.substr(q1 + 1, q2 - q1 - 1);
  const auto parsed = placarim::tradutor::ParseRuleLine(rule);
  if (parsed.left.size() != open || parsed.centre.size() != close - open - 1 ||
      parsed.right.size() != head.size() - close - 1 || parsed.output.size() != q2 - q1 - 1) {
    error = "a field is longer than the rule file allows (5, 5, 5 and 11 characters)";
    return {};
  }
  if (parsed.centre.empty() || parsed.centre[0] < 32 || parsed.centre[0] > 95) {
    error = "the centre must start with an upper-case letter or a sign";
    return {};
  }
  if (head.find_first_of(" \t") != std::string::npos) {
    error = "no blanks inside the patterns";
    return {};
  }
  return rule;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE OUTPUT\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read\n", argv[1]);
    return 1;
  }
  std::string out_text, line, error;
  int number = 0, failures = 0;
  while (std::getline(in, line)) {
    ++number;
    if (IsBlank(line) || line.rfind("--", 0) == 0) continue;
    const std::string rule = RuleOfLine(line, error);
    if (rule.empty()) {
      std::fprintf(stderr, "%s:%d: %s\n", argv[1], number, error.c_str());
      ++failures;
      continue;
    }
    out_text += rule + "\n";
  }
  if (failures > 0) return 1;
  std::ofstream out(argv[2], std::ios::binary);
  out << out_text;
  return out.good() ? 0 : 1;
}
