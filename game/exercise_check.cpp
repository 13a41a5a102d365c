#include "game/exercise_check.h"

#include <algorithm>
#include <cstdint>

#include "game/exercise_file.h"
#include "platform/text_encoding.h"

namespace placarim::game {
namespace {

constexpr size_t kQuotedLength = 60;

// A file line as the teacher sees it in an editor, cut when very long.
std::string Quote(std::string_view cp1252) {
  std::string shown(cp1252.substr(0, kQuotedLength));
  for (char& c : shown) {
    if (c == '\t') c = ' ';
  }
  std::string text = "\xC2\xAB" + platform::Cp1252ToUtf8(shown);
  if (cp1252.size() > kQuotedLength) text += "\xE2\x80\xA6";
  return text + "\xC2\xBB";
}

std::string FaultText(SumFault fault) {
  switch (fault) {
    case SumFault::kNoFirstNumber: return "não começa com um número";
    case SumFault::kFirstNumberTooBig: return "o primeiro número passa de 2147483647";
    case SumFault::kBadOperator: return "depois do primeiro número deve vir +, -, x, X, *, : ou /";
    case SumFault::kNoSecondNumber: return "falta o segundo número depois da operação";
    case SumFault::kSecondNumberTooBig: return "o segundo número passa de 2147483647";
    case SumFault::kNoEquals: return "falta o sinal = depois do segundo número";
    case SumFault::kNoResult: return "falta o resultado depois do =";
    case SumFault::kNegativeResult: return "o resultado não pode ser negativo (a criança só digita algarismos)";
    case SumFault::kResultTooBig: return "o resultado passa de 2147483647";
    case SumFault::kNone: break;
  }
  return {};
}

// Why a damaged line is damaged, with a hint for the usual slips.
std::string DamagedText(std::string_view line, SumFault fault) {
  std::string text = "conta estragada, " + FaultText(fault);
  if (line.find_first_not_of(' ') == std::string_view::npos) {
    text += " (a linha só tem espaços: para separar fases deixe-a vazia)";
  } else if (line.find('\t') != std::string_view::npos) {
    text += " (a linha tem TAB: use espaços)";
  } else if (line.find_first_not_of(' ') == line.find('-') && fault == SumFault::kNoFirstNumber) {
    text += " (números negativos não são aceitos)";
  } else if (line.find('\r') != std::string_view::npos) {
    text += " (a linha tem um CR sozinho)";
  }
  text += "; o jogo termina quando chegar a vez dela: " + Quote(line);
  return text;
}

std::string Shown(const ParsedSum& sum) {
  return std::to_string(sum.a) + " " + sum.op + " " + std::to_string(sum.b);
}

// Whether the written result is the sum's value; the reason when it is not.
std::string WrongResultText(const ParsedSum& sum) {
  const int64_t a = sum.a, b = sum.b, r = sum.r;
  const std::string written = "; o jogo só aceita o resultado escrito, " + std::to_string(r);
  switch (sum.op) {
    case '+':
      if (a + b == r) return {};
      return Shown(sum) + " = " + std::to_string(a + b) + written;
    case '-':
      if (a - b == r) return {};
      if (a < b) return Shown(sum) + " dá um número negativo" + written;
      return Shown(sum) + " = " + std::to_string(a - b) + written;
    case '/': case ':':
      if (b == 0) return "divisão por zero" + written;
      if (a % b != 0 && a / b == r) {
        return "a divisão " + Shown(sum) + " não é exata (sobra " + std::to_string(a % b) + ")" + written;
      }
      if (a / b == r) return {};
      if (a % b != 0) return Shown(sum) + " não é exata" + written;
      return Shown(sum) + " = " + std::to_string(a / b) + written;
    default:
      if (a * b == r) return {};
      return Shown(sum) + " = " + std::to_string(a * b) + written;
  }
}

// The text after a UTF-8 byte order mark, up to a Ctrl+Z: the lines whose
// numbers the splitter counted.
std::vector<std::string_view> RawLines(std::string_view bytes, const WrittenFile& file) {
  if (file.byte_order_mark) bytes.remove_prefix(3);
  if (size_t stop = bytes.find('\x1A'); stop != std::string_view::npos) bytes = bytes.substr(0, stop);
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const size_t lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (lf == std::string_view::npos) break;
    bytes.remove_prefix(lf + 1);
  }
  return lines;
}

// What follows the result's digits without a blank between ("21a"): a slip
// the game passes over, taking 21. After a blank ("42 sete") it is a note.
std::string_view GluedToResult(std::string_view line) {
  size_t at = line.find('=');
  if (at == std::string_view::npos) return {};
  at = line.find_first_not_of(' ', at + 1);
  if (at == std::string_view::npos) return {};
  while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
  if (at == line.size() || line[at] == ' ' || line[at] == '\t') return {};
  return line.substr(at);
}

bool IsUnassignedCp1252(uint8_t byte) { return platform::Cp1252ToCodePoint(byte) == 0 && byte >= 0x80; }

class Checker {
 public:
  explicit Checker(std::string_view bytes) : bytes_(bytes), file_(SplitExerciseFile(bytes)) {}

