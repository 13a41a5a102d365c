#include "voices/ilvra/prosody.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "lang/questions.h"
#include "voices/ilvra/latin1.h"
#include "voices/ilvra/letter_rules.h"
#include "platform/text_encoding.h"

namespace placarim::ilvra {

void ProsodyTables::Clear() {
  durations.clear();
  keys.clear();
  patterns.clear();
  hertz = kDefaultHertz;
  table.fill(0);
}

int ProsodyTables::DurationOf(std::string_view name) const {
  for (const auto& d : durations) {
    if (d.name == name) return d.ms;
  }
  return 100;
}

const std::string* ProsodyTables::KeyOf(std::string_view upper_word) const {
  auto it = std::lower_bound(keys.begin(), keys.end(), upper_word,
                             [](const ProsodyKey& k, std::string_view w) { return k.word < w; });
  return it != keys.end() && it->word == upper_word ? &it->code : nullptr;
}

namespace {

// The lines of one section: from its header to the next line starting with
// "[", comments and empty lines left out. False when the header is absent.
bool SectionLines(std::string_view text, std::string_view header, std::vector<std::string_view>& lines) {
  bool inside = false, found = false;
  ForEachLine(text, [&](std::string_view raw) {
    if (found && !inside) return;
    if (!inside) {
      if (Trim(raw) == header) inside = found = true;
      return;
    }
    if (!raw.empty() && raw.front() == '[') {
      inside = false;
      return;
    }
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';' || line.front() == '*') return;
    lines.push_back(line);
  });
  return found;
}

std::string Cut(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

}  // namespace

namespace {

// Tells the prosody's failures on the configured message box, in the
// program's encoding, with the offending line after the text.
class ProsodyReport {
 public:
  ProsodyReport(const ProsodyMessage& message, std::vector<std::string>* notices)
      : message_(message), notices_(notices) {}
  void Say(const std::string& utf8, std::string_view line = {}) const {
    if (message_) message_(platform::Utf8ToCp1252(utf8) + std::string(line));
  }
  void Notice(std::string text) const {
    if (notices_) notices_->push_back(std::move(text));
  }

 private:
  const ProsodyMessage& message_;
  std::vector<std::string>* notices_;
};

// "name=ms" lines: a bad number keeps the phoneme at 100 ms and says so; a
// line without "=" ends the reading.
bool ParseDurations(const std::vector<std::string_view>& lines, ProsodyTables& tables, const ProsodyReport& report) {
  for (std::string_view line : lines) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      report.Say("Configuração da prosódia: fonema errado: ", line);
      return false;
    }
    PhonemeDuration d;
    d.name = Cut(Trim(line.substr(0, eq)), 2);
    auto value = ParseInteger(Trim(line.substr(eq + 1)));
    if (value && *value < 0) value.reset();  // a duration is never negative
    if (!value) report.Say("Configuração da prosódia: fonema errado: ", line);
    d.ms = value ? *value : 100;
    tables.durations.push_back(std::move(d));
  }
  return true;
}

// "WORD=code" lines, kept sorted by word for lookup.
bool ParseKeys(const std::vector<std::string_view>& lines, ProsodyTables& tables, const ProsodyReport& report) {
  for (std::string_view line : lines) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      report.Say("Configuração da prosódia: chave errada: ", line);
      return false;
    }
    if (tables.keys.size() >= ProsodyTables::kMaxKeys) {
      report.Notice("prosody key table full, line refused: " + std::string(line));
      continue;
    }
    ProsodyKey key;
    key.word = lang::UpperCase(Trim(line.substr(0, eq)));
    key.code = Cut(lang::UpperCase(Trim(line.substr(eq + 1))), 2);
    tables.keys.push_back(std::move(key));
  }
  std::stable_sort(tables.keys.begin(), tables.keys.end(),
                   [](const ProsodyKey& a, const ProsodyKey& b) { return a.word < b.word; });
  return true;
}

