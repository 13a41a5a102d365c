// The hand-over between the in-process engine's worker thread and the main
// thread: texts go one way, samples come back, and a cancel drops both at
// once. The worker synthesizes far faster than speech plays, so it is held
// back once `capacity` samples wait (megabytes of text never become gigabytes
// of sound); the main thread takes pieces cut at word starts, so that a gap
// between two pieces falls where a listener expects a pause.
//
// Threads: the "main" methods are called by one consumer thread, the "worker"
// methods by one producer thread; everything is guarded by one mutex.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace placarim::voices {

class SynthStream {
 public:
  struct Job {
    std::string text;
    uint64_t generation = 0;
  };

  explicit SynthStream(size_t capacity);

  // --- main thread ---------------------------------------------------------
  void AddText(std::string text);
  // Drops every waiting text and sample and makes the text being synthesized
  // stale: its next Push returns false. Never blocks on the worker.
  void Cancel();
  // Texts waiting or being synthesized (not counting a cancelled one).
  bool Producing() const;
  size_t Available() const;
  // Blocks until `want` samples are available, nothing is being produced, or
  // `timeout_ms` has passed.
  void WaitForSamples(size_t want, int timeout_ms);
  // Takes at most `max` samples. With `at_word`, the piece ends at the last
  // word start inside it, unless that would leave less than a quarter of it.
  std::vector<int16_t> Take(size_t max, bool at_word);
  // Ends the worker: NextText returns nothing and Push returns false.
  void Shutdown();

  // --- worker thread -------------------------------------------------------
  // Blocks for the next text; nothing after Shutdown.
  std::optional<Job> NextText();
  // Appends samples of the text of `generation`; waits while the stream is
  // full. False when that text was cancelled: the worker should abort it.
  // `was_empty` tells whether the consumer had nothing before.
  bool Push(uint64_t generation, const int16_t* samples, size_t count, bool& was_empty);
  // A word starts `offset` samples into the text of `generation`.
  void MarkWord(uint64_t generation, size_t offset);
  void EndText(uint64_t generation);

 private:
  bool CurrentLocked(uint64_t generation) const {
    return generation == generation_ && !shut_down_;
  }

  const size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable worker_wake_;
  std::condition_variable main_wake_;
  std::deque<std::string> texts_;
  std::deque<int16_t> samples_;
  std::deque<uint64_t> word_starts_;  // absolute sample positions, ascending
  uint64_t generation_ = 1;
  uint64_t taken_ = 0;      // absolute position of samples_.front()
  uint64_t text_base_ = 0;  // absolute position where the current text began
  bool synthesizing_ = false;
  uint64_t synthesizing_generation_ = 0;
  bool shut_down_ = false;
};

}  // namespace placarim::voices