  std::vector<Problem> Run() {
    if (bytes_.starts_with("\xFF\xFE") || bytes_.starts_with("\xFE\xFF")) {
      // Every other byte is 0: any further report would only be noise.
      Add(0, Severity::kError,
          "o arquivo está gravado em UTF-16 (\"Unicode\"): o jogo não o lê; salve-o como UTF-8 ou "
          "ANSI (Windows-1252)");
      return std::move(problems_);
    }
    CheckEncoding();
    CheckChampionships();
    CheckPreamble();
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const Problem& x, const Problem& y) { return x.line < y.line; });
    return std::move(problems_);
  }

 private:
  void Add(int line, Severity severity, std::string text) {
    problems_.push_back({line, severity, std::move(text)});
  }

  void CheckEncoding() {
    if (file_.end_of_file_line > 0 && file_.text_after_end) {
      Add(file_.end_of_file_line, Severity::kError,
          "um Ctrl+Z encerra o arquivo aqui: o jogo não lê nada do que vem depois");
    }
    const auto lines = RawLines(bytes_, file_);
    for (size_t i = 0; i < lines.size(); ++i) {
      const int number = static_cast<int>(i) + 1;
      const std::string_view line = lines[i];
      if (line.find('\r') != std::string_view::npos) {
        Add(number, Severity::kError,
            "a linha tem um CR sozinho: o jogo não o entende como fim de linha (salve o arquivo "
            "com fins de linha do Linux ou do Windows)");
      }
      if (file_.from_utf8) {
        const std::string read = platform::Utf8ToCp1252(line, '?');
        if (std::count(read.begin(), read.end(), '?') > std::count(line.begin(), line.end(), '?')) {
          Add(number, Severity::kWarning,
              "a linha tem caracteres que o jogo não conhece (fora do Windows-1252); ele os mostra "
              "como ?: " + Quote(read));
        }
      } else if (platform::LooksLikeUtf8(line)) {
        Add(number, Severity::kWarning,
            "esta linha está em UTF-8 e o resto do arquivo não: o jogo mostra as letras com acento "
            "trocadas, assim: " + Quote(line));
      } else if (std::any_of(line.begin(), line.end(),
                             [](char c) { return IsUnassignedCp1252(static_cast<uint8_t>(c)); })) {
        Add(number, Severity::kWarning, "a linha tem bytes que não são letras no Windows-1252");
      }
    }
  }

  void CheckChampionships() {
    const int count = static_cast<int>(file_.championships.size());
    if (count == 0) {
      Add(0, Severity::kError,
          "nenhuma linha começa com *: o arquivo não tem campeonatos e o jogo diz que ele está "
          "estragado em qualquer escolha");
      return;
    }
    if (count < kMaxChampionships) {
      Add(0, Severity::kWarning,
          "o arquivo tem " + std::to_string(count) + (count == 1 ? " campeonato" : " campeonatos") +
              "; o menu oferece 9, e escolher um que falta encerra o jogo com \"arquivo estragado\"");
    }
    for (int k = 1; k <= count; ++k) CheckChampionship(k, file_.championships[k - 1]);
  }

  void CheckChampionship(int k, const WrittenChampionship& championship) {
    const std::string name = "campeonato " + std::to_string(k);
    if (k > kMaxChampionships) {
      Add(championship.header_line, Severity::kError,
          name + ": o menu só oferece 9 campeonatos; as contas deste nunca serão jogadas");
      return;
    }
    if (championship.phases.empty()) {
      Add(championship.header_line, Severity::kWarning,
          name + " não tem contas: a criança que o escolhe ganha o campeonato na hora");
    }
    for (size_t p = 0; p < championship.phases.size(); ++p) {
      const auto& sums = championship.phases[p];
      const std::string phase = "fase " + std::to_string(p + 1) + " do " + name;
      if (p == kMaxPhases) {
        Add(sums.front().number, Severity::kError,
            phase + ": um campeonato tem no máximo 10 fases; o jogo recusa o " + name +
                " inteiro (\"arquivo estragado\")");
        return;
      }
      if (sums.size() > kMaxSumsPerPhase) {
        Add(sums[kMaxSumsPerPhase].number, Severity::kError,
            phase + " tem " + std::to_string(sums.size()) +
                " contas; o máximo é 30 e o jogo recusa o " + name + " inteiro");
      }
      for (const NumberedLine& line : sums) CheckSum(line);
    }
  }

  void CheckSum(const NumberedLine& line) {
    const SumReading reading = ReadSum(line.text);
    if (!reading.sum) {
      Add(line.number, Severity::kError, DamagedText(line.text, reading.fault));
      return;
    }
    std::string wrong = WrongResultText(*reading.sum);
    if (!wrong.empty()) Add(line.number, Severity::kWarning, "resultado errado: " + wrong);
    const std::string_view glued = GluedToResult(line.text);
    if (!glued.empty()) {
      Add(line.number, Severity::kWarning,
          "texto colado ao resultado (" + Quote(glued) + "): o jogo o ignora e aceita " +
              std::to_string(reading.sum->r));
    }
  }

  void CheckPreamble() {
    if (file_.championships.empty()) return;  // told as a whole already
    for (const NumberedLine& line : file_.preamble) {
      if (ReadSum(line.text).sum) {
        Add(line.number, Severity::kWarning,
            "parece uma conta, mas está antes do primeiro campeonato (linha com *): o jogo não a lê");
      }
    }
  }

  std::string_view bytes_;
  WrittenFile file_;
  std::vector<Problem> problems_;
};

}  // namespace

std::vector<Problem> CheckExerciseFile(std::string_view file_bytes) { return Checker(file_bytes).Run(); }

std::string FormatProblem(std::string_view file_name, const Problem& problem) {
  std::string text(file_name);
  if (problem.line > 0) text += ", linha " + std::to_string(problem.line);
  text += problem.severity == Severity::kError ? ": erro: " : ": aviso: ";
  return text + problem.text;
}

}  // namespace placarim::game
