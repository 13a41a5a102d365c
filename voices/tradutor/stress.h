// Automatic marking of the stressed vowel of a word whose spelling carries no
// accent: the vowel is written in upper case, which the letter rules carry
// into the codes and the synthesis keeps whole.
#pragma once

#include <string>

namespace placarim::tradutor {

// Scans `word` (lower case, cleaned) from its end and upper-cases the vowel
// that Portuguese stress rules pick: paroxytone after a final a, e, o (also
// before s and m), oxytone after l, n, r, x, z and after final i, u.
void MarkStress(std::string& word);

}  // namespace placarim::tradutor
