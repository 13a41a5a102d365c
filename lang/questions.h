// Which questions open with a question word. In Brazilian speech such a
// question (Onde está a bola? Por que ele chutou?) falls at its end like a
// statement; a yes/no question rises.
#pragma once

#include <string_view>

namespace placarim::lang {

// The first two words of a question (Windows-1252, any case; the second may
// be empty): true when the first is a question word (onde, quem, quando,
// como, qual, quanto, cadê, ...), or is "que" or "quê", or opens one of the
// pairs "por que", "o que", or a preposition before a question word
// ("de onde", "com quem", "para que").
bool OpensWithQuestionWord(std::string_view first, std::string_view second);

}  // namespace placarim::lang
