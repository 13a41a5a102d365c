#include "voices/tradutor/diphone_synth.h"

#include <cmath>

#include "lang/cp1252.h"
#include "voices/tradutor/recorded_character.h"

namespace placarim::tradutor {
namespace {

// The synthesis's own letter classes: codes are written in lower case, with
// upper-case vowels for stress and w, y for semivowels.
bool IsCodeConsonant(char c) {
  switch (c) {
    case 'b': case 'c': case 'd': case 'f': case 'g': case 'j': case 'k': case 'l': case 'm':
    case 'n': case 'p': case 'q': case 'r': case 's': case 't': case 'v': case 'x': case 'z':
      return true;
    default:
      return false;
  }
}
bool IsCodeVowel(char c) {
  switch (c) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 'a': case 'e': case 'i': case 'o': case 'u': case 'w': case 'y':
      return true;
    default:
      return false;
  }
}
bool IsSemivowel(char c) { return c == 'w' || c == 'y'; }
bool IsStressedVowel(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }
bool EndsWith(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}

// Keeps a built name within the 12 characters a unit name may have.
void AppendCapped(std::string& name, std::string_view more) {
  name.append(more.substr(0, DiphoneSynth::kMaxName - std::min(name.size(), DiphoneSynth::kMaxName)));
}

constexpr int kNoiseBytes = 300;
constexpr int kMaxFallbackDepth = 16;

}  // namespace

void DiphoneSynth::Speak(std::string_view codes) {
  buffer_.Reset();
  stress_mode_ = 1;
  size_t i = 0;
  // A key stops the work at the next full buffer: no later piece is built.
  while (i < codes.size() && !buffer_.Stopped()) {
    char ended_by = '\0';
    const std::string segment = ExtractSegment(codes, i, ended_by);
    Decompose(segment, 1.0);
    if (i < codes.size() && ended_by != ' ') buffer_.AppendSilence(tuning_.word_gap);
  }
  buffer_.Flush();
}

int DiphoneSynth::Pause(char mark) const {
  switch (mark) {
    case '.': return tuning_.pause_full_stop;
    case ',': return tuning_.pause_comma;
    case ';': return tuning_.pause_semicolon;
    case ':': return tuning_.pause_colon;
    default: return -1;
  }
}

std::string DiphoneSynth::ExtractSegment(std::string_view codes, size_t& i, char& ended_by) {
  if (codes[i] == '[') {
    stress_mode_ = 1;
    ++i;
  }
  std::string segment;
  auto add = [&segment](char c) {
    if (segment.size() < kMaxSegment) segment += c;
  };
  while (i < codes.size() && codes[i] != ' ' && codes[i] != ']') {
    const char c = codes[i];
    if (c == '/') {
      // Slashes join the outputs of a word's rules; a long run is cut there.
      if (segment.size() >= 9) break;
      ++i;
    } else if (c == '_') {
      add(c);
      ++i;
      if (i < codes.size()) add(codes[i++]);
    } else {
      add(c);
      ++i;
    }
  }
  ended_by = i < codes.size() ? codes[i] : '\0';
  if (i < codes.size()) ++i;
  if (segment.size() == 2 && segment[0] == '_' && Pause(segment[1]) >= 0) {
    buffer_.AppendSilence(Pause(segment[1]));
    segment.clear();
  }
  return segment;
}

void DiphoneSynth::Decompose(std::string_view s, double x) {
  const size_t n = s.size();
  if (n == 0) return;
  if (n == 1) return PlayUnit(s, x);
  if (n > 2 && IsCodeConsonant(s[0]) && IsCodeConsonant(s[1]) && !StartsWith(s, "dj") &&
      !StartsWith(s, "nh") && !StartsWith(s, "rr") && !StartsWith(s, "ks") && !StartsWith(s, "tch")) {
    // A consonant cluster: its first consonant stands alone.
    PlayUnit(s.substr(0, 1), 1.0);
    return Decompose(s.substr(1), x);
  }
  if (n > 2 && EndsWith(s, "rr")) {
    Decompose(s.substr(0, n - 2), x);
    return PlayUnit("rr", x);
  }
  if (n > 2 && IsCodeConsonant(s[n - 1])) {
    Decompose(s.substr(0, n - 1), x);
    return PlayUnit(s.substr(n - 1), x);
  }
  if (IsSemivowel(s[n - 1])) {
    const char before = s[n - 2];
    if (IsCodeVowel(before) && n > 2) {
      // Diphthong: the syllable is shortened so that its vowel flows into
      // the vowel-glide unit.
      Decompose(s.substr(0, n - 1), 0.6);
      return PlayUnit(s.substr(n - 2), x);
    }
    if ((before == '^' || before == '~') && n > 2) {
      const char vowel = s[n - 3];
      if (n > 3) {
        if (before == '~') Decompose(std::string(s.substr(0, n - 2)) + "^", 0.6);
        else Decompose(s.substr(0, n - 1), 0.6);
      }
      const char unit[3] = {vowel, s[n - 1], before};
      return PlayUnit(std::string_view(unit, 3), x);
    }
  }
  if (s != "_s" && s[n - 1] == 's') {
    Decompose(s.substr(0, n - 1), 0.7);
    return PlayUnit("s", x);
  }
  PlayUnit(s, x);
}

