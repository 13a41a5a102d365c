#include "voices/ilvra/text_normalizer.h"

#include <array>

#include "voices/ilvra/latin1.h"
#include "voices/ilvra/letter_rules.h"
#include "platform/text_encoding.h"

namespace placarim::ilvra {
namespace {

using platform::Utf8ToCp1252;

// Tables are written here in UTF-8 and converted once.
template <size_t N>
std::array<std::string, N> Convert(const std::array<const char*, N>& utf8) {
  std::array<std::string, N> out;
  for (size_t i = 0; i < N; ++i) out[i] = Utf8ToCp1252(utf8[i]);
  return out;
}

const auto kUnits = Convert<10>({"zero", "um", "dois", "três", "quatro", "cinco", "seis", "sete", "oito", "nove"});
const auto kTeens = Convert<10>({"dez", "onze", "doze", "treze", "quatorze", "quinze", "dezesseis", "dezessete",
                                 "dezoito", "dezenove"});
const auto kTens = Convert<10>({"", "", "vinte", "trinta", "quarenta", "cinqüenta", "sessenta", "setenta",
                                "oitenta", "noventa"});
const auto kHundreds = Convert<10>({"", "cento", "duzentos", "trezentos", "quatrocentos", "quinhentos",
                                    "seiscentos", "setecentos", "oitocentos", "novecentos"});
const auto kGroupOne = Convert<4>({"trilhão ", "bilhão ", "milhão ", "mil "});
const auto kGroupMany = Convert<4>({"trilhões ", "bilhões ", "milhões ", "mil "});
const auto kOrdUnits = Convert<10>({"", "primeiro", "segundo", "terceiro", "quarto", "quinto", "sexto",
                                    "sétimo", "oitavo", "nono"});
const auto kOrdTens = Convert<10>({"", "décimo", "vigésimo", "trigésimo", "quadragésimo", "quinquagésimo",
                                   "sexagésimo", "septuagésimo", "octagésimo", "nonagésimo"});
const auto kOrdHundreds = Convert<10>({"", "centésimo", "ducentésimo", "tricentésimo", "quadrigentésimo",
                                       "quingentésimo", "seiscentésimo", "septigentésimo", "octigentésimo",
                                       "nongentésimo"});
const std::string kThousandth = Utf8ToCp1252("milésimo");
const std::string kComma = Utf8ToCp1252("vírgula ");
const std::string kDash = Utf8ToCp1252("traço");

// Names of the codes 32 to 224 (the codes above take the name of the code
// 32 below); empty strings have no name.
std::array<std::string, 225> MakeSymbolNames() {
  std::array<std::string, 225> n;
  const char* low[] = {"espaço", "exclamação", "aspas", "sustenido", "cifrão", "porcento", "é comercial",
                       "apóstrofo", "abre parênteses", "fecha parênteses", "asterisco", "mais", "vírgula",
                       "traço", "ponto", "barra", "zéro", "um", "dois", "três", "quatro", "cinco", "seis",
                       "séte", "oito", "nóve", "dois pontos", "ponto e vírgula", "menor que", "igual",
                       "maior que", "interrogação", "arrôba"};
  for (int i = 0; i < 33; ++i) n[32 + i] = Utf8ToCp1252(low[i]);
  const char* letters[] = {"a", "bê", " sê", " dê", "é", "éfe", "jê", "agá", "i", "jóta", "cá", "éle", "ême",
                           "êne", "ó", "pê", "quê", "érre", "ésse", "tê", "u", "vê", "dábliu", "xis",
                           "ípsilon", "zê"};
  for (int i = 0; i < 26; ++i) {
    n[65 + i] = Utf8ToCp1252(letters[i]);
    n[97 + i] = n[65 + i];
  }
  n['j'] = "jota";
  n['n'] = "ene";
  const char* mid[] = {"abre colchete", "barra invertida", "fecha colchete", "circunflexo", "sublinhado",
                       "crase"};
  for (int i = 0; i < 6; ++i) n[91 + i] = Utf8ToCp1252(mid[i]);
  const char* braces[] = {"abre chave", "barra vertical", "fecha chave", "til"};
  for (int i = 0; i < 4; ++i) n[123 + i] = Utf8ToCp1252(braces[i]);
  const char* high[] = {"exclamação reversa", "centavos de dólar", "libras", "símbolo de moeda", "iene",
                        "barra interrompida", "parágrafo", "trema", "copyright", "ordinal feminino",
                        "Aspas esquerdas", "negação", "hífen", "Marca registrada", "mácron", "grau",
                        "mais ou menos", "elevado ao quadrado", "elevado ao cubo", "acento agudo", "mi", "pi",
                        "ponto no meio", "cedilha", "expoente um", "ordinal masculino", "aspas direitas",
                        "um quarto", "um meio", "três quartos", "interrogação reversa"};
  for (int i = 0; i < 31; ++i) n[161 + i] = Utf8ToCp1252(high[i]);
  const char* accented[] = {"A grave", "A agudo", "A circunflexo", "A com til", "A com trema", "A bola",
                            "A É", "Cê cedilha", "É grave", "É agudo", "É circunflexo", "É com trema",
                            "I grave", "I agudo", "I circunflexo", "I com trema", "Dê cortado", "N com til",
                            "Ó grave", "Ó agudo", "Ó circunflexo", "Ó com til", "Ó tremado", "vezes",
                            "Ó cortado", "U grave", "U agudo", "U circunflexo", "U com trema"};
  for (int i = 0; i < 29; ++i) n[192 + i] = Utf8ToCp1252(accented[i]);
  return n;
}

const std::array<std::string, 225> kSymbolNames = MakeSymbolNames();

bool IsKeptPunctuation(char c) {
  switch (c) {
    case ' ': case '!': case '(': case ')': case ',': case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}

// One group of three digits; `has_e` tells whether it inserted " e ".
std::string GroupWords(int group, bool& has_e) {
  has_e = false;
  if (group == 0) return {};
  if (group == 100) return "cem";
  const int h = group / 100, t = group / 10 % 10, u = group % 10;
  std::string s;
  if (h != 0) {
    s = kHundreds[h];
    if (group % 100 != 0) {
      s += " e ";
      has_e = true;
    }
  }
  if (t == 1) {
    s += kTeens[u];
  } else {
    if (t != 0) {
      s += kTens[t];
      if (u != 0) {
        s += " e ";
        has_e = true;
      }
    }
    if (u != 0) s += kUnits[u];
  }
  return s;
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
    entry.key = UpperLatin1(Trim(line.substr(0, eq)));
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

std::string_view SymbolName(uint8_t code) {
  if (code > 224) code -= 32;
  return kSymbolNames[code];
}

std::string CardinalWords(uint64_t value) {
  if (value == 0) return kUnits[0];
  if (value > 999999999999999ULL) value = 999999999999999ULL;
  int groups[5];
  for (int i = 4; i >= 0; --i) {
    groups[i] = static_cast<int>(value % 1000);
    value /= 1000;
  }
  int last = 4;
  while (groups[last] == 0) --last;
  std::string out;
  bool earlier = false;
  for (int i = 0; i < 5; ++i) {
    if (groups[i] == 0) continue;
    bool has_e = false;
    // A thousand on its own is "mil", also after a larger group.
    std::string words = (i == 3 && groups[i] == 1) ? std::string() : GroupWords(groups[i], has_e);
    // The last group is joined with "e" only when it has no "e" of its own:
    // 1005 mil e cinco, 2345 dois mil trezentos e quarenta e cinco.
    if (i == last && earlier && !has_e) out += "e ";
    out += words;
    if (i < 4) {
      if (!words.empty()) out += ' ';
      out += groups[i] == 1 ? kGroupOne[i] : kGroupMany[i];
    }
    earlier = true;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string OrdinalWords(uint64_t value, bool feminine) {
  if (value >= 2000) return CardinalWords(value);
  if (value == 0) return kUnits[0];
  std::string words[4];
  if (value >= 1000) words[0] = kThousandth;
  words[1] = kOrdHundreds[value / 100 % 10];
  words[2] = kOrdTens[value / 10 % 10];
  words[3] = kOrdUnits[value % 10];
  std::string out;
  for (auto& w : words) {
    if (w.empty()) continue;
    if (feminine) w.back() = 'a';
    if (!out.empty()) out += ' ';
    out += w;
  }
  return out;
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
    bool consonants_only = true;
    while (i_ < t_.size()) {
      if (IsTextLetter(t_[i_])) {
        if (!IsConsonantLetter(t_[i_])) consonants_only = false;
        ++i_;
      } else if (t_[i_] == '-' && i_ > start && IsTextLetter(t_[i_ - 1])) {
        ++i_;
      } else {
        break;
      }
    }
    const std::string_view word = t_.substr(start, i_ - start);
    if (ReadMarkedAbbreviation(word)) return;
    const bool dot_follows = At(i_) == '.';
    const std::string upper = UpperLatin1(word);
    const std::string* replacement = dot_follows ? abbreviations_.Find(upper) : nullptr;
    if (dot_follows && At(i_ + 1) == ' ' && replacement != nullptr) {
      out_ += *replacement;
      ++i_;
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

  // Abbreviations whose key goes on after the letters with marks, such as
  // "N.º" or "Nº": the whole key must be in the text, not followed by a
  // letter or digit.
  bool ReadMarkedAbbreviation(std::string_view word) {
    const uint8_t mark = Byte(At(i_));
    if (mark != '.' && mark != 0xBA && mark != 0xAA) return false;
    const std::string upper = UpperLatin1(word);
    for (const auto& entry : abbreviations_.entries) {
      const std::string& key = entry.key;
      if (key.size() <= upper.size() || key.compare(0, upper.size(), upper) != 0) continue;
      if (IsTextLetter(key[upper.size()])) continue;
      const size_t rest = key.size() - upper.size();
      if (UpperLatin1(t_.substr(i_, rest)) != std::string_view(key).substr(upper.size())) continue;
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
        out_ += t_[k] == '-' ? kDash : kUnits[t_[k] - '0'];
      }
      i_ = run;
      return;
    }
    while (At(i_) == '0' && DigitAt(i_ + 1)) {
      out_ += kUnits[0] + ' ';
      ++i_;
    }
    uint64_t value = 0;
    while (i_ < t_.size()) {
      if (IsDigit(t_[i_])) {
        const uint64_t next = value * 10 + static_cast<uint64_t>(t_[i_] - '0');
        // Larger values have no words; the remaining digits start a new number.
        if (next > 999999999999999ULL) break;
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
      out_ += CardinalWords(value);
    } else if (Byte(next) == 0xBA || Byte(next) == 0xAA) {
      out_ += OrdinalWords(value, Byte(next) == 0xAA);
      ++i_;
    } else if ((next == 'o' || next == 'a') && At(i_ + 1) == '.') {
      out_ += OrdinalWords(value, next == 'a');
      i_ += 2;
    } else if ((next == 'o' || next == 'a') && At(i_ + 1) == 's' && At(i_ + 2) == '.') {
      out_ += OrdinalWords(value, next == 'a') + 's';
      i_ += 3;
    } else {
      out_ += CardinalWords(value);
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
  return Normalizer(text, abbreviations).Run();
}

}  // namespace placarim::ilvra
