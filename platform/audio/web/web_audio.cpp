#include "platform/audio/web/web_audio.h"

#include "platform/audio/wave_image.h"

// The page's side, in web_audio_library.js.
extern "C" {
int placarim_web_audio_open(int rate, int bits, int channels);
void placarim_web_audio_write(int block, const uint8_t* data, int length);
void placarim_web_audio_reset(void);
int placarim_web_audio_queued(int block);
void placarim_web_tone(const uint8_t* samples, int length, int rate, int bits, int channels, int loop);
void placarim_web_tone_stop(void);
}

namespace placarim::platform::audio {
namespace {

// A RIFF/WAVE image's samples to the worklet's tone (looped) or beep (once).
void PlayImage(const std::vector<uint8_t>& image, bool loop) {
  const auto wave = ReadWaveImage(image);
  if (!wave || (wave->format.bits != 8 && wave->format.bits != 16)) return;
  placarim_web_tone(wave->samples.data(), static_cast<int>(wave->samples.size()), static_cast<int>(wave->format.rate),
                    wave->format.bits, wave->format.channels, loop ? 1 : 0);
}

}  // namespace

int WebAudio::Open(const AudioFormat& format) {
  if ((format.bits != 8 && format.bits != 16) || (format.channels != 1 && format.channels != 2) ||
      format.rate < 3000 || format.rate > 192000) {
    return kBadFormat;
  }
  const int result = placarim_web_audio_open(static_cast<int>(format.rate), format.bits, format.channels);
  if (result != kNoError) return result;
  open_ = true;
  format_ = format;
  return kNoError;
}

int WebAudio::Write(int block, const uint8_t* data, size_t length) {
  if (!open_) return kInvalidHandle;
  placarim_web_audio_write(block, data, static_cast<int>(length));
  return kNoError;
}

void WebAudio::Reset() {
  if (open_) placarim_web_audio_reset();
}

void WebAudio::Close() {
  if (!open_) return;
  placarim_web_audio_reset();
  open_ = false;
}

int WebAudio::Unprepare(int block) {
  return placarim_web_audio_queued(block) ? kStillPlaying : kNoError;
}

void WebTones::PlayLooped(const std::vector<uint8_t>& wave_image) { PlayImage(wave_image, true); }

void WebTones::Stop() { placarim_web_tone_stop(); }

void WebBeep() {
  static const std::vector<uint8_t> beep = MakeBeepImage();
  PlayImage(beep, false);
}

}  // namespace placarim::platform::audio