// Exactly ten percentages, each from 0 to 1000, separated by commas.
std::optional<std::array<int, 10>> ParseHertzTable(std::string_view rest) {
  std::array<int, 10> values{};
  size_t count = 0;
  for (;;) {
    const size_t comma = rest.find(',');
    const auto v = ParseInteger(Trim(rest.substr(0, comma)));
    if (!v || *v < 0 || *v > 1000 || count == values.size()) return std::nullopt;
    values[count++] = *v;
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
  if (count != values.size()) return std::nullopt;
  return values;
}

// "previous|current|next=contour", each field cut to three characters.
ContourPattern ParsePattern(std::string_view fields, std::string_view contour) {
  ContourPattern pattern;
  pattern.contour = std::string(contour);
  std::string* targets[3] = {&pattern.previous, &pattern.current, &pattern.next};
  for (std::string* target : targets) {
    const size_t bar = fields.find('|');
    *target = Cut(Trim(fields.substr(0, bar)), 3);
    if (bar == std::string_view::npos) break;
    fields = fields.substr(bar + 1);
  }
  return pattern;
}

// TABHERTZ=, HERTZ= and the contour patterns.
bool ParseMelody(const std::vector<std::string_view>& lines, ProsodyTables& tables, const ProsodyReport& report) {
  for (std::string_view raw : lines) {
    const std::string line = lang::UpperCase(raw);
    const std::string_view view(line);
    if (view.rfind("TABHERTZ=", 0) == 0) {
      const auto values = ParseHertzTable(view.substr(9));
      if (!values) {
        report.Say("Configuração da prosódia: tabela de frequências errada: ", raw);
        return false;
      }
      tables.table = *values;
      continue;
    }
    if (view.rfind("HERTZ=", 0) == 0) {
      const auto v = ParseInteger(Trim(view.substr(6)));
      if (!v || *v < 20 || *v > 2000) {
        report.Say("Configuração da prosódia: frequência errada: ", raw);
        return false;
      }
      tables.hertz = *v;
      continue;
    }
    const size_t eq = view.find('=');
    if (eq == std::string_view::npos) {
      report.Say("Configuração da prosódia: chave errada: ", raw);
      return false;
    }
    if (tables.patterns.size() >= ProsodyTables::kMaxPatterns) {
      report.Notice("contour pattern table full, line refused: " + std::string(raw));
      continue;
    }
    tables.patterns.push_back(ParsePattern(Trim(view.substr(0, eq)), Trim(view.substr(eq + 1))));
  }
  return true;
}

}  // namespace

bool ParseProsody(std::string_view text, ProsodyTables& tables, const ProsodyMessage& message,
                  std::vector<std::string>* notices) {
  using platform::Utf8ToCp1252;
  tables.Clear();
  const ProsodyReport report(message, notices);
  std::vector<std::string_view> lines;
  if (!SectionLines(text, Utf8ToCp1252("[DURAÇÃO]"), lines)) {
    report.Say("Duração dos difones errada ou ausente");
    return false;
  }
  if (!ParseDurations(lines, tables, report)) return false;

  lines.clear();
  if (!SectionLines(text, "[CHAVES]", lines)) {
    report.Say("Prosódia: palavras chaves ausentes");
    return false;
  }
  if (!ParseKeys(lines, tables, report)) return false;

  lines.clear();
  if (!SectionLines(text, Utf8ToCp1252("[PROSÓDIA]"), lines)) {
    report.Say("Prosódia: especificações ausentes");
    return false;
  }
  return ParseMelody(lines, tables, report);
}

bool LoadProsody(const std::string& path, ProsodyTables& tables, const ProsodyMessage& message,
                 std::vector<std::string>* notices) {
  const auto text = ReadLanguageFile(path);
  if (!text) {
    tables.Clear();
    if (message) message(platform::Utf8ToCp1252("Configuração da prosódia não foi achada"));
    return false;
  }
  return ParseProsody(*text, tables, message, notices);
}

