// Speaks text as the program does, and writes what reaches the audio device
// as a wave file: the build tree's FALDEK.INI, the speech layer on the
// headless platform, the built-in voice opened by SpeechStart. Silences the
// speech layer waits out between sounds (pauses after punctuation) are
// written as silence, so the file is the timeline a listener would hear.
//
//   tradutor_speak_to_wave [--speed N] OUT.wav TEXT...
//
// TEXT is UTF-8; "@hora" speaks the time. Measure the result with sox:
//   sox OUT.wav -n stat
// It prints how often sound jumps from or into silence (clicks).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/voices/tradutor/built_in_rig.h"
#include "platform/fake/fake_platform.h"
#include "platform/riff_wave.h"
#include "platform/text_encoding.h"
#include "speech/speech_layer.h"
#include "voices/tradutor/voice.h"

namespace {

namespace fs = std::filesystem;

// The device's blocks laid on the virtual clock: a block that starts after
// the previous one ended is preceded by that much silence.
std::vector<uint8_t> Timeline(const std::vector<placarim::platform::fake::WrittenBlock>& blocks) {
  std::vector<uint8_t> out;
  int64_t previous_end = -1;
  for (const auto& b : blocks) {
    if (previous_end >= 0 && b.written_ms > previous_end) {
      out.insert(out.end(), static_cast<size_t>((b.written_ms - previous_end) * 11025 / 1000), 128);
    }
    out.insert(out.end(), b.bytes.begin(), b.bytes.end());
    previous_end = std::max(b.written_ms, previous_end) + int64_t(b.bytes.size()) * 1000 / 11025;
  }
  return out;
}

// Steps from or into silence: a sample at least `threshold` away from the
// silence level right after or right before a run of at least 5 silent
// samples. Voiced speech has steep edges of its own at 11 kHz, so steps are
// counted only where sound meets silence, where a unit cut in the middle of
// its wave jumps (a click).
long StepsAtSilence(const std::vector<uint8_t>& s, int threshold) {
  auto silent_run = [&](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      if (s[k] != 128) return false;
    }
    return true;
  };
  long steps = 0;
  for (size_t i = 5; i + 5 < s.size(); ++i) {
    if (std::abs(int(s[i]) - 128) < threshold) continue;
    steps += silent_run(i - 5, i);
    steps += silent_run(i + 1, i + 6);
  }
  return steps;
}

}  // namespace

int main(int argc, char** argv) {
  int speed = 3;
  int first = 1;
  if (argc > 2 && !std::strcmp(argv[1], "--speed")) {
    speed = std::atoi(argv[2]);
    first = 3;
  }
  if (argc < first + 2) {
    std::fprintf(stderr, "usage: %s [--speed N] OUT.wav TEXT...\n", argv[0]);
    return 2;
  }
  // The build tree's configuration, unless the caller chose another.
  ::setenv("PLACARIM_SYSCONFDIR", PLACARIM_BUILD_ETC_DIR, 0);
  BuiltInRig rig;
  if (!rig.Start(speed)) {
    std::fprintf(stderr, "the built-in voice did not open: %s\n", rig.fake.screen.Text().c_str());
    return 1;
  }
  for (int i = first + 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "@hora")) rig.layer.speech.Sounds().SpeakTime();
    else rig.layer.speech.Text().SpeakText(placarim::platform::Utf8ToCp1252(argv[i]));
  }
  rig.layer.speech.FinishSpeech();
  const auto timeline = Timeline(rig.fake.audio.written);
  if (!placarim::platform::riff::WriteWaveFile(argv[first], {}, timeline)) {
    std::fprintf(stderr, "%s: the wave could not be written\n", argv[first]);
    return 1;
  }
  const double minutes = double(timeline.size()) / 11025.0 / 60.0;
  for (int threshold : {4, 8, 16}) {
    const long steps = StepsAtSilence(timeline, threshold);
    std::printf("steps of %d or more from or into silence: %ld, %.1f a minute\n", threshold, steps,
                minutes > 0 ? double(steps) / minutes : 0.0);
  }
  const auto& c = rig.voice.counters();
  std::printf("%s: database %s, %zu blocks; units missing %ld, noise bursts %ld, dropped %ld, "
              "recorded characters missing %ld\n",
              argv[first], rig.voice.DatabaseName().c_str(), rig.fake.audio.written.size(), c.names_missing,
              c.noise_bursts, c.names_dropped, c.recorded_missing);
  return 0;
}
