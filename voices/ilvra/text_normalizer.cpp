#include "voices/ilvra/text_normalizer.h"

#include "lang/cp1252.h"
#include "lang/number_words.h"
#include "lang/sums.h"
#include "lang/teacher_text.h"
#include "lang/symbol_names.h"
#include "voices/ilvra/latin1.h"
#include "voices/ilvra/letter_rules.h"
#include "platform/text_encoding.h"

namespace placarim::ilvra {
namespace {

using platform::Utf8ToCp1252;

using lang::SymbolName;

// The last group of a number joins the others as Brazilians say it: mil e
// vinte e quatro, dois mil trezentos e quarenta e cinco.
constexpr lang::LastGroupJoin kJoin = lang::LastGroupJoin::kBrazilian;

lang::Gender GenderOf(bool feminine) { return feminine ? lang::Gender::kFeminine : lang::Gender::kMasculine; }

const std::string kComma = Utf8ToCp1252("vírgula ");
const std::string kDash = Utf8ToCp1252("traço");

// The words of single digits, read one by one in runs with hyphens.
std::string DigitWord(char digit) { return lang::CardinalWords(static_cast<uint64_t>(digit - '0'), kJoin); }

// " “ ” « » – —
bool IsQuoteOrDash(char c) {
  const uint8_t b = static_cast<uint8_t>(c);
  return b == '"' || b == 0x93 || b == 0x94 || b == 0xAB || b == 0xBB || b == 0x96 || b == 0x97;
}

bool IsKeptPunctuation(char c) {
  switch (c) {
    case ' ': case '!': case '(': case ')': case ',': case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}

}  // namespace

const std::string* AbbreviationTable::Find(std::string_view upper_word) const {
  for (const auto& entry : entries) {
    if (entry.key == upper_word) return &entry.replacement;
  }
  return nullptr;
}

void ParseAbbreviations(std::string_view text, AbbreviationTable& table, std::vector<std::string>* notices) {
  table.entries.clear();
  ForEachLine(text, [&](std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';') return;
    if (table.entries.size() >= AbbreviationTable::kMaxEntries) {
      if (notices) notices->push_back("abbreviation table full, line refused: " + std::string(line));
      return;
    }
    const size_t eq = line.find('=');
    Abbreviation entry;
    entry.key = lang::UpperCase(Trim(line.substr(0, eq)));
    if (eq != std::string_view::npos) entry.replacement = std::string(Trim(line.substr(eq + 1)));
    table.entries.push_back(std::move(entry));
  });
}

bool LoadAbbreviations(const std::string& path, AbbreviationTable& table, std::vector<std::string>* notices) {
  const auto text = ReadLanguageFile(path);
  if (!text) return false;
  ParseAbbreviations(*text, table, notices);
  return true;
}

namespace {

class Normalizer {
 public:
  Normalizer(std::string_view text, const AbbreviationTable& abbreviations)
      : t_(text), abbreviations_(abbreviations) {}

  std::string Run() {
    while (i_ < t_.size()) Step();
    return std::move(out_);
  }

 private:
  char At(size_t k) const { return k < t_.size() ? t_[k] : '\0'; }
  bool DigitAt(size_t k) const { return k < t_.size() && IsDigit(t_[k]); }

