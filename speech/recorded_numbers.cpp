// Numbers, the time and the date, spoken from recorded words. All the words of
// one number are glued into one buffer and played as one sound, so that no
// gap or click separates them.
#include <cstdio>
#include <optional>

#include "platform/regular_file.h"
#include "speech/local_path.h"
#include "speech/number_words.h"
#include "speech/recorded_sounds.h"
#include "speech/wave_image.h"

namespace placarim::speech {
namespace {

// The bytes of a recording; empty when the name is not a regular file (a
// folder named like a recording, a FIFO) or cannot be read.
std::vector<uint8_t> ReadRecording(const std::string& path) {
  const std::optional<std::string> file = platform::ReadWholeFile(path);
  if (!file) return {};
  return std::vector<uint8_t>(file->begin(), file->end());
}

}  // namespace

void RecordedSounds::PlayNumberBuffer(std::vector<uint8_t>& buffer, size_t& collected) {
  if (collected == 0) return;
  MakeWaveHeader(buffer.data(), static_cast<uint32_t>(collected), kSpeechRate, 1, 8);
  PlayImageWait(std::vector<uint8_t>(buffer.begin(), buffer.begin() + kWaveHeaderSize + collected));
  output_.WaitWhileSpeaking();
  collected = 0;
}

void RecordedSounds::SpeakNumberWords(std::string_view words, bool feminine) {
  const std::string directory = VoiceLetters();
  std::vector<uint8_t> buffer(kWaveHeaderSize + kNumberBufferSamples);
  size_t collected = 0;
  for (const std::string& key : NumberWordKeys(words, feminine)) {
    const std::vector<uint8_t> file = ReadRecording(FindFileIgnoringCase(directory + key + ".wav"));
    const auto word = SpeechWaveSamples(file);
    if (!word) continue;
    const uint8_t* samples = word->data();
    size_t remaining = word->size();
    // A word that does not fit behind the others starts a new buffer; a word
    // longer than the whole buffer is played in pieces.
    if (collected + remaining > kNumberBufferSamples) PlayNumberBuffer(buffer, collected);
    while (remaining > 0) {
      if (collected == kNumberBufferSamples) PlayNumberBuffer(buffer, collected);
      const size_t take = std::min(remaining, kNumberBufferSamples - collected);
      std::copy(samples, samples + take, buffer.begin() + kWaveHeaderSize + collected);
      collected += take;
      samples += take;
      remaining -= take;
    }
  }
  PlayNumberBuffer(buffer, collected);
}

void RecordedSounds::SpeakTime() {
  int hour = 0, minute = 0;
  console_.GetTime(hour, minute);
  SpeakNumberWords(NumberToWords(hour < 0 ? 0 : hour), true);
  PlaySoundKey(hour < 2 ? "_hora" : "_horas");
  if (minute == 0) return;
  SpeakNumberWords(NumberToWords(minute < 0 ? 0 : minute), false);
  PlaySoundKey(minute < 2 ? "_minuto" : "_minutos");
}

void RecordedSounds::SpeakDate() {
  int year = 2000, month = 1, day = 1;
  console_.GetDate(year, month, day);
  PlaySoundKey(WeekdayKey(WeekdayOf(year, month, day)));
  if (day == 1) PlaySoundKey("_primeir");
  else SpeakNumberWords(NumberToWords(day < 0 ? 0 : day), false);
  PlaySoundKey("_de");
  PlaySoundKey(MonthKey(month));
  PlaySoundKey("_de");
  // From 2100 on, "dois mil e" plus two digits would be wrong: the whole year is read.
  if (year >= 2100) {
    SpeakNumberWords(NumberToWords(year), false);
    return;
  }
  if (year >= 2000) SpeakNumberWords(NumberToWords(2000), false);
  if (year > 2000) PlaySoundKey("_e");
  if (year % 100 != 0) SpeakNumberWords(NumberToWords(year < 0 ? -year % 100 : year % 100), false);
}

}  // namespace placarim::speech
