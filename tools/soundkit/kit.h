// The whole kit as a list of items, each one file of the data tree with the
// source of its sound and the limits of the code that reads it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/soundkit/cues.h"
#include "tools/soundkit/wave_writer.h"

namespace placarim::soundkit {

// Sub-directories of the data tree.
inline constexpr std::string_view kLettersDirectory = "letras";
inline constexpr std::string_view kGameSoundDirectory = "sons";

// Readers' buffers, in samples. The number reader glues words into a buffer
// of 30,000 samples; the built-in voice appends a recorded character into
// its 64,000-byte buffer after the 44-byte header; the game's cues are
// played whole but the child waits through them, so they stay short.
inline constexpr size_t kNumberWordLimit = 30000;
inline constexpr size_t kCharacterLimit = 64000 - 44;
inline constexpr size_t kGameSoundLimit = 4 * 22050;

// The letters directory's format is fixed by its readers (8-bit mono
// 11,025 Hz, 44-byte header); the game's own sounds are played by the
// general wave player and keep more of their quality.
inline constexpr WaveFormat kLettersFormat{11025, SampleFormat::kUnsigned8};
inline constexpr WaveFormat kGameFormat{22050, SampleFormat::kSigned16};

// A telephone tone lasts as long as a quick key press on a telephone.
inline constexpr double kToneSeconds = 0.16;

enum class SoundSource { kSpeech, kTone, kCue };

struct KitItem {
  std::string key;          // the recording key, e.g. "_65", "dtmf_X", "PLTANA"
  std::string path;         // relative to the data tree, e.g. "letras/_65.wav"
  SoundSource source = SoundSource::kSpeech;
  std::string text;         // speech: UTF-8 text; tone: the keypad key
  Cue cue = Cue::kTick;     // cue: which
  int words_per_minute = 165;
  WaveFormat format;
  size_t max_samples = 0;
};

// Every file of the kit, letters directory first.
std::vector<KitItem> PlanKit();

// An item for one extra spoken key in the letters directory (used to speak a
// key the tables do not hold, and by tests to exercise the failure path).
KitItem SpokenLetterItem(std::string key, std::string text);

}  // namespace placarim::soundkit