  void Step() {
    const char c = t_[i_];
    if (c == '-' && i_ > 0 && t_[i_ - 1] == ' ' && At(i_ + 1) == ' ') {
      out_ += ',';
      ++i_;
    } else if (c == '-' && DigitAt(i_ + 1)) {
      out_ += "menos ";
      ++i_;
    } else if (IsDigit(c)) {
      // Digits right after letters (A1, 12h30) are a word of their own.
      if (!out_.empty() && IsTextLetter(out_.back())) out_ += ' ';
      ReadNumber();
      out_ += ' ';
      while ((At(i_) == ',' || At(i_) == '.') && DigitAt(i_ + 1)) {
        out_ += At(i_) == ',' ? kComma : std::string("ponto ");
        ++i_;
        ReadNumber();
        out_ += ' ';
      }
    } else if (IsTextLetter(c)) {
      ReadWord();
    } else if (c == '.' && At(i_ + 1) == '.' && At(i_ + 2) == '.') {
      out_ += "... ";
      i_ += 3;
    } else if (c == '.' && i_ + 1 < t_.size() && t_[i_ + 1] != ' ') {
      out_ += " ponto ";
      ++i_;
    } else if (IsQuoteOrDash(c)) {
      // Quotes and dashes are pauses, never read: a comma, unless a mark
      // or the start or end of the text is already there.
      size_t next = i_ + 1;
      while (next < t_.size() && (t_[next] == ' ' || IsQuoteOrDash(t_[next]))) ++next;
      const size_t last = out_.find_last_not_of(' ');
      const bool mark_before = last == std::string::npos || IsKeptPunctuation(out_[last]);
      const bool mark_after = next >= t_.size() || IsKeptPunctuation(t_[next]);
      out_ += mark_before || mark_after ? " " : ", ";
      ++i_;
    } else if (IsKeptPunctuation(c)) {
      out_ += c;
      ++i_;
    } else if (c == '\t' || c == '\n' || c == '\r') {
      ++i_;
    } else {
      out_ += ' ';
      out_ += SymbolName(Byte(c));
      out_ += ' ';
      ++i_;
    }
  }

  void ReadWord() {
    const size_t start = i_;
    std::string letters;
    while (i_ < t_.size()) {
      if (IsTextLetter(t_[i_])) {
        letters += t_[i_++];
      } else if (t_[i_] == '-' && i_ > start && IsTextLetter(t_[i_ - 1])) {
        ++i_;
      } else {
        break;
      }
    }
    const bool consonants_only = lang::IsConsonantRun(letters, lang::Consonants::kAsciiCedilla);
    const std::string_view word = t_.substr(start, i_ - start);
    if (ReadMarkedAbbreviation(word)) return;
    const bool dot_follows = At(i_) == '.';
    const std::string* replacement = abbreviations_.Find(lang::UpperCase(word));
    if (dot_follows && At(i_ + 1) == ' ' && replacement != nullptr) {
      out_ += CountedForm(*replacement);
      ++i_;
      return;
    }
    // A word without vowels is no word of the language: its abbreviation
    // holds without the dot too ("1 km", "5 kg." at the end), the dot
    // staying punctuation; without an abbreviation it is spelled.
    // ("Sr.Silva" keeps its letters: no abbreviation runs into a word).
    const bool word_ends = !dot_follows || i_ + 1 >= t_.size();
    if (consonants_only && replacement != nullptr && word_ends) {
      out_ += CountedForm(*replacement);
      return;
    }
    if (consonants_only && replacement == nullptr) {
      for (char ch : word) out_ += SymbolName(Byte(ch));
      return;
    }
    // A hyphenated word is read as its parts: a hyphen token would look
    // like a phrase boundary to the melody.
    for (char ch : word) out_ += ch == '-' ? ' ' : ch;
  }

  // "singular | plural": the singular right after one ("1 km", "um km",
  // not "vinte e um km"), else the plural; a replacement without a bar is
  // said as it is.
  std::string CountedForm(const std::string& replacement) const {
    const size_t bar = replacement.find('|');
    if (bar == std::string::npos) return replacement;
    std::string_view before(out_);
    auto take_word = [&before] {
      while (!before.empty() && before.back() == ' ') before.remove_suffix(1);
      const size_t space = before.rfind(' ');
      const std::string word = lang::UpperCase(before.substr(space == std::string_view::npos ? 0 : space + 1));
      before.remove_suffix(before.size() - (space == std::string_view::npos ? 0 : space));
      return word;
    };
    const std::string previous = take_word();
    const bool one = (previous == "UM" || previous == "UMA") && take_word() != "E";
    return std::string(Trim(one ? std::string_view(replacement).substr(0, bar)
                                : std::string_view(replacement).substr(bar + 1)));
  }

