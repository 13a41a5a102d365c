// Speaking text, recorded keys, characters and generated sounds.
#include "speech/speech.h"

#include "console/keys.h"
#include "lang/cp1252.h"
#include "lang/sums.h"
#include "lang/teacher_text.h"
#include "speech/local_path.h"
#include "speech/number_words.h"
#include "speech/text_stages.h"
#include "speech/wave_image.h"

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

// --- file names ---------------------------------------------------------------

std::string Speech::SoundKeyPath(std::string_view key) const {
  const std::string& directory = !key.empty() && key[0] == '_' ? letters_directory_ : program_directory_;
  return FindFileIgnoringCase(directory + LocalPath(key) + ".wav");
}

std::string Speech::CharacterPath(uint8_t c) const {
  const std::string directory = voice_ != nullptr ? voice_->LettersDirectory() : std::string();
  return FindFileIgnoringCase(directory + "_" + std::to_string(c) + ".wav");
}

bool Speech::SoundKeyExists(std::string_view key) const { return FileExistsIgnoringCase(SoundKeyPath(key)); }

// --- output control -------------------------------------------------------------

bool Speech::IsSpeaking() {
  if (loop_.KeyPressed()) {
    StopSpeech();
    return false;
  }
  if (synth_active_) return sound_.IsPlaying() || synthesizer_->SynthIsSpeaking(0);
  return sound_.IsPlaying();
}

void Speech::WaitWhileSpeaking() {
  while (IsSpeaking()) loop_.WaitMessage();
}

void Speech::WaitSpeech() {
  if (!synth_pending_) return;
  WaitWhileSpeaking();
  synth_pending_ = false;
}

void Speech::StopSpeech() {
  sound_.Stop();
  stop_requested_ = true;
  if (synth_active_ && (synthesizer_->SynthIsSpeaking(0) || voices::FindVoiceDriver(synth_type_).flags.stop_when_quiet)) {
    synthesizer_->SynthStop();
  }
  loop_.PostWakeUp(kSpeechWakeUp);
}

void Speech::SpeechPause(int milliseconds) {
  for (int steps = milliseconds / 50; steps > 0; --steps) {
    if (!loop_.KeyPressed()) loop_.Delay(50);
  }
}

// --- recorded and generated sounds -------------------------------------------------

void Speech::PlaySoundKey(std::string_view key) {
  WaitSpeech();
  sound_.PlayFile(SoundKeyPath(key));
}

void Speech::SpeakChar(uint8_t c) {
  WaitSpeech();
  sound_.PlayFile(CharacterPath(c));
}

void Speech::SpellText(std::string_view text) {
  for (char c : text) {
    if (loop_.KeyPressed()) return;
    SpeakChar(static_cast<uint8_t>(c));
  }
}

void Speech::PlayClick() {
  WaitSpeech();
  const bool condense = sound_.Condense();
  sound_.SetCondense(false);
  sound_.PlayMemory(MakeSpeechImage(click_samples_.data(), click_samples_.size()));
  WaitWhileSpeaking();
  sound_.SetCondense(condense);
}

void Speech::PlayBeep() {
  WaitSpeech();
  while (loop_.KeyPressed()) console_.ReadKey();
  const std::vector<uint8_t> beep = MakeBeepSamples();
  sound_.PlayMemory(MakeSpeechImage(beep.data(), beep.size()));
  WaitWhileSpeaking();
}

void Speech::PlayWaveBufferWait(const std::vector<uint8_t>& image) {
  WaitSpeech();
  sound_.PlayMemory(image);
  WaitWhileSpeaking();
}

bool Speech::SilenceRequested() { return stop_requested_ || loop_.KeyPressed(); }

// --- text -----------------------------------------------------------------------

void Speech::SpeakText(std::string_view text) {
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
  if (SpeakingVoiceFlags().reads_numbers_itself) {
    WaitWhileSpeaking();
    if (loop_.KeyPressed()) return;
    synthesizer_->SynthSpeak(to_speak);
    synth_pending_ = true;
    if (synthesizer_->SynthCanSpeak()) return;
    // Refused, and no external voice is left: the built-in voice says it.
  }
  if (synth_active_) {
    // Why the external voice went silent, said once by the built-in voice.
    const std::string notice = synthesizer_->SynthTakeNotice();
    if (!notice.empty()) {
      const bool outer = sentence_;
      sentence_ = true;
      SpeakBuiltIn(notice);
      sentence_ = outer;
    }
  }
  // Money, hours, fractions and ordinals a teacher writes are read as such;
  // their numbers stay digits, which the recorded number words say.
  SpeakBuiltIn(lang::ReadTeacherText(to_speak, lang::TeacherNumbers::kDigits));
}