void DiphoneList::Assign(std::vector<std::string> pairs) {
  for (auto& p : pairs) p = lang::LowerCase(p);
  std::sort(pairs.begin(), pairs.end());
  pairs_ = std::move(pairs);
}

namespace {

// Compares a stored pair with "first-second" in lower case, as std::string
// compares (bytes unsigned), without building the key: this runs for every
// phoneme spoken.
int ComparePair(std::string_view pair, std::string_view first, std::string_view second) {
  const size_t length = first.size() + 1 + second.size();
  auto key = [&](size_t i) {
    const char c = i < first.size() ? first[i] : i == first.size() ? '-' : second[i - first.size() - 1];
    return static_cast<unsigned char>(lang::LowerCase(c));
  };
  for (size_t i = 0; i < std::min(pair.size(), length); ++i) {
    const auto p = static_cast<unsigned char>(pair[i]);
    if (p != key(i)) return p < key(i) ? -1 : 1;
  }
  return pair.size() < length ? -1 : pair.size() > length ? 1 : 0;
}

}  // namespace

bool DiphoneList::Has(std::string_view first, std::string_view second) const {
  const auto it = std::lower_bound(pairs_.begin(), pairs_.end(), 0, [&](const std::string& pair, int) {
    return ComparePair(pair, first, second) < 0;
  });
  return it != pairs_.end() && ComparePair(*it, first, second) == 0;
}

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '2' || c == '@' || c == '_';
}

}  // namespace

void ParseDiphoneList(std::string_view text, DiphoneList& list) {
  std::vector<std::string> pairs;
  ForEachLine(text, [&](std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '!' || line.front() == '*' || line.front() == ';') return;
    size_t k = 0;
    while (k < line.size() && IsNameChar(line[k])) ++k;
    std::string pair(line.substr(0, k));
    while (k < line.size() && !IsNameChar(line[k])) ++k;
    const size_t second = k;
    while (k < line.size() && IsNameChar(line[k])) ++k;
    pair += '-';
    pair += line.substr(second, k - second);
    pairs.push_back(std::move(pair));
  });
  list.Assign(std::move(pairs));
}

bool LoadDiphoneList(const std::string& path, DiphoneList& list) {
  const auto text = ReadLanguageFile(path);
  if (!text) return false;
  ParseDiphoneList(*text, list);
  return true;
}

std::vector<std::string> TokenizeWithKeys(std::string_view text, const ProsodyTables& tables) {
  std::vector<std::string> out;
  out.emplace_back("[--]");
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    std::string line;
    if (text[i] == '.' && i + 1 < text.size() && text[i + 1] == '.') {
      while (i < text.size() && text[i] == '.') ++i;
      line = "[.-].";
    } else if (!IsTextLetter(text[i])) {
      line = std::string("[") + text[i] + text[i] + "]" + text[i];
      ++i;
    } else {
      const size_t start = i;
      while (i < text.size() && IsTextLetter(text[i])) ++i;
      const std::string_view word = text.substr(start, i - start);
      const std::string* key = tables.KeyOf(lang::UpperCase(word));
      line = "[" + (key ? *key : std::string("XX")) + "]";
      line += word;
    }
    const char first = line[4];
    out.push_back(std::move(line));
    if (first == '!' || first == '.' || first == '?') out.emplace_back("[--]");
  }
  return out;
}

namespace {

// The key code of a token line "[KEY]text".
std::string_view KeyCode(const std::string& line) {
  const size_t close = line.find(']');
  if (line.empty() || line[0] != '[' || close == std::string::npos) return {};
  return std::string_view(line).substr(1, close - 1);
}

std::string_view TokenText(const std::string& line) {
  const size_t close = line.find(']');
  return close == std::string::npos ? std::string_view() : std::string_view(line).substr(close + 1);
}

}  // namespace

