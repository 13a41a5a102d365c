// Writes the Ilvra voice's language files from their sources in data/ilvra.
//
//   placarim_ilvra_data rules SOURCE OUTPUT
//     Source lines:   left(CENTRE)right = "ph ph ph"    example words, notes
//     "--" starts a comment line; blank lines are ignored. Phonemes in the
//     output are separated by spaces; a phoneme may start with "¨" (the end
//     of the stressed syllable's lengthening). The rule file gets one rule a
//     line, left(CENTRE)right=ph&ph&ph, in Windows-1252, after a ";" header.
//   placarim_ilvra_data text SOURCE OUTPUT
//     Copies a UTF-8 source as Windows-1252 (every character must have a
//     Windows-1252 form).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "voices/ilvra/letter_rules.h"
#include "voices/ilvra/phoneme_set.h"
#include "platform/text_encoding.h"

namespace {

using placarim::platform::Utf8ToCp1252;

bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t\r") == std::string::npos; }

std::string RuleOfLine(const std::string& utf8_line, std::string& error) {
  // Only the rule is converted: the notes after it may hold any character.
  const size_t first_quote = utf8_line.find('"');
  const size_t last_quote = first_quote == std::string::npos ? first_quote : utf8_line.find('"', first_quote + 1);
  const std::string line = Utf8ToCp1252(utf8_line.substr(0, last_quote == std::string::npos ? last_quote : last_quote + 1), '\x01');
  if (line.find('\x01') != std::string::npos) {
    error = "a character has no Windows-1252 form";
    return {};
  }
  const size_t open = line.find('(');
  const size_t close = open == std::string::npos ? open : line.find(')', open);
  const size_t eq = close == std::string::npos ? close : line.find('=', close);
  const size_t q1 = eq == std::string::npos ? eq : line.find('"', eq);
  const size_t q2 = q1 == std::string::npos ? q1 : line.find('"', q1 + 1);
  if (q2 == std::string::npos) {
    error = "expected left(CENTRE)right = \"output\"";
    return {};
  }
  std::string head = line.substr(0, eq);
  while (!head.empty() && (head.back() == ' ' || head.back() == '\t')) head.pop_back();
  if (head.find_first_of(" \t|") != std::string::npos) {
    error = "no blanks inside the patterns";
    return {};
  }
  std::string output;
  const std::string spoken = line.substr(q1 + 1, q2 - q1 - 1);
  size_t k = 0;
  while (k < spoken.size()) {
    while (k < spoken.size() && spoken[k] == ' ') ++k;
    if (k >= spoken.size()) break;
    size_t end = spoken.find(' ', k);
    if (end == std::string::npos) end = spoken.size();
    std::string phoneme = spoken.substr(k, end - k);
    k = end;
    std::string name = phoneme;
    if (!name.empty() && static_cast<unsigned char>(name[0]) == 0xA8) name.erase(0, 1);
    if (!placarim::ilvra::IsPhonemeName(name) || name == "_") {
      error = "unknown phoneme \"" + name + "\"";
      return {};
    }
    if (!output.empty()) output += '&';
    output += phoneme;
  }
  const std::string rule = head + "=" + output;
  const auto parsed = placarim::ilvra::ParseIlvraRuleLine(rule);
  if (parsed.left.size() != open || parsed.centre.size() != close - open - 1 ||
      parsed.right.size() != head.size() - close - 1 || parsed.output != output) {
    error = "a field is longer than the rule file allows (5, 5, 5 and 20 characters)";
    return {};
  }
  if (parsed.centre.empty()) {
    error = "a rule needs a centre";
    return {};
  }
  return rule;
}

bool ReadAll(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool WriteAll(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return out.good();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::string(argv[1]) != "rules" && std::string(argv[1]) != "text")) {
    std::fprintf(stderr, "usage: %s rules|text SOURCE OUTPUT\n", argv[0]);
    return 2;
  }
  std::string text;
  if (!ReadAll(argv[2], text)) {
    std::fprintf(stderr, "%s: cannot read\n", argv[2]);
    return 1;
  }
  if (std::string(argv[1]) == "text") {
    const std::string converted = Utf8ToCp1252(text, '\x01');
    if (converted.find('\x01') != std::string::npos) {
      std::fprintf(stderr, "%s: a character has no Windows-1252 form\n", argv[2]);
      return 1;
    }
    return WriteAll(argv[3], converted) ? 0 : 1;
  }
  std::string out = ";Letter rules of the Ilvra voice: left(CENTRE)right=output\n";
  std::string line, error;
  int number = 0, failures = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsBlank(line) || line.rfind("--", 0) == 0) continue;
    const std::string rule = RuleOfLine(line, error);
    if (rule.empty()) {
      std::fprintf(stderr, "%s:%d: %s\n", argv[2], number, error.c_str());
      ++failures;
      continue;
    }
    out += rule + "\n";
  }
  if (failures > 0) return 1;
  return WriteAll(argv[3], out) ? 0 : 1;
}
