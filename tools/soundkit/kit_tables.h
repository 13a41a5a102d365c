// What the kit says, as data: the names of the characters, the words the
// number and time readers glue together, the line editor's cues, the
// spelling words and the game's spoken words. Texts are UTF-8 for the
// synthesizer and are written the way a Brazilian speaker says them
// (accents where they guide the pronunciation).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace placarim::soundkit {

// A character by its Windows-1252 code and its spoken name.
struct CharacterName {
  uint8_t code;
  std::string_view name;
};

// A recording key and the text spoken for it.
struct SpokenWord {
  std::string_view key;
  std::string_view text;
};

// Every character from 32 to 255 that has a name, in code order.
std::span<const CharacterName> CharacterNames();

// Number words, by the keys of the number reader ("_" + word cut to 8).
std::span<const SpokenWord> NumberWords();

// Hours, minutes, weekdays, months and the little words of a date.
// ("_e" is shared with the number words and listed there.)
std::span<const SpokenWord> TimeAndDateWords();

// The minus sign spoken before a negative number.
std::span<const SpokenWord> SignWords();

// The line editor's confirmations.
std::span<const SpokenWord> EditorCues();

// "a de amor"... for each lower-case ASCII letter, the spelling word.
std::span<const SpokenWord> SpellingWords();

// The game's digits and operator words.
std::span<const SpokenWord> GameWords();

}  // namespace placarim::soundkit