namespace {

bool IsWordToken(const std::string& line) {
  const std::string_view text = TokenText(line);
  return !text.empty() && IsTextLetter(text[0]);
}

// The key codes the patterns see. A question that opens with a question word
// (Onde está a bola?) falls like a statement, so its question mark is seen as
// a full stop, unless the question word itself ends it ("E quanto?"), which
// its own patterns make fall.
std::vector<std::string_view> MelodyKeys(const std::vector<std::string>& tokens) {
  std::vector<std::string_view> keys;
  keys.reserve(tokens.size());
  std::vector<std::string_view> phrase_words;  // the first two words of the phrase
  for (size_t i = 0; i < tokens.size(); ++i) {
    std::string_view key = KeyCode(tokens[i]);
    if (key == "--") {
      phrase_words.clear();
    } else if (IsWordToken(tokens[i])) {
      if (phrase_words.size() < 2) phrase_words.push_back(TokenText(tokens[i]));
    } else if (key == "??" && !phrase_words.empty() && i > 0 && keys.back() != "QW" &&
               lang::OpensWithQuestionWord(phrase_words[0], phrase_words.size() > 1 ? phrase_words[1] : "")) {
      key = "..";
    }
    keys.push_back(key);
  }
  return keys;
}

}  // namespace

std::vector<std::string> AssignContours(const std::vector<std::string>& tokens, const ProsodyTables& tables) {
  std::vector<std::string> out;
  out.reserve(tokens.size());
  const auto keys = MelodyKeys(tokens);
  char previous_third = '5';
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string_view prev = i > 0 ? keys[i - 1] : std::string_view();
    const std::string_view cur = keys[i];
    const std::string_view next = i + 1 < tokens.size() ? keys[i + 1] : std::string_view();
    std::string contour = "555";
    for (const auto& p : tables.patterns) {
      if ((p.previous.empty() || p.previous == prev) && (p.current.empty() || p.current == cur) &&
          (p.next.empty() || p.next == next)) {
        contour = p.contour;
        break;
      }
    }
    if (!contour.empty() && contour[0] == '?') contour[0] = previous_third;
    // Contours are three digits; a shorter one is padded so the pitch
    // stage never reads beyond it.
    while (contour.size() < 3) contour += '5';
    previous_third = contour[2];
    std::string line = contour.substr(0, 3);
    line += '|';
    line += TokenText(tokens[i]);
    out.push_back(std::move(line));
  }
  return out;
}

