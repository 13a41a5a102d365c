#include "voices/ilvra/front_end.h"

#include <cstdio>

#include "platform/text_encoding.h"

namespace placarim::ilvra {
namespace {

// Standard error is read in a UTF-8 terminal or log; the tables are Windows-1252.
void PrintNotices(const std::vector<std::string>& notices) {
  for (const auto& n : notices) std::fprintf(stderr, "ilvra: %s\n", platform::Cp1252ToUtf8(n).c_str());
}

}  // namespace

FrontEnd::FrontEnd(MessageBox message_box) : message_box_(std::move(message_box)) {
  if (!message_box_) {
    message_box_ = [](const std::string& text) { std::fprintf(stderr, "%s\n", platform::Cp1252ToUtf8(text).c_str()); };
  }
}

void FrontEnd::Release() {
  rules_.Clear();
  abbreviations_.entries.clear();
  prosody_.Clear();
  diphones_.Clear();
}

FrontEndError FrontEnd::Load(const FrontEndFiles& files) {
  Release();
  std::vector<std::string> notices;
  FrontEndError result = FrontEndError::kNone;
  if (!LoadIlvraRules(files.rules, files.exceptions, rules_, &notices)) {
    result = FrontEndError::kRules;
  } else if (!LoadAbbreviations(files.abbreviations, abbreviations_, &notices)) {
    result = FrontEndError::kAbbreviations;
  } else if (!LoadProsody(files.prosody, prosody_, message_box_, &notices) ||
             !LoadDiphoneList(files.definitions, diphones_)) {
    result = FrontEndError::kProsody;
  }
  PrintNotices(notices);
  return result;
}

std::vector<std::string> FrontEnd::TextToMbrola(std::string_view text, double pitch_factor,
                                                double duration_factor) const {
  const std::string normal = NormalizeText(text, abbreviations_);
  const auto tokens = TokenizeWithKeys(normal, prosody_);
  const auto contours = AssignContours(tokens, prosody_);
  const auto phonemes = WordsToPhonemes(contours, rules_);
  return PhonemesToMbrola(phonemes, prosody_, diphones_, pitch_factor, duration_factor);
}

}  // namespace placarim::ilvra
