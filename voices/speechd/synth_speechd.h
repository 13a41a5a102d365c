// The desktop's speech service, speech-dispatcher, through libspeechd. The
// service speaks on its own; its end and cancel notifications arrive on the
// library's listener thread, which only records the finished message and
// posts a wake-up, and IsSpeaking answers from that record.
//
// A service that is not running, or that has no Portuguese voice, makes Open
// fail. No call into libspeechd waits longer than Limits::call_ms on the
// calling thread: a watchdog cuts the connection of a call that outlives it,
// which makes the call return. A service that dies, freezes (stopped, never
// answering) or refuses a text counts as lost: IsSpeaking then reports
// silence, and Lost tells the dispatcher to turn to another voice. While a
// text is spoken the service is asked something every Limits::ping_ms, so a
// frozen one is noticed although it never reports an end.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "voices/voice.h"

namespace placarim::voices {

class SpeechServiceBridge final : public voices::Voice {
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
    // Longest wait for one answer of the service during play; past it the
    // connection is cut and the service counts as lost. A service that is
    // alive on a busy or slow computer answers in a few hundred ms at worst.
    int call_ms = 1000;
    // Longest wait for the first answer while the program opens the service:
    // one started on demand takes a moment to come up.
    int open_ms = 10000;
    // Longest wait for each later answer while opening a service that did
    // answer: the list of its voices (thousands, parsed by libspeechd, from an
    // output module it starts then) takes many seconds on a busy machine.
    int setup_ms = 60000;
    // How often a service speaking a text is asked whether it still answers.
    int ping_ms = 500;
  };

  // Why the service cannot be used.
  enum class Failure { kNone, kNotAnswering, kNoPortuguese, kLost };

  explicit SpeechServiceBridge(sound::MainLoop& host) : SpeechServiceBridge(host, Limits{}) {}
  SpeechServiceBridge(sound::MainLoop& host, Limits limits);
  ~SpeechServiceBridge() override;
  SpeechServiceBridge(const SpeechServiceBridge&) = delete;
  SpeechServiceBridge& operator=(const SpeechServiceBridge&) = delete;

  // Voice n is the n-th voice the service lists for Brazilian Portuguese, or,
  // when it has none, for any Portuguese; out of range, the first voice at
  // rate 0. Without a Portuguese voice Open fails. Rate -10..10 maps onto
  // -100..100. Pitch is left to the voice.
  bool Open(int voice, int rate, int pitch) override;
  // Reconnects to a service that was lost, with the voice and rate of the
  // last Open, starting none and waiting at most Limits::call_ms for it.
  bool Reopen() override;
  bool Lost() override { return failure_ != Failure::kNone; }
  Failure failure() const { return failure_; }
  std::string LossNotice() override;
  void Speak(std::string_view text) override;
  bool IsSpeaking(int mode) override;
  void Stop() override;
  void Close() override;

  // What Open chose, for the curious (and the tests): the Brazilian voices,
  // or the Portuguese ones when there is no Brazilian voice.
  const std::vector<std::string>& PortugueseVoices() const { return voices_; }
  const std::string& ChosenVoice() const { return chosen_voice_; }
  int ChosenRate() const { return chosen_rate_; }

  static constexpr int kWaitForEndMs = 20;
  static constexpr int kClosePollMs = 300;

 private:
  static void OnNotification(size_t message, size_t client, int type);
  bool Connect(bool may_start_service, int answer_ms);
  bool ListVoices();
  bool ChooseVoice(int voice, int rate);
  void Disconnect();
  bool ConnectionAlive() const;
  void MarkAllFinished();
  void Lose(Failure why);
  // Runs one libspeechd call under the watchdog; a call cut by it loses the
  // service.
  template <class Call>
  auto Ask(Call call);

  sound::MainLoop& host_;
  const Limits limits_;
  void* connection_ = nullptr;  // libspeechd's SPDConnection
  size_t client_id_ = 0;
  Failure failure_ = Failure::kNone;
  std::shared_ptr<class AnswerWatch> watch_;
  std::chrono::steady_clock::time_point next_ping_;
  int voice_ = 1;
  int call_limit_ms_ = 0;
  std::string language_;
  std::atomic<uint64_t> said_{0};      // id of the last message handed over
  std::atomic<uint64_t> finished_{0};  // highest id ended or cancelled
  std::chrono::steady_clock::time_point deadline_;
  std::vector<std::string> voices_;
  std::string chosen_voice_;
  int chosen_rate_ = 0;
};

// The rate scale of the speech service for the configured rate.
int ServiceRate(int rate);

}  // namespace placarim::voices
