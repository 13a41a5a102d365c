#include "lang/teacher_text.h"

#include "lang/cp1252.h"
#include "lang/number_words.h"

namespace placarim::lang {
namespace {

constexpr LastGroupJoin kJoin = LastGroupJoin::kBrazilian;

std::string Feminine(uint64_t n) { return CardinalWords(n, kJoin, Gender::kFeminine); }
std::string Masculine(uint64_t n) { return CardinalWords(n, kJoin); }

// A number inside a form, in words or left in digits for the voice.
std::string Number(uint64_t n, Gender gender, TeacherNumbers numbers) {
  if (numbers == TeacherNumbers::kDigits) return std::to_string(n);
  return gender == Gender::kFeminine ? Feminine(n) : Masculine(n);
}

std::string MoneyText(uint64_t reais, unsigned centavos, TeacherNumbers numbers) {
  std::string out;
  if (reais > 0) {
    const bool of = reais >= 1'000'000 && reais % 1'000'000 == 0;  // dois milhões de reais
    out = Number(reais, Gender::kMasculine, numbers) + (of ? " de reais" : reais == 1 ? " real" : " reais");
  }
  if (centavos > 0) {
    if (!out.empty()) out += " e ";
    out += Number(centavos, Gender::kMasculine, numbers) + (centavos == 1 ? " centavo" : " centavos");
  }
  return out.empty() ? Number(0, Gender::kMasculine, numbers) + " real" : out;
}

std::string HourText(unsigned hours, unsigned minutes, TeacherNumbers numbers) {
  std::string out = Number(hours, Gender::kFeminine, numbers) + (hours == 1 || hours == 0 ? " hora" : " horas");
  if (minutes > 0) {
    out += " e " + Number(minutes, Gender::kMasculine, numbers) + (minutes == 1 ? " minuto" : " minutos");
  }
  return out;
}

std::string FractionText(uint64_t numerator, uint64_t denominator, TeacherNumbers numbers) {
  static constexpr std::string_view kParts[] = {"",      "",       "meio", "ter\xE7o", "quarto", "quinto",
                                                "sexto", "s\xE9timo", "oitavo", "nono", "d\xE9" "cimo"};
  if (denominator < 2) return {};
  const bool plural = numerator != 1;
  std::string part;
  if (denominator <= 10) {
    part = std::string(kParts[denominator]) + (plural ? "s" : "");
  } else if (denominator == 100 || denominator == 1000) {
    part = std::string(denominator == 100 ? "cent\xE9simo" : "mil\xE9simo") + (plural ? "s" : "");
  } else {
    part = Masculine(denominator) + (plural ? " avos" : " avo");
  }
  return Number(numerator, Gender::kMasculine, numbers) + " " + part;
}

// Singular forms; a plural adds s (or es after z, ões for ão).
constexpr std::string_view kFeminineNouns[] = {
    "hora", "pessoa", "bola", "vez", "semana", "bala", "figurinha", "laranja", "ma\xE7\xE3", "crian\xE7" "a",
    "menina", "casa", "p\xE1gina", "quest\xE3o", "conta", "partida", "rodada", "moeda", "nota", "letra",
    "palavra", "caneta", "cadeira", "mesa", "camisa", "ta\xE7" "a", "aluna", "professora", "escola", "sala",
    "turma", "fruta", "flor", "banana", "pera", "uva", "cor", "garrafa", "estrela", "jogadora", "equipe",
    "falta", "vit\xF3ria", "derrota"};

bool IsDigitAt(std::string_view t, size_t k) { return k < t.size() && IsDigit(t[k]); }
bool IsLetterAt(std::string_view t, size_t k) {
  return k < t.size() && IsPortugueseLetter(t[k], Accents::kWithOldMarks);
}

// Reads digits at k; false when there are none or more than `max` of them.
bool Digits(std::string_view t, size_t& k, uint64_t& value, size_t max = 15) {
  const size_t start = k;
  value = 0;
  while (IsDigitAt(t, k) && k - start < max) value = value * 10 + uint64_t(t[k++] - '0');
  return k > start && !IsDigitAt(t, k);
}

// After a first group of at most 3 digits that started at `start` and ends
// at k: more groups of exactly 3 digits, each after `separator` (1.234.567,
// 1 000). Moves k past them and adds them to value; false when a group is
// broken (1.0000), so the number is no such number at all.
bool Groups(std::string_view t, size_t start, size_t& k, char separator, uint64_t& value) {
  if (k - start > 3) return true;
  while (k < t.size() && t[k] == separator && IsDigitAt(t, k + 1)) {
    size_t g = k + 1;
    uint64_t group = 0;
    if (!Digits(t, g, group, 3) || g - k != 4) return separator == ' ';  // "3 10" is two numbers
    if (value > kLargestWordedNumber / 1000) return false;
    value = value * 1000 + group;
    k = g;
  }
  return true;
}

// The word at k (letters only).
std::string_view WordAt(std::string_view t, size_t k) {
  const size_t start = k;
  while (IsLetterAt(t, k)) ++k;
  return t.substr(start, k - start);
}

// The form that starts at `at` (a digit, or the R of R$): its words and
// length, or empty words when none starts there.
struct Read {
  std::string words;
  size_t length = 0;
};

Read Money(std::string_view t, size_t at, TeacherNumbers numbers) {
  size_t k = at + 2;
  if (k < t.size() && t[k] == ' ') ++k;
  const size_t start = k;
  uint64_t reais = 0;
  if (!Digits(t, k, reais) || !Groups(t, start, k, '.', reais)) return {};
  unsigned centavos = 0;
  if (k < t.size() && t[k] == ',' && IsDigitAt(t, k + 1) && IsDigitAt(t, k + 2) && !IsDigitAt(t, k + 3)) {
    centavos = unsigned((t[k + 1] - '0') * 10 + (t[k + 2] - '0'));
    k += 3;
  }
  return {MoneyText(reais, centavos, numbers), k - at};
}

Read Hour(std::string_view t, size_t at, TeacherNumbers numbers) {
  size_t k = at;
  uint64_t hours = 0, minutes = 0;
  if (!Digits(t, k, hours, 2) || hours > 24 || k >= t.size()) return {};
  if (t[k] == 'h' || t[k] == 'H') {
    ++k;
    if (IsDigitAt(t, k)) {
      const size_t m = k;
      if (!Digits(t, k, minutes, 2) || k - m != 2 || minutes > 59) return {};
      if (t.substr(k, 3) == "min") k += 3;
    }
    if (IsLetterAt(t, k)) return {};
    return {HourText(unsigned(hours), unsigned(minutes), numbers), k - at};
  }
  if (t[k] == ':' && IsDigitAt(t, k + 1)) {
    ++k;
    const size_t m = k;
    if (!Digits(t, k, minutes, 2) || k - m != 2 || minutes > 59) return {};
    if (k < t.size() && (t[k] == ':' || IsLetterAt(t, k))) return {};
    return {HourText(unsigned(hours), unsigned(minutes), numbers), k - at};
  }
  return {};
}

// A proper fraction with a denominator up to 10, and no date around it.
Read Fraction(std::string_view t, size_t at, TeacherNumbers numbers) {
  size_t k = at;
  uint64_t numerator = 0, denominator = 0;
  if (!Digits(t, k, numerator, 2) || k >= t.size() || t[k] != '/' || t[at] == '0') return {};
  const size_t d = ++k;
  if (!Digits(t, k, denominator, 2) || t[d] == '0' || numerator >= denominator || denominator > 10) return {};
  if (k < t.size() && (t[k] == '/' || IsLetterAt(t, k))) return {};
  return {FractionText(numerator, denominator, numbers), k - at};
}

// 1° is an ordinal, 25°C or 25° C a temperature.
Read Degree(std::string_view t, size_t at, TeacherNumbers numbers) {
  size_t k = at;
  uint64_t n = 0;
  if (!Digits(t, k, n, 4) || k >= t.size() || Byte(t[k]) != 0xB0) return {};
  ++k;
  size_t unit = k;
  if (unit < t.size() && t[unit] == ' ') ++unit;
  if (unit < t.size() && (t[unit] == 'C' || t[unit] == 'F') && !IsLetterAt(t, unit + 1)) {
    return {Number(n, Gender::kMasculine, numbers) + (n == 1 ? " grau " : " graus ") +
                (t[unit] == 'C' ? "Celsius" : "Fahrenheit"),
            unit + 1 - at};
  }
  return {OrdinalWords(n, Gender::kMasculine), k - at};
}

// A whole number, with blanks as thousands separators (1 000, 12 345 678),
// before a known feminine noun: its feminine words. Otherwise a number
// written with such blanks loses them, so the voice reads it whole.
Read Whole(std::string_view t, size_t at, TeacherNumbers numbers) {
  size_t k = at;
  uint64_t value = 0;
  if (!Digits(t, k, value, 15)) return {};
  const size_t first = k;
  const char separator = k < t.size() && t[k] == '.' ? '.' : ' ';
  if (!Groups(t, at, k, separator, value)) return {};
  const bool grouped = k != first;
  // A decimal or anything glued to the number is the voice's to read.
  if (k < t.size() && (t[k] == ',' || t[k] == '.') && IsDigitAt(t, k + 1)) return {};
  if (k < t.size() && t[k] != ' ' && !grouped) return {};
  if (k + 1 < t.size() && t[k] == ' ' && IsKnownFeminineNoun(WordAt(t, k + 1)) && t[at] != '0') {
    // Digits for a voice with recorded numbers: it picks their feminine itself.
    if (numbers == TeacherNumbers::kDigits) return grouped ? Read{std::to_string(value), k - at} : Read{};
    return {Feminine(value), k - at};
  }
  if (grouped && separator == ' ') return {std::to_string(value), k - at};
  return {};
}

}  // namespace

std::string MoneyWords(uint64_t reais, unsigned centavos) { return MoneyText(reais, centavos, TeacherNumbers::kWords); }

std::string HourWords(unsigned hours, unsigned minutes) { return HourText(hours, minutes, TeacherNumbers::kWords); }

std::string FractionWords(uint64_t numerator, uint64_t denominator) {
  return FractionText(numerator, denominator, TeacherNumbers::kWords);
}

bool IsKnownFeminineNoun(std::string_view word) {
  const std::string w = LowerCase(word);
  for (std::string_view noun : kFeminineNouns) {
    if (w == noun || w == std::string(noun) + "s") return true;
    if (noun.back() == 'z' || noun.back() == 'r') {
      if (w == std::string(noun) + "es") return true;
    }
    if (noun.size() > 2 && noun.substr(noun.size() - 2) == "\xE3o" &&
        w == std::string(noun.substr(0, noun.size() - 2)) + "\xF5" "es") {
      return true;
    }
  }
  return false;
}

std::string ReadTeacherText(std::string_view t, TeacherNumbers numbers) {
  std::string out;
  size_t i = 0;
  while (i < t.size()) {
    const bool starts_word = i == 0 || !(IsLetterAt(t, i - 1) || IsDigitAt(t, i - 1) || t[i - 1] == ',' ||
                                         t[i - 1] == '.' || t[i - 1] == '/' || t[i - 1] == ':');
    Read read;
    if (starts_word && t.substr(i, 2) == "R$") {
      read = Money(t, i, numbers);
    } else if (starts_word && IsDigit(t[i])) {
      for (auto form : {Hour, Fraction, Degree, Whole}) {
        read = form(t, i, numbers);
        if (read.length > 0) break;
      }
    }
    if (read.length > 0) {
      out += read.words;
      i += read.length;
    } else {
      // The rest of a number (or word) is copied whole, so no form starts
      // inside it.
      do {
        out += t[i++];
      } while (i < t.size() && (IsDigit(t[i]) || IsLetterAt(t, i)) && (IsDigit(t[i - 1]) || IsLetterAt(t, i - 1)));
    }
  }
  return out;
}

}  // namespace placarim::lang
