// The Ilvra voice's front end: from a Windows-1252 text to the phoneme lines
// a diphone engine reads (name, duration in ms, pitch points).
//
// The stages are separate functions so each can be driven and checked on its
// own; FrontEnd owns the language tables and runs them in order:
//   NormalizeText -> TokenizeWithKeys -> AssignContours -> WordsToPhonemes
//   -> PhonemesToMbrola
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "voices/ilvra/letter_rules.h"
#include "voices/ilvra/prosody.h"
#include "voices/ilvra/text_normalizer.h"

namespace placarim::ilvra {

struct FrontEndFiles {  // full paths of the language files
  std::string rules, exceptions, abbreviations, prosody, definitions;
};

// Which load failed: kRules covers the exceptions, kProsody the diphone list.
enum class FrontEndError { kNone, kRules, kAbbreviations, kProsody };

// Shows one of the prosody file's messages to the user (Windows-1252 text).
using MessageBox = std::function<void(const std::string& text)>;

class FrontEnd {
 public:
  // A null message box writes the messages on standard error, in UTF-8.
  explicit FrontEnd(MessageBox message_box);

  // Releases earlier tables, then loads rules+exceptions, abbreviations,
  // prosody and the diphone list in that order; the first failure is
  // returned. Lines refused because a table is full are reported on
  // standard error (see Notices()).
  FrontEndError Load(const FrontEndFiles& files);
  void Release();

  // The whole front end for one trimmed Windows-1252 text.
  std::vector<std::string> TextToMbrola(std::string_view text, double pitch_factor,
                                        double duration_factor) const;

  const RuleSet& rules() const { return rules_; }
  const AbbreviationTable& abbreviations() const { return abbreviations_; }
  const ProsodyTables& prosody() const { return prosody_; }
  const DiphoneList& diphones() const { return diphones_; }

 private:
  MessageBox message_box_;
  RuleSet rules_;
  AbbreviationTable abbreviations_;
  ProsodyTables prosody_;
  DiphoneList diphones_;
};

}  // namespace placarim::ilvra
