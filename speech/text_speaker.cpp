// Speaking text through the stages of the text path.
#include "speech/text_speaker.h"

#include "lang/cp1252.h"
#include "lang/sums.h"
#include "lang/teacher_text.h"
#include "speech/number_words.h"
#include "speech/text_stages.h"

namespace placarim::speech {
namespace {

bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128; }

// A number right before a noun known to be feminine takes the feminine
// recordings (duas horas, trezentas pessoas). "vezes" before a
// number is the sign of a sum read out (2 vezes 3: dois vezes três).
bool FeminineNounFollows(std::string_view rest) {
  if (rest.empty() || rest[0] != ' ') return false;
  size_t end = 1;
  while (end < rest.size() && IsLetter(static_cast<uint8_t>(rest[end]))) ++end;
  const std::string_view noun = rest.substr(1, end - 1);
  const bool times_sign = noun == "vezes" && end + 1 < rest.size() && rest[end] == ' ' &&
                          rest[end + 1] >= '0' && rest[end + 1] <= '9';
  return !times_sign && lang::IsKnownFeminineNoun(noun);
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

uint8_t At(std::string_view text, size_t i) { return i < text.size() ? static_cast<uint8_t>(text[i]) : ' '; }

}  // namespace

// --- text -----------------------------------------------------------------------

void TextSpeaker::SpeakText(std::string_view text) {
  std::string to_speak(text);
  if (buffer_speech) {
    if (!text.empty()) {
      if (IsLetter(static_cast<uint8_t>(text[0]))) speech_buffer_ += ' ';
      speech_buffer_ += text;
      return;
    }
    to_speak = std::move(speech_buffer_);
    speech_buffer_.clear();
  }
  // Every voice hears a written sum as a sum ("12-5=" is doze menos cinco
  // igual), never as a spelled run of digits or a letter x.
  to_speak = lang::ReadSums(to_speak);
  // A text the external voice could not take, with no external voice left,
  // is said by the built-in voice.
  if (output_.SpeakingVoiceFlags().reads_numbers_itself && output_.SpeakExternally(to_speak)) return;
  // Why the external voice went silent, said once by the built-in voice.
  const std::string notice = output_.TakeExternalNotice();
  if (!notice.empty()) {
    const bool outer = sentence_;
    sentence_ = true;
    SpeakBuiltIn(notice);
    sentence_ = outer;
  }
  // Money, hours, fractions and ordinals a teacher writes are read as such;
  // their numbers stay digits, which the recorded number words say.
  SpeakBuiltIn(lang::ReadTeacherText(to_speak, lang::TeacherNumbers::kDigits));
}

void TextSpeaker::SpeakSentence(std::string_view text) {
  const bool outer = sentence_;
  sentence_ = true;
  SpeakText(text);
  sentence_ = outer;
}

void TextSpeaker::SpeakBuiltIn(std::string_view original) {
  std::string text = PrepareText(original);
  uint8_t last_symbol = ' ';
  int repeats = 0;
  output_.BeginUtterance();
  while (!output_.StopRequested() && !text.empty()) {
    if (loop_.KeyPressed()) {
      output_.StopSpeech();
      return;
    }
    const Segment piece = NextSegment(text, kMaxVoiceText);
    const std::string said = text.substr(0, piece.length);
    switch (piece.kind) {
      case SegmentKind::kZeros:
        for (size_t i = 0; i < piece.length; ++i) sounds_.PlaySoundKey("_zero");
        break;
      case SegmentKind::kNumber:
        if (NumberIsSpelled(said)) {
          sounds_.SpellText(said);
        } else {
          const bool feminine = FeminineNounFollows(std::string_view(text).substr(piece.consumed));
          sounds_.SpeakNumberWords(NumberToWords(std::stoull(said)), feminine);
        }
        break;
      case SegmentKind::kWords:
        SpeakWords(said);
        break;
      case SegmentKind::kSymbol:
        SpeakSymbol(text, last_symbol, repeats);  // takes its symbol (or a sentence end) off the text
        continue;
    }
    text.erase(0, piece.consumed);
  }
}

void TextSpeaker::SpeakWords(std::string_view words) {
  switch (WordsToSay(words)) {
    case WordsAction::kNothing:
      break;
    case WordsAction::kSpell:
      sounds_.SpellText(words.substr(0, words.find_last_not_of(' ') + 1));
      break;
    case WordsAction::kSpeak:
      if (!words_voice_) break;
      // The built-in voice never talks over text handed to an external one.
      output_.WaitSpeech();
      words_voice_->Speak(words);
      break;
  }
}

bool TextSpeaker::SentenceEnd(std::string& text) {
  const size_t run = text.find_first_not_of(".!?");
  // PrepareText ends the text with a blank, so a run at the end is followed by one too.
  if (run == std::string::npos || text[run] != ' ') return false;
  if (!loop_.KeyPressed()) {
    output_.WaitWhileSpeaking();
    output_.SpeechPause(output_.FullStopPause());
  }
  text.erase(0, run);
  return true;
}

void TextSpeaker::SpeakSymbol(std::string& text, uint8_t& last_symbol, int& repeats) {
  uint8_t c = static_cast<uint8_t>(text[0]);
  // "Gol!", "jogar?", "Conferindo...": the end of a sentence is a pause.
  if (sentence_ && (c == '.' || c == '!' || c == '?') && SentenceEnd(text)) return;
  // Long rows of one symbol ("-----", "*****") click instead of talking on.
  // Words and numbers between two equal symbols do not reset the count.
  bool as_space = false;
  if (c != last_symbol) {
    last_symbol = c;
    repeats = 0;
  } else if (++repeats > 3) {
    sounds_.PlayClick();
    as_space = true;
  }
  if (c == '-') {
    const uint8_t next = text.size() <= 2 ? ' ' : At(text, 1);
    if (next == ' ' || next == '-') PunctuationPause(text);
    else if (IsDigit(next)) sounds_.PlaySoundKey("_MENOS");
    else sounds_.SpeakChar('-');
  } else if (text.starts_with("://")) {
    sounds_.SpellText(text.substr(0, 1));
  } else {
    if (as_space) c = ' ';
    switch (c) {
      case '\t':
      case ' ':
        break;
      case '(':
      case ')':
      case ',':
      case '.':
      case ':':
      case ';':
        PunctuationPause(text);
        break;
      default:
        if (!loop_.KeyPressed()) sounds_.SpeakChar(c);
    }
  }
  text.erase(0, 1);
}

void TextSpeaker::PunctuationPause(std::string_view text) {
  if (loop_.KeyPressed()) return;
  output_.WaitWhileSpeaking();
  const uint8_t c = At(text, 0);
  if (NamesPunctuation()) sounds_.SpeakChar(c);
  const bool space_follows = At(text, 1) == ' ';
  switch (c) {
    case '(':
    case ')':
    case ':':
    case ';':
      output_.SpeechPause(output_.ColonPause());
      break;
    case ',':
    case '-':
    case '.':
      if (space_follows) output_.SpeechPause(c == '.' ? output_.FullStopPause() : output_.CommaPause());
      else if (!NamesPunctuation()) sounds_.SpeakChar(c);
      break;
    default:
      break;
  }
}

// --- console ----------------------------------------------------------------------

void TextSpeaker::WriteSpeak(std::string_view text) {
  console_.Write(text);
  SpeakText(text);
}

void TextSpeaker::WriteLnSpeak(std::string_view text) {
  WriteSpeak(text);
  console_.WriteLineBreak();
  FlushBuffer();
}

void TextSpeaker::FlushBuffer() {
  if (!speech_buffer_.empty()) SpeakText({});
}

void TextSpeaker::WriteSpeakInt(long long value) { WriteSpeak(std::to_string(value)); }

}  // namespace placarim::speech
