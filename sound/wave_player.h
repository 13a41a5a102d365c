// Wave playback: RIFF/WAVE files, RIFF/WAVE images in memory and raw PCM,
// streamed to the audio device in blocks of up to 65,534 bytes with at most
// four blocks queued. A key press stops the sound (WaveStopOnKey), so a blind
// user can always cut speech short.
//
// Threads: main thread only. The device reports finished blocks as events;
// they are counted only while something pumps the host's messages, and
// every wait here pumps them itself.
// Errors: file problems give -1, a device that cannot be opened its error
// code; nothing is thrown.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "sound/main_loop.h"
#include "sound/wave_format.h"

namespace placarim::sound {

class WavePlayer {
 public:
  WavePlayer(MainLoop& host, platform::AudioDevice& device);
  ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  // Plays a RIFF/WAVE file and blocks until it has ended or a key stopped it.
  // 0: played or stopped; -1: no such regular file, not a playable RIFF/WAVE
  // file (no data chunk, a format other than 8/16-bit integer PCM in one or
  // two channels at 1,000 to 192,000 Hz), or the data ends before its stated
  // length (what is there is played); else the device's error from opening.
  // With WaveStopOnKey on and a key already waiting, plays nothing and gives 0.
  int WavePlayFile(const std::string& path);

  // Queues the sound of a RIFF/WAVE image and returns once the last block is
  // queued. Data past the image's end is not played. -1 and nothing played
  // when the image is not a playable RIFF/WAVE image; else as WavePlayData.
  int WavePlayMemory(std::span<const uint8_t> image);

  // Queues raw PCM and returns once the last block is queued: 0, or the
  // device's error from opening (kBadFormat for a format it is never given).
  // The samples are copied; the caller's buffer is never changed.
  int WavePlayData(std::span<const uint8_t> samples, uint32_t rate, uint16_t channels,
                   uint16_t bits);

  // Pumps messages; stops the sound when a key waits (with WaveStopOnKey) or
  // nothing is queued any more. Whether blocks are still queued. The key stays
  // in the host's queue for the caller.
  bool WaveIsPlaying();

  // Drops every queued block and closes the device.
  void WaveStop();

  // The device finished (or returned) block 1 to 4; called by the host's
  // message loop.
  void WaveBlockDone(int block);

  bool WaveStopOnKey() const { return stop_on_key_; }
  void SetWaveStopOnKey(bool on) { stop_on_key_ = on; }
  bool WaveSpeedUp() const { return speed_up_; }
  void SetWaveSpeedUp(bool on) { speed_up_ = on; }
  bool WaveCondense() const { return condense_; }
  void SetWaveCondense(bool on) { condense_ = on; }

  int BlocksInFlight() const;

 private:
  int OpenDevice(const platform::AudioFormat& format);
  bool StopRequested();
  bool QueueBlock(std::span<const uint8_t> piece, bool condense, uint16_t source_bits,
                  const platform::AudioFormat& device_format);
  std::optional<int> FreeBlock() const;
  void ReportUnprepareError(int code);
  void ReportNoDevice();

  MainLoop& host_;
  platform::AudioDevice& device_;
  std::array<std::vector<uint8_t>, kBlockCount> blocks_;
  std::array<bool, kBlockCount> in_flight_{};
  int next_block_ = 0;
  std::vector<uint8_t> file_buffer_;
  std::optional<platform::AudioFormat> current_format_;
  bool stop_on_key_ = true;
  bool speed_up_ = false;
  bool condense_ = false;
  bool no_device_reported_ = false;
};

// Written once, on the console and on standard error, the first time no sound
// device can be had (Windows-1252).
inline constexpr std::string_view kNoDeviceText =
    "Nenhum dispositivo de som foi encontrado; o som come\xE7" "ar\xE1 assim que houver um.";

}  // namespace placarim::sound
