// The class list: the children who take turns at one computer, one name a
// line in alunos.txt beside the teacher's exercise file (UTF-8 or
// Windows-1252). The game offers the names it can both show and speak; the
// checker tells the teacher about every line it had to leave out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace placarim::game {

// Why a line of the list gives no name to choose.
enum class NameFault {
  kEmptyLine,     // nothing but blanks
  kDuplicate,     // the same name (case aside) is already above
  kNoLetter,      // nothing a voice could say as a name
  kNotShowable,   // characters the console cannot show, or control characters
  kTooLong,       // wider than the line it is shown on
};

struct SkippedLine {
  int line = 0;
  NameFault fault = NameFault::kEmptyLine;
  std::string text;  // the line as written (Windows-1252, blanks trimmed)
};

struct ClassList {
  std::vector<std::string> names;  // Windows-1252, in the file's order
  std::vector<int> lines;          // the line each name came from
  std::vector<SkippedLine> skipped;
};

// The longest name the game shows (its line has room for a prompt too).
inline constexpr size_t kLongestName = 60;

// Reads the list's bytes. A byte-order mark and blanks around names are
// dropped; a Ctrl+Z ends the text as DOS editors left it.
ClassList ReadClassList(std::string_view file_bytes);

// The name as a file name (UTF-8); empty when it cannot be one (it holds a
// slash, so it would name a file in another folder).
std::string NameAsFileName(std::string_view name);

}  // namespace placarim::game