  // Abbreviations whose key goes on after the letters with marks, such as
  // "N.º" or "Nº": the whole key must be in the text, not followed by a
  // letter or digit.
  bool ReadMarkedAbbreviation(std::string_view word) {
    const uint8_t mark = Byte(At(i_));
    if (mark != '.' && mark != 0xBA && mark != 0xAA) return false;
    const std::string upper = lang::UpperCase(word);
    for (const auto& entry : abbreviations_.entries) {
      const std::string& key = entry.key;
      if (key.size() <= upper.size() || key.compare(0, upper.size(), upper) != 0) continue;
      if (IsTextLetter(key[upper.size()])) continue;
      const size_t rest = key.size() - upper.size();
      if (lang::UpperCase(t_.substr(i_, rest)) != std::string_view(key).substr(upper.size())) continue;
      const char after = At(i_ + rest);
      if (IsTextLetter(after) || IsDigit(after)) continue;
      out_ += entry.replacement;
      i_ += rest;
      return true;
    }
    return false;
  }

  void ReadNumber() {
    size_t run = i_;
    bool hyphen = false;
    while (run < t_.size() && (IsDigit(t_[run]) || t_[run] == '-')) hyphen |= t_[run++] == '-';
    if (hyphen) {
      for (size_t k = i_; k < run; ++k) {
        if (k > i_) out_ += ' ';
        out_ += t_[k] == '-' ? kDash : DigitWord(t_[k]);
      }
      i_ = run;
      return;
    }
    while (At(i_) == '0' && DigitAt(i_ + 1)) {
      out_ += DigitWord('0') + ' ';
      ++i_;
    }
    uint64_t value = 0;
    while (i_ < t_.size()) {
      if (IsDigit(t_[i_])) {
        const uint64_t next = value * 10 + static_cast<uint64_t>(t_[i_] - '0');
        // Larger values have no words; the remaining digits start a new number.
        if (next > lang::kLargestWordedNumber) break;
        value = next;
        ++i_;
      } else if (t_[i_] == '.' && DigitAt(i_ + 1) && DigitAt(i_ + 2) && DigitAt(i_ + 3) && !DigitAt(i_ + 4)) {
        ++i_;
      } else {
        break;
      }
    }
    const char next = At(i_);
    if (i_ >= t_.size() || next == ' ') {
      out_ += lang::CardinalWords(value, kJoin);
    } else if (Byte(next) == 0xBA || Byte(next) == 0xAA) {
      out_ += lang::OrdinalWords(value, GenderOf(Byte(next) == 0xAA));
      ++i_;
    } else if ((next == 'o' || next == 'a') && At(i_ + 1) == '.') {
      out_ += lang::OrdinalWords(value, GenderOf(next == 'a'));
      i_ += 2;
    } else if ((next == 'o' || next == 'a') && At(i_ + 1) == 's' && At(i_ + 2) == '.') {
      out_ += lang::OrdinalWords(value, GenderOf(next == 'a')) + 's';
      i_ += 3;
    } else {
      out_ += lang::CardinalWords(value, kJoin);
    }
  }

  std::string_view t_;
  const AbbreviationTable& abbreviations_;
  size_t i_ = 0;
  std::string out_;
};

}  // namespace

std::string NormalizeText(std::string_view text, const AbbreviationTable& abbreviations) {
  std::string single;
  if (text.size() == 1) {
    single = std::string(SymbolName(Byte(text[0])));
    text = single;
  }
  // Sums first: "12-5=" is a sum, not a run of digits with a hyphen.
  // Then money, hours, fractions and the like as a teacher writes them.
  const std::string read = lang::ReadTeacherText(lang::ReadSums(text));
  return Normalizer(read, abbreviations).Run();
}

}  // namespace placarim::ilvra
