// The stressed vowel of a word as each voice says it and as espeak-ng's
// Brazilian Portuguese says it, and the running text the comparison is made
// on. Used by the tool that proposes e/o exceptions and by the benchmark that
// measures agreement on text no exception was written from.
#pragma once

#include <string>
#include <vector>

namespace placarim::vowel_lexicon {

// The stressed vowel: its letter (a e i o u, 0 when the word has no stress
// mark), whether it is open, whether it is nasal (nasal e/o have no open
// form), and how many vowels follow it.
struct Stressed {
  char letter = 0;
  bool open = false;
  bool nasal = false;
  int from_end = -1;
  // An oral e or o: the vowels whose open or closed quality is judged.
  bool Judged() const { return (letter == 'e' || letter == 'o') && !nasal; }
};

// espeak-ng must be initialised with the pt-br voice (InitialiseEspeak).
bool InitialiseEspeak();
std::string EspeakPhonemes(const std::string& utf8_word);
Stressed FromEspeak(const std::string& phonemes);
// The built-in voice's diphone codes: a vowel letter, upper case when
// stressed, ^ after it when closed, ~ when nasal.
Stressed FromDiphoneCodes(const std::string& codes);
// Ilvra's phoneme lines for one word: > marks the stressed phoneme.
Stressed FromIlvraLines(const std::vector<std::string>& lines);

// Both judged (oral e or o), the same letter at the same place from the
// end: only then are their qualities compared.
bool Comparable(const Stressed& ours, const Stressed& reference);

// The entries of a fortune file (text between lines holding only "%").
std::vector<std::string> ReadFortunes(const std::string& path);
// The lower-case words of a UTF-8 text, in order (letters only; hyphenated
// words are split, as the voices read them).
std::vector<std::string> LowerCaseWords(const std::string& utf8_text);
// Every fourth entry (3, 7, 11, ...) is held out: no exception is written
// from it, and agreement is measured on it.
bool HeldOut(size_t entry_index);

}  // namespace placarim::vowel_lexicon
