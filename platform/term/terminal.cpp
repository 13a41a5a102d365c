#include "platform/term/terminal.h"

#include <curses.h>
#include <langinfo.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <term.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/text_encoding.h"

namespace placarim::platform::term {
namespace {

// What the crash handlers write back: kept in plain storage filled at start,
// since nothing else may be touched from a signal handler.
struct SavedTerminal {
  bool saved = false;
  termios modes{};
  char reset[256] = {};  // leave the alternate screen, show the cursor, plain colours
  size_t reset_length = 0;
};
SavedTerminal g_saved;

void AppendCapability(const char* name) {
  char* value = tigetstr(const_cast<char*>(name));
  if (value == nullptr || value == reinterpret_cast<char*>(-1)) return;
  const size_t length = std::strlen(value);
  if (g_saved.reset_length + length >= sizeof g_saved.reset) return;
  std::memcpy(g_saved.reset + g_saved.reset_length, value, length);
  g_saved.reset_length += length;
}

void RestoreFromSignal() {
  if (!g_saved.saved) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &g_saved.modes);
  if (g_saved.reset_length > 0) {
    const ssize_t ignored = write(STDOUT_FILENO, g_saved.reset, g_saved.reset_length);
    (void)ignored;
  }
}

void OnCrashSignal(int sig) {
  RestoreFromSignal();
  signal(sig, SIG_DFL);
  raise(sig);
}

void InstallCrashHandlers() {
  for (const int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
    struct sigaction action {};
    action.sa_handler = OnCrashSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigaction(sig, &action, nullptr);
  }
}

// The standard colours a terminal knows, as the usual palette shows them.
constexpr Rgb kPalette[16] = {
    {0, 0, 0},       {205, 0, 0},   {0, 205, 0},   {205, 205, 0},   {0, 0, 238},   {205, 0, 205},
    {0, 205, 205},   {229, 229, 229}, {127, 127, 127}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {92, 92, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

int Distance(Rgb a, Rgb b) {
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr + dg * dg + db * db;
}

void ScreenSize(int& width, int& height) {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
    width = size.ws_col;
    height = size.ws_row;
  } else {
    width = COLS;
    height = LINES;
  }
}

}  // namespace

char FoldToAscii(uint8_t c) {
  if (c < 0x80) return static_cast<char>(c);
  // 0xC0..0xFF: the Latin letters; below them a few common signs.
  static constexpr char kLetters[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYPsaaaaaaaceeeeiiiidnooooo/ouuuuypy";
  if (c >= 0xC0) return kLetters[c - 0xC0];
  switch (c) {
    case 0x80: return 'E';
    case 0x91: case 0x92: case 0xB4: return '\'';
    case 0x93: case 0x94: case 0xAB: case 0xBB: return '"';
    case 0x96: case 0x97: return '-';
    case 0xAA: return 'a';
    case 0xBA: case 0xB0: return 'o';
    case 0xA0: return ' ';
    default: return '?';
  }
}

std::string TooSmallMessage(int width, int height) {
  return "O Placarim precisa de um terminal\nde 80 colunas por 25 linhas;\neste tem " + std::to_string(width) +
         " por " + std::to_string(height) + ".\nAumente a janela do terminal.";
}

std::unique_ptr<Terminal> Terminal::Open(std::string& error) {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    error = "a entrada e a saída padrão não são um terminal";
    return nullptr;
  }
  std::setlocale(LC_CTYPE, "");
  std::unique_ptr<Terminal> terminal(new Terminal());
  terminal->utf8_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
  if (tcgetattr(STDIN_FILENO, &g_saved.modes) != 0) {
    error = "o terminal não pode ser lido";
    return nullptr;
  }
  const char* type = std::getenv("TERM");
  if (type == nullptr || *type == '\0' || std::strcmp(type, "dumb") == 0) {
    error = "o tipo do terminal (TERM) não é conhecido";
    return nullptr;
  }
  if (newterm(type, stdout, stdin) == nullptr) {
    error = std::string("o terminal ") + type + " não pode ser usado";
    return nullptr;
  }
  terminal->CaptureErrors();
  g_saved.saved = true;
  g_saved.reset_length = 0;
  AppendCapability("rmcup");
  AppendCapability("cnorm");
  AppendCapability("sgr0");
  InstallCrashHandlers();
  raw();
  noecho();
  nonl();
  intrflush(stdscr, FALSE);
  leaveok(stdscr, FALSE);
  scrollok(stdscr, FALSE);
  if (has_colors() && start_color() == OK) {
    terminal->colours_ = true;
  }
  erase();
  return terminal;
}

Terminal::~Terminal() { Restore(); }

void Terminal::Restore() {
  if (restored_) return;
  restored_ = true;
  curs_set(1);
  endwin();
  std::fflush(stdout);
  if (g_saved.saved) tcsetattr(STDIN_FILENO, TCSANOW, &g_saved.modes);
  ReleaseErrors();
}

void Terminal::CaptureErrors() {
  if (!isatty(STDERR_FILENO)) return;
  std::string path = (std::filesystem::temp_directory_path() / "placarim-erros-XXXXXX").string();
  const int file = mkstemp(path.data());
  if (file < 0) return;
  std::fflush(stderr);
  saved_stderr_ = dup(STDERR_FILENO);
  if (saved_stderr_ < 0 || dup2(file, STDERR_FILENO) < 0) {
    close(file);
    unlink(path.c_str());
    return;
  }
  close(file);
  errors_path_ = path;
}

void Terminal::ReleaseErrors() {
  if (saved_stderr_ < 0) return;
  std::fflush(stderr);
  dup2(saved_stderr_, STDERR_FILENO);
  close(saved_stderr_);
  saved_stderr_ = -1;
  if (FILE* log = std::fopen(errors_path_.c_str(), "rb")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, log)) > 0;) std::fwrite(buffer, 1, n, stderr);
    std::fclose(log);
  }
  unlink(errors_path_.c_str());
}