void DiphoneSynth::PlayUnit(std::string_view unit, double x) {
  if (unit.empty()) return;
  if (unit[0] == '_') {
    if (unit.size() < 2) return;
    PlayName("_" + std::to_string(static_cast<unsigned char>(unit[1])), x);
    return;
  }
  bool raised = false;
  std::string name = "$";
  for (char c : unit.substr(0, kMaxName)) {
    if (IsStressedVowel(c)) {
      stress_mode_ = 2;
      raised = true;
    }
    if (c == '^') {
      PlayName(name + "CIRC", x);
      name = "$";
    } else if (c == '~') {
      PlayName(name + "TIL", x);
      name = "$";
    } else {
      AppendCapped(name, std::string_view(&c, 1));
    }
  }
  if (name.size() > 1) PlayName(name, x);
  if (raised) stress_mode_ = 0;
}

void DiphoneSynth::PlayName(std::string_view name, double x, int depth) {
  name = name.substr(0, kMaxName);
  if (name.empty()) return;
  if (observer_) observer_(name[0] == '_' ? std::string(name) : lang::UpperCase(name), x, stress_mode_);
  const bool found = name[0] == '_' ? PlayRecordedCharacter(name) : PlayIndexed(name, x);
  if (found) return;
  if (name[0] == '_') {
    // Recorded characters belong to the letters directory, not the database.
    ++counters_.recorded_missing;
    if (name.size() > 2) return;
  } else {
    ++counters_.names_missing;
  }
  PlayMissing(name, x, depth);
}

bool DiphoneSynth::PlayRecordedCharacter(std::string_view name) {
  const auto samples = ReadRecordedCharacter(letters_dir_ + std::string(name) + ".wav");
  if (!samples) return false;
  buffer_.Append(samples->data(), samples->size());
  return true;
}

bool DiphoneSynth::PlayIndexed(std::string_view name, double x) {
  const auto entry = index_.Find(lang::UpperCase(name));
  if (!entry) return false;
  long length = entry->length;
  if (stress_mode_ != 2 && name.size() > 2) {
    const long trimmed = length - tuning_.unit_trim;
    length = trimmed < tuning_.minimum_unit_length
                 ? std::min<long>(length, tuning_.minimum_unit_length)
                 : trimmed;
  }
  const long wanted = static_cast<long>(std::trunc(static_cast<double>(length) * x));
  if (unit_observer_) unit_observer_(lang::UpperCase(name), x, stress_mode_, static_cast<size_t>(std::max(0L, wanted)));
  if (wanted <= 0) return true;
  data_.Read(entry->offset, static_cast<size_t>(wanted), scratch_);
  buffer_.Append(scratch_.data(), scratch_.size());
  return true;
}

void DiphoneSynth::PlayMissing(std::string_view name, double x, int depth) {
  const size_t n = name.size();
  if (n <= 2) {
    ++counters_.noise_bursts;
    return AppendNoise();
  }
  if (depth >= kMaxFallbackDepth) {
    ++counters_.names_dropped;
    return;
  }
  const char last = name[n - 1];
  if (IsCodeVowel(last)) {
    PlayName(name.substr(0, n - 1), 0.9 * x, depth + 1);
    const char single[2] = {'$', last};
    return PlayName(std::string_view(single, 2), x, depth + 1);
  }
  if (EndsWith(name, "CIRC") && n > 6) {
    PlayName(name.substr(0, n - 5), 0.9 * x, depth + 1);
    return PlayName("$" + std::string(name.substr(n - 5)), x, depth + 1);
  }
  if (EndsWith(name, "TIL")) {
    // A nasal unit the database lacks: its oral vowel, then a nasal murmur.
    const std::string_view rest = name.substr(0, n - 3);
    const char r = rest.empty() ? '\0' : rest.back();
    const int mode = stress_mode_;
    if (r == 'I' || r == 'U' || r == 'i' || r == 'u') {
      PlayName(rest, 0.9 * x, depth + 1);
    } else {
      stress_mode_ = 2;
      PlayName(std::string(rest) + "CIRC", 0.9 * x, depth + 1);
    }
    stress_mode_ = 1;
    PlayName("$nn", 0.9, depth + 1);
    stress_mode_ = mode;
    return;
  }
  ++counters_.names_dropped;
}

void DiphoneSynth::AppendNoise() {
  uint8_t noise[kNoiseBytes];
  for (uint8_t& b : noise) b = static_cast<uint8_t>(88 + random_() % 80);
  buffer_.Append(noise, kNoiseBytes);
}

}  // namespace placarim::tradutor