voices::VoiceFlags Speech::SpeakingVoiceFlags() {
  // Once no external voice can speak, the built-in voice's flags apply.
  if (!synth_active_ || !synthesizer_->SynthCanSpeak()) return voices::FindVoiceDriver(voices::kVoiceBuiltIn).flags;
  return voices::FindVoiceDriver(synth_type_).flags;
}

void Speech::SpeakSentence(std::string_view text) {
  const bool outer = sentence_;
  sentence_ = true;
  SpeakText(text);
  sentence_ = outer;
}

void Speech::SpeakBuiltIn(std::string_view original) {
  std::string text = PrepareText(original);
  uint8_t last_symbol = ' ';
  int repeats = 0;
  stop_requested_ = false;
  while (!stop_requested_ && !text.empty()) {
    if (loop_.KeyPressed()) {
      StopSpeech();
      return;
    }
    const Segment piece = NextSegment(text, kMaxVoiceText);
    const std::string said = text.substr(0, piece.length);
    switch (piece.kind) {
      case SegmentKind::kZeros:
        for (size_t i = 0; i < piece.length; ++i) PlaySoundKey("_zero");
        break;
      case SegmentKind::kNumber:
        if (NumberIsSpelled(said)) {
          SpellText(said);
        } else {
          const bool feminine = FeminineNounFollows(std::string_view(text).substr(piece.consumed));
          SpeakNumberWords(NumberToWords(std::stoull(said)), feminine);
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

void Speech::SpeakWords(std::string_view words) {
  switch (WordsToSay(words)) {
    case WordsAction::kNothing:
      break;
    case WordsAction::kSpell:
      SpellText(words.substr(0, words.find_last_not_of(' ') + 1));
      break;
    case WordsAction::kSpeak:
      if (words_voice_) words_voice_->Speak(words);
      break;
  }
}

bool Speech::SentenceEnd(std::string& text) {
  const size_t run = text.find_first_not_of(".!?");
  // PrepareText ends the text with a blank, so a run at the end is followed by one too.
  if (run == std::string::npos || text[run] != ' ') return false;
  if (!loop_.KeyPressed()) {
    WaitWhileSpeaking();
    SpeechPause(full_stop_pause_);
  }
  text.erase(0, run);
  return true;
}

void Speech::SpeakSymbol(std::string& text, uint8_t& last_symbol, int& repeats) {
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
    PlayClick();
    as_space = true;
  }
  if (c == '-') {
    const uint8_t next = text.size() <= 2 ? ' ' : At(text, 1);
    if (next == ' ' || next == '-') PunctuationPause(text);
    else if (IsDigit(next)) PlaySoundKey("_MENOS");
    else SpeakChar('-');
  } else if (text.starts_with("://")) {
    SpellText(text.substr(0, 1));
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
        if (!loop_.KeyPressed()) SpeakChar(c);
    }
  }
  text.erase(0, 1);
}

void Speech::PunctuationPause(std::string_view text) {
  if (loop_.KeyPressed()) return;
  WaitWhileSpeaking();
  const uint8_t c = At(text, 0);
  if (NamesPunctuation()) SpeakChar(c);
  const bool space_follows = At(text, 1) == ' ';
  switch (c) {
    case '(':
    case ')':
    case ':':
    case ';':
      SpeechPause(colon_pause_);
      break;
    case ',':
    case '-':
    case '.':
      if (space_follows) SpeechPause(c == '.' ? full_stop_pause_ : comma_pause_);
      else if (!NamesPunctuation()) SpeakChar(c);
      break;
    default:
      break;
  }
}

// --- console ----------------------------------------------------------------------

void Speech::WriteSpeak(std::string_view text) {
  console_.Write(text);
  SpeakText(text);
}

void Speech::WriteLnSpeak(std::string_view text) {
  WriteSpeak(text);
  console_.WriteLineBreak();
  if (!speech_buffer_.empty()) SpeakText({});
}

void Speech::WriteSpeakInt(long long value) { WriteSpeak(std::to_string(value)); }

void Speech::ReadKeySpeak(uint8_t& c, uint8_t& ext) {
  for (;;) {
    WaitWhileSpeaking();
    const console::Key key = console::ReadTypedKey([this] { return console_.ReadKey(); });
    c = key.extended ? 0 : key.code;
    ext = key.extended ? key.code : key.alt_gr != 0 ? key.alt_gr : ' ';
    if (key.extended && key.code == console::extended::kF8) {
      SpeakTime();
      continue;
    }
    if (c > 31 && c != console::plain::kFocusGained && c != console::plain::kFocusLost) {
      SpeakChar(c);
      console_.Write(std::string(1, static_cast<char>(c)));
    }
    return;
  }
}

uint8_t Speech::ReadCharSpeak() {
  if (!speech_buffer_.empty()) SpeakText({});
  const uint8_t code = console_.ReadKey();
  StopSpeech();
  SpeakChar(code);
  return code;
}

}  // namespace placarim::speech
