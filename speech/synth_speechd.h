// The desktop's speech service, speech-dispatcher, through libspeechd. The
// service speaks on its own; its end and cancel notifications arrive on the
// library's listener thread, which only records the finished message and
// posts a wake-up, and IsSpeaking answers from that record.
//
// A service that is not running makes Open fail; one that dies or stops
// reporting is noticed by IsSpeaking (closed connection, or a deadline
// measured from the length of the text), which then reports silence.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "speech/synth_bridge.h"

namespace placarim::speech {

class SpeechServiceBridge final : public SynthBridge {
 public:
  // Bounds on waiting for the service, in real milliseconds (the service
  // speaks in real time, whatever clock the program runs on).
  struct Limits {
    // Longest wait for an end notification: a floor plus a slow reading of
    // every byte of the text.
    int64_t speaking_floor_ms = 5000;
    int64_t speaking_per_byte_ms = 250;
    // Close waits this long for speech in progress, polling every 300 ms.
    int close_ms = 3000;
  };

  explicit SpeechServiceBridge(SynthHost& host) : SpeechServiceBridge(host, Limits{}) {}
  SpeechServiceBridge(SynthHost& host, Limits limits);
  ~SpeechServiceBridge() override;
  SpeechServiceBridge(const SpeechServiceBridge&) = delete;
  SpeechServiceBridge& operator=(const SpeechServiceBridge&) = delete;

  // Voice n is the n-th voice the service lists for Brazilian Portuguese; out
  // of range, the first voice at rate 0. Rate -10..10 maps onto -100..100.
  // Without Brazilian voices the service's default voice speaks. Pitch is
  // left to the voice.
  bool Open(int voice, int rate, int pitch) override;
  void Speak(std::string_view text) override;
  bool IsSpeaking(int mode) override;
  void Stop() override;
  void Close() override;

  // What Open chose, for the curious (and the tests).
  const std::vector<std::string>& BrazilianVoices() const { return voices_; }
  const std::string& ChosenVoice() const { return chosen_voice_; }
  int ChosenRate() const { return chosen_rate_; }

  static constexpr int kWaitForEndMs = 20;
  static constexpr int kClosePollMs = 300;

 private:
  static void OnNotification(size_t message, size_t client, int type);
  bool ConnectionAlive() const;
  void MarkAllFinished();

  SynthHost& host_;
  const Limits limits_;
  void* connection_ = nullptr;  // libspeechd's SPDConnection
  size_t client_id_ = 0;
  bool broken_ = false;
  std::atomic<uint64_t> said_{0};      // id of the last message handed over
  std::atomic<uint64_t> finished_{0};  // highest id ended or cancelled
  std::chrono::steady_clock::time_point deadline_;
  std::vector<std::string> voices_;
  std::string chosen_voice_;
  int chosen_rate_ = 0;
};

// The rate scale of the speech service for the configured rate.
int ServiceRate(int rate);

}  // namespace placarim::speech
