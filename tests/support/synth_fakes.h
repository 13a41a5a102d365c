// Test doubles for the synthesizer seams: a host with a manual clock and a
// key flag, and an audio sink that "plays" each piece for its duration on that
// clock. They record what reached them so tests can assert on it.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sound/main_loop.h"
#include "sound/sound_output.h"
#include "tests/support/sound_output_base.h"

namespace placarim::speech::testing {

class FakeSynthHost : public sound::MainLoop {
 public:
  void PumpAllMessages() override {
    ++pumps;
    if (on_pump) on_pump();
  }
  void Delay(uint16_t ms) override {
    delays.push_back(ms);
    now_ms += ms;
    PumpAllMessages();
  }
  bool KeyPressed() override { return key_pending; }
  void PostWakeUp(int code) override {
    std::lock_guard lock(mutex);
    wake_ups.push_back(code);
  }
  void Beep() override { ++beeps; }
  int64_t NowMs() override { return now_ms; }
  // The voices never wait for a message themselves, nor own the device.
  void WaitMessage() override { Delay(1); }
  void SetAudioBlockDoneHandler(std::function<void(int)>) override {}
  void ReportAudioError(std::string_view message) override { throw std::logic_error(std::string(message)); }
  void ShowNotice(std::string_view text) override { lines.emplace_back(text); }

  size_t WakeUpCount() {
    std::lock_guard lock(mutex);
    return wake_ups.size();
  }

  int64_t now_ms = 1000;
  bool key_pending = false;
  int pumps = 0;
  int beeps = 0;
  std::vector<int> delays;
  std::vector<std::string> lines;  // written on the console
  std::function<void()> on_pump;
  std::mutex mutex;
  std::vector<int> wake_ups;
};

class FakeSynthAudio : public placarim::testing::SoundOutputBase {
 public:
  explicit FakeSynthAudio(FakeSynthHost& host) : host_(host) {}

  int PlaySamples(const int16_t* samples, size_t count, uint32_t rate) override {
    if (error) return error;
    if (count > Room()) ++overfills;  // wave playback would have blocked for room
    pieces.emplace_back(samples, samples + count);
    rates.push_back(rate);
    const int64_t start = std::max(host_.now_ms, playing_until);
    playing_until = start + static_cast<int64_t>(count) * 1000 / rate;
    piece_ends.push_back(playing_until);
    return 0;
  }
  // Like wave playback: four blocks of 32,767 samples, one piece taking as
  // many as it fills, each freed when its piece has played.
  size_t Room() override {
    size_t used = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (piece_ends[i] > host_.now_ms) used += (pieces[i].size() + kBlockSamples - 1) / kBlockSamples;
    }
    return used >= 4 ? 0 : (4 - used) * kBlockSamples;
  }
  static constexpr size_t kBlockSamples = 65534 / 2;
  std::vector<int64_t> piece_ends;
  // Like wave playback: a pending key stops the sound and reports silence.
  bool IsPlaying() override {
    if (stop_on_key && host_.key_pending) Stop();
    return host_.now_ms < playing_until;
  }
  void Stop() override {
    ++stops;
    playing_until = host_.now_ms;
    for (auto& end : piece_ends) end = std::min(end, host_.now_ms);
  }
  // The voices hand over raw samples only (the base throws at anything
  // else); the speed settings are not theirs.
  void SetCondense(bool) override { throw std::logic_error("condense"); }
  void SetSpeedUp(bool) override { throw std::logic_error("speed-up"); }

  size_t TotalSamples() const {
    size_t total = 0;
    for (const auto& piece : pieces) total += piece.size();
    return total;
  }

  std::vector<std::vector<int16_t>> pieces;
  std::vector<uint32_t> rates;
  int64_t playing_until = 0;
  int overfills = 0;
  int error = 0;

 private:
  FakeSynthHost& host_;
};

}  // namespace placarim::speech::testing
