// Test doubles for the synthesizer seams: a host with a manual clock and a
// key flag, and an audio sink that "plays" each piece for its duration on that
// clock. They record what reached them so tests can assert on it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "speech/synth_bridge.h"

namespace placarim::speech::testing {

class FakeSynthHost : public SynthHost {
 public:
  void PumpAllMessages() override {
    ++pumps;
    if (on_pump) on_pump();
  }
  void Delay(int ms) override {
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

  size_t WakeUpCount() {
    std::lock_guard lock(mutex);
    return wake_ups.size();
  }

  int64_t now_ms = 1000;
  bool key_pending = false;
  int pumps = 0;
  int beeps = 0;
  std::vector<int> delays;
  std::function<void()> on_pump;
  std::mutex mutex;
  std::vector<int> wake_ups;
};

class FakeSynthAudio : public SynthAudio {
 public:
  explicit FakeSynthAudio(FakeSynthHost& host) : host_(host) {}

  int Play(const int16_t* samples, size_t count, uint32_t rate) override {
    if (error) return error;
    pieces.emplace_back(samples, samples + count);
    rates.push_back(rate);
    const int64_t start = std::max(host_.now_ms, playing_until);
    playing_until = start + static_cast<int64_t>(count) * 1000 / rate;
    return 0;
  }
  // Like wave playback: a pending key stops the sound and reports silence.
  bool IsPlaying() override {
    if (stop_on_key && host_.key_pending) Stop();
    return host_.now_ms < playing_until;
  }
  void Stop() override {
    ++stops;
    playing_until = host_.now_ms;
  }
  bool StopOnKey() override { return stop_on_key; }

  size_t TotalSamples() const {
    size_t total = 0;
    for (const auto& piece : pieces) total += piece.size();
    return total;
  }

  std::vector<std::vector<int16_t>> pieces;
  std::vector<uint32_t> rates;
  int64_t playing_until = 0;
  int stops = 0;
  int error = 0;
  bool stop_on_key = true;

 private:
  FakeSynthHost& host_;
};

}  // namespace placarim::speech::testing