bool Terminal::TooSmall() const { return COLS < kColumns || LINES < kRows; }
int Terminal::Columns() const { return COLS; }
int Terminal::Rows() const { return LINES; }

short Terminal::ColourOf(Rgb rgb) const {
  const int count = COLORS >= 16 ? 16 : 8;
  int best = 0;
  for (int i = 1; i < count; ++i) {
    if (Distance(rgb, kPalette[i]) < Distance(rgb, kPalette[best])) best = i;
  }
  return static_cast<short>(best);
}

short Terminal::PairOf(Rgb fg, Rgb bg) {
  if (!colours_) return 0;
  const std::pair<short, short> key(ColourOf(fg), ColourOf(bg));
  if (const auto found = pairs_.find(key); found != pairs_.end()) return found->second;
  const int next = static_cast<int>(pairs_.size()) + 1;
  if (next >= COLOR_PAIRS || next > std::numeric_limits<short>::max()) return 0;
  init_pair(static_cast<short>(next), key.first, key.second);
  pairs_.emplace(key, static_cast<short>(next));
  return static_cast<short>(next);
}

void Terminal::DrawRun(int col, int row, const uint8_t* text, int count, Rgb fg, Rgb bg) {
  if (restored_ || TooSmall() || row < 0 || row >= kRows || col < 0 || col >= kColumns) return;
  if (count > kColumns - col) count = kColumns - col;
  if (count <= 0) return;
  std::string bytes(reinterpret_cast<const char*>(text), static_cast<size_t>(count));
  for (char& c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    if (b < 32 || b == 127) c = ' ';  // control codes would move the terminal's cursor
    else if (!utf8_) c = FoldToAscii(b);
  }
  const std::string shown = utf8_ ? Cp1252ToUtf8(bytes) : bytes;
  const short pair = PairOf(fg, bg);
  attrset(COLOR_PAIR(pair));
  // A character the terminal's font lacks could take two cells; the run is
  // written whole and the rest of the row is left to the next run.
  mvaddstr(row, col, shown.c_str());
  attrset(A_NORMAL);
}

void Terminal::SetCaret(int col, int row, bool visible) {
  caret_col_ = col;
  caret_row_ = row;
  caret_visible_ = visible;
}

void Terminal::Present() {
  if (restored_) return;
  if (TooSmall()) {
    erase();
    // Plain ASCII in short lines, so that any terminal shows it whole.
    std::string message = TooSmallMessage(COLS, LINES);
    for (int row = 0; !message.empty(); ++row) {
      const size_t end = message.find('\n');
      mvaddnstr(row, 0, message.c_str(), static_cast<int>(std::min(end, message.size())));
      message.erase(0, end == std::string::npos ? message.size() : end + 1);
    }
    move(0, 0);
    refresh();
    return;
  }
  curs_set(caret_visible_ ? 1 : 0);
  move(caret_row_ < kRows ? caret_row_ : kRows - 1, caret_col_ < kColumns ? caret_col_ : kColumns - 1);
  refresh();
}

void Terminal::Resized() {
  if (restored_) return;
  int width = 0, height = 0;
  ScreenSize(width, height);
  resizeterm(height, width);
  erase();
  clearok(curscr, TRUE);
}

void Terminal::Suspend() {
  if (restored_) return;
  endwin();
  std::fflush(stdout);
  struct sigaction previous {};
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  sigemptyset(&plain.sa_mask);
  sigaction(SIGTSTP, &plain, &previous);
  raise(SIGTSTP);  // stops here until continued
  sigaction(SIGTSTP, &previous, nullptr);
  Resume();
}

void Terminal::Resume() {
  if (restored_) return;
  reset_prog_mode();
  raw();
  noecho();
  nonl();
  Resized();
}

}  // namespace placarim::platform::term
