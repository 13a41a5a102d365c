// Matching of one letter rule at one position of a word.
#pragma once

#include <string_view>

#include "voices/tradutor/letter_rules.h"

namespace placarim::tradutor {

// `word` is the word's letters; `p` is the 1-based position of the first
// centre letter. Centre, then left context, then right context.
bool RuleMatches(const LetterRule& rule, std::string_view word, int p);

}  // namespace placarim::tradutor
