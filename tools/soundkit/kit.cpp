#include "tools/soundkit/kit.h"

#include "lang/cp1252.h"
#include "tools/soundkit/kit_tables.h"

namespace placarim::soundkit {
namespace {

// Number words are said a little faster than names so that a long number
// flows; spelling words a little slower so that a child can follow.
constexpr int kNameRate = 165;
constexpr int kNumberRate = 185;
constexpr int kSpellingRate = 150;

std::string InDirectory(std::string_view directory, std::string_view key) {
  return std::string(directory) + "/" + std::string(key) + ".wav";
}

KitItem Spoken(std::string_view directory, std::string key, std::string_view text, int rate,
               const WaveFormat& format, size_t limit) {
  KitItem item;
  item.path = InDirectory(directory, key);
  item.key = std::move(key);
  item.text = std::string(text);
  item.words_per_minute = rate;
  item.format = format;
  item.max_samples = limit;
  return item;
}

void AddWords(std::vector<KitItem>& kit, std::span<const SpokenWord> words, int rate, size_t limit) {
  for (const SpokenWord& w : words)
    kit.push_back(Spoken(kLettersDirectory, std::string(w.key), w.text, rate, kLettersFormat, limit));
}

struct CueFile {
  std::string_view key;
  Cue cue;
};

constexpr CueFile kCueFiles[] = {
    {"PLMUSINI", Cue::kStartJingle}, {"PLMUSFIM", Cue::kEndJingle}, {"PLTANA", Cue::kFanfare},
    {"PLTANA2", Cue::kShortFanfare}, {"PLTANA3", Cue::kMediumFanfare}, {"PLCHUTE", Cue::kKick},
    {"PLCLOK", Cue::kTick},          {"PLUAU", Cue::kCrowd},           {"PLPALMAS", Cue::kApplause},
    {"PLINITRT", Cue::kWhistle},
};

// The telephone tones' file names use "X" for the star, which cannot be
// part of a file name on every system.
constexpr std::string_view kToneKeys = "0123456789#*";

}  // namespace

KitItem SpokenLetterItem(std::string key, std::string text) {
  return Spoken(kLettersDirectory, std::move(key), text, kNameRate, kLettersFormat, kCharacterLimit);
}

std::vector<KitItem> PlanKit() {
  std::vector<KitItem> kit;
  for (const CharacterName& c : CharacterNames())
    kit.push_back(Spoken(kLettersDirectory, "_" + std::to_string(c.code), c.name, kNameRate, kLettersFormat,
                         kCharacterLimit));
  AddWords(kit, NumberWords(), kNumberRate, kNumberWordLimit);
  AddWords(kit, TimeAndDateWords(), kNumberRate, kNumberWordLimit);
  AddWords(kit, SignWords(), kNumberRate, kNumberWordLimit);
  AddWords(kit, EditorCues(), kNameRate, kCharacterLimit);
  for (const SpokenWord& w : SpellingWords()) {
    // Alt+Right asks by the letter's code, in whichever case it was typed.
    const char lower = w.key[0];
    const char upper = lang::UpperCase(lower);
    for (char letter : {upper, lower})
      kit.push_back(Spoken(kLettersDirectory, "_FON" + std::to_string(static_cast<int>(letter)), w.text,
                           kSpellingRate, kLettersFormat, kCharacterLimit));
  }
  for (char key : kToneKeys) {
    KitItem item;
    item.key = std::string("dtmf_") + (key == '*' ? 'X' : key);
    item.path = InDirectory(kLettersDirectory, item.key);
    item.source = SoundSource::kTone;
    item.text = std::string(1, key);
    item.format = kLettersFormat;
    item.max_samples = static_cast<size_t>(kToneSeconds * kLettersFormat.sample_rate) + 1;
    kit.push_back(item);
  }
  for (const SpokenWord& w : GameWords())
    kit.push_back(Spoken(kGameSoundDirectory, std::string(w.key), w.text, kNameRate, kGameFormat, kGameSoundLimit));
  for (const CueFile& c : kCueFiles) {
    KitItem item;
    item.key = std::string(c.key);
    item.path = InDirectory(kGameSoundDirectory, item.key);
    item.source = SoundSource::kCue;
    item.cue = c.cue;
    item.format = kGameFormat;
    item.max_samples = kGameSoundLimit;
    kit.push_back(item);
  }
  return kit;
}

}  // namespace placarim::soundkit
