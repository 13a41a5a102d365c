// The text path of the built-in voice as named stages, each a small function
// of text that can be tested alone. Every voice first hears written sums read
// as sums (lang::ReadSums, in Speech::SpeakText); then Speech::SpeakBuiltIn
// runs these in order:
//
//   1. PrepareText      the stages that rewrite the whole text (kTextStages)
//   2. NextSegment      cuts off the next piece: zeros, a number, a run of
//                       words or one symbol
//   3. numbers          a number's recorded words, or its digits one by one
//                       (NumberIsSpelled)
//   4. symbols, pauses  a symbol's recorded name or a pause (Speech::SpeakSymbol,
//                       which keeps count of repeated symbols)
//   5. voice            the built-in voice says a run of words (WordsToSay)
//
// Voices whose flags say they read numbers themselves get the text whole and
// skip every stage.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace placarim::speech {

// A stage that rewrites the whole text before it is cut into pieces.
using TextStage = std::string (*)(std::string_view text);

// Ends the text with a blank, so that every piece has something after it.
std::string EndWithBlank(std::string_view text);

// The stages PrepareText runs, in order, ahead of the cut into numbers and
// symbols. Rewrites meant for every voice (such as reading written sums) go
// in Speech::SpeakText instead, before the voice is chosen.
inline constexpr TextStage kTextStages[] = {EndWithBlank};

// Runs `stages` over `text`, each on the result of the one before.
std::string PrepareText(std::string_view text, std::span<const TextStage> stages = kTextStages);

enum class SegmentKind { kZeros, kNumber, kWords, kSymbol };

struct Segment {
  SegmentKind kind;
  size_t length;    // what the piece says: text.substr(0, length)
  size_t consumed;  // what it takes off the text (a hyphen joining two words goes with the first)
};

// The next piece of a non-empty `text`: a run of "0"s (each said on its own);
// a number (digits and hyphens) starting with 1 to 9; a run of letters and
// blanks, at most `max_words` long; or else one symbol.
Segment NextSegment(std::string_view text, size_t max_words);

// Whether a number is spelled digit by digit rather than read as a number:
// long digit runs and hyphenated ones (telephones, dates).
bool NumberIsSpelled(std::string_view number);

// What the voice is given for a run of words: the run itself, or empty when it
// holds only blanks (after a number or a symbol) or is spelled instead.
enum class WordsAction { kNothing, kSpell, kSpeak };
WordsAction WordsToSay(std::string_view run);

}  // namespace placarim::speech