namespace {

// What one pass of PhonemesToMbrola carries from line to line.
struct MbrolaState {
  std::string contour = "555";  // the word's three pitch digits
  int factor = 100;             // duration percentage of the syllable
  int stress = 0;               // 0 word start, 1 after it, 2 stressed vowel next, 3 after it
  size_t word_length = 0;       // length of the word's header line
  std::string previous = "_";   // the last phoneme written
};

// A word header ";555|word", another comment or an empty line: written as it
// goes, and true. A header starts a word; an empty line ends a syllable.
bool TakeNonPhonemeLine(const std::string& line, MbrolaState& state, std::vector<std::string>& out) {
  if (!line.empty() && line[0] == ';' && line.size() >= 5 && line[4] == '|') {
    state.contour = line.substr(1, 3);
    std::string header = ";" + line.substr(5);
    state.word_length = header.size();
    state.stress = 0;
    out.push_back(std::move(header));
    return true;
  }
  if (!line.empty() && line[0] == ';') {
    out.push_back(line);
    return true;
  }
  if (line.empty()) {
    state.factor = 100;
    out.emplace_back();
    return true;
  }
  return false;
}

// Takes the stress marks off a phoneme line: ">" lengthens the stressed
// syllable, 0xA8 (a syllable mark) brings the length back.
std::string_view TakeStressMarks(std::string_view name, MbrolaState& state) {
  if (name.front() == '>') {
    name.remove_prefix(1);
    if (!name.empty() && Byte(name.front()) == 0xA8) name.remove_prefix(1);
    state.factor = 145;
    state.stress = 2;
  } else if (Byte(name.front()) == 0xA8) {
    name.remove_prefix(1);
    state.factor = 100;
  }
  return name;
}

// The phoneme and its length in milliseconds before the syllable's factor: a
// pause "_" (100 ms, or "_ N"), else the table's length, shortened in long
// words away from the stress.
std::pair<std::string, long> PhonemeLength(std::string_view name, const MbrolaState& state,
                                           const ProsodyTables& tables) {
  if (!name.empty() && name.front() == '_') {
    if (name.size() == 1) return {"_", 100};
    if (name[1] == ' ') {
      const auto v = ParseInteger(Trim(name.substr(2)));
      return {"_", v && *v > 0 ? *v : 100};
    }
    return {"_", tables.DurationOf(name)};
  }
  long ms = tables.DurationOf(name);
  if (state.stress < 2) {
    if (state.word_length > 13) ms = ms * 80 / 100;
    else if (state.word_length > 9) ms = ms * 90 / 100;
  }
  return {std::string(name), ms};
}

// The pitch points of the word's contour: its first digit on the word's first
// phoneme, the second on the stressed vowel, the third on the word's last.
void AddPitchPoints(std::string& mbrola, MbrolaState& state, bool last_of_word, const ProsodyTables& tables,
                    double pitch_factor) {
  auto add_point = [&](int position, char digit) {
    const int value = digit >= '0' && digit <= '9' ? tables.table[digit - '0'] : 0;
    if (value == 0) return;
    const long hertz = static_cast<long>(std::trunc(value * pitch_factor * tables.hertz)) / 100;
    mbrola += ' ' + std::to_string(position) + ' ' + std::to_string(hertz);
  };
  if (state.stress == 0) {
    add_point(50, state.contour[0]);
    state.stress = 1;
  } else if (state.stress == 2) {
    add_point(80, state.contour[1]);
    state.stress = 3;
  } else if (state.stress == 3 && last_of_word) {
    add_point(50, state.contour[2]);
  }
}

// Where the voice has no diphone from the previous phoneme to this one, a
// short bridge that it has.
void BridgeMissingDiphone(const std::string& previous, const std::string& phoneme, const DiphoneList& diphones,
                          std::vector<std::string>& out) {
  if (diphones.Has(previous, phoneme)) return;
  if (previous == "r2" && diphones.Has("r2", "_")) out.emplace_back("_ 50");
  else if (diphones.Has(previous, "y")) out.emplace_back("y 50");
  else out.emplace_back("_ 50");
}

}  // namespace

std::vector<std::string> PhonemesToMbrola(const std::vector<std::string>& lines, const ProsodyTables& tables,
                                          const DiphoneList& diphones, double pitch_factor,
                                          double duration_factor) {
  std::vector<std::string> out;
  out.reserve(lines.size() + lines.size() / 4);
  MbrolaState state;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (TakeNonPhonemeLine(lines[i], state, out)) continue;
    const std::string_view name = TakeStressMarks(lines[i], state);
    auto [phoneme, ms] = PhonemeLength(name, state, tables);
    ms = static_cast<long>(std::trunc(ms * state.factor * duration_factor)) / 100;
    std::string mbrola = phoneme + ' ' + std::to_string(ms);
    AddPitchPoints(mbrola, state, i + 1 == lines.size() || lines[i + 1].empty(), tables, pitch_factor);
    BridgeMissingDiphone(state.previous, phoneme, diphones, out);
    // Only phoneme lines move the previous phoneme: a word's header and the
    // empty line after it leave it, so a word joins the next through their
    // own diphone, as connected speech does, with no pause between words.
    state.previous = phoneme;
    out.push_back(std::move(mbrola));
  }
  return out;
}

}  // namespace placarim::ilvra
